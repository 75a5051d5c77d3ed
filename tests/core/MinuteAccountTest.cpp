#include "core/MinuteAccount.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/MinuteTick.h"
#include "core/QuotaminConfig.h"
#include "tests/support/StatusTexts.h"
#include "tests/support/TestSystem.h"

namespace quotamin {
namespace {

const std::string& kGrace = testing::kGraceStatus;
const std::string& kEnd = testing::kEndStatus;
constexpr auto Ordinary = testing::OrdinaryStatus;
constexpr auto Panic = testing::PanicStatus;
constexpr auto Warning = testing::WarningStatus;

struct Step {
    std::string text;
    bool showWindow;
    bool continueSession;
};

// The main window's part of the tick, recorded: each step with the balance and
// count it sees, and the status it applied last.
class RecordingWindow final : public MinuteTickSteps {
  public:
    RecordingWindow(MinuteAccount& account, QuotaminConfig& config)
        : m_account(account), m_config(config) {}

    std::vector<std::string> steps;
    StatusReport status{"", false, true};

    void LogMinute(std::int32_t elapsed) override {
        steps.push_back("log " + std::to_string(elapsed) + ", " +
                        std::to_string(m_config.m_minutesRemaining) + " left");
    }
    void RefreshTrayIcon() override { steps.push_back("icon " + m_account.TooltipText(m_config)); }
    int UpdateStatus() override {
        status = m_account.Evaluate(m_config);
        steps.push_back("status");
        return status.continueSession ? 1 : 0;
    }
    void StopMinuteTimer() override { steps.push_back("stop timer"); }
    void EndSession() override { steps.push_back("end session"); }
    void ReportSaveFailure(const std::string& text) override { steps.push_back("failed: " + text); }

  private:
    MinuteAccount& m_account;
    QuotaminConfig& m_config;
};

struct RunCase {
    const char* name;
    std::int32_t startMinutes;
    // The evaluation at start, then after each tick.
    std::vector<Step> steps;
};

class MinuteAccountRunTest : public ::testing::TestWithParam<RunCase> {};

// The status at start-up, then the ticks as the main window runs them; only
// the last one ends the session.
TEST_P(MinuteAccountRunTest, TicksGiveTheseVerdicts) {
    testing::TestSystem system;
    QuotaminConfig config(system);
    config.SetUser("bob");
    config.m_enabled = 1;
    config.m_minutesRemaining = GetParam().startMinutes;
    MinuteAccount account;
    RecordingWindow window(account, config);
    const std::size_t ticks = GetParam().steps.size() - 1;
    for (std::size_t tick = 0; tick <= ticks; ++tick) {
        window.steps.clear();
        if (tick == 0) {
            window.UpdateStatus();
        } else {
            MinuteTick(account, config, window);
            EXPECT_EQ(account.m_elapsed, static_cast<std::int32_t>(tick));
            const bool ends = window.steps.back() == "end session";
            EXPECT_EQ(ends, tick == ticks) << "tick " << tick;
        }
        const Step& expected = GetParam().steps[tick];
        EXPECT_EQ(window.status.text, expected.text) << "tick " << tick;
        EXPECT_EQ(window.status.showWindow, expected.showWindow) << "tick " << tick;
        EXPECT_EQ(window.status.continueSession, expected.continueSession) << "tick " << tick;
    }
    EXPECT_EQ(config.m_minutesRemaining, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Starts, MinuteAccountRunTest,
    ::testing::Values(
        RunCase{"ZeroLeft", 0, {{kGrace, true, true}, {kGrace, true, true}, {kEnd, true, false}}},
        RunCase{"OneLeft", 1, {{Panic(1), true, true}, {kGrace, true, true}, {kEnd, true, false}}},
        RunCase{"TwoLeft",
                2,
                {{Ordinary(2), false, true}, {Panic(1), true, true}, {kEnd, true, false}}},
        RunCase{"SixLeft",
                6,
                {{Ordinary(6), false, true},
                 {Warning(5), true, true},
                 {Ordinary(4), false, true},
                 {Ordinary(3), false, true},
                 {Ordinary(2), false, true},
                 {Panic(1), true, true},
                 {kEnd, true, false}}},
        // A balance that never takes the value 5 never warns.
        RunCase{"ThreeLeft",
                3,
                {{Ordinary(3), false, true},
                 {Ordinary(2), false, true},
                 {Panic(1), true, true},
                 {kEnd, true, false}}}),
    [](const auto& test) { return std::string(test.param.name); });

class MinuteAccountTest : public ::testing::Test {
  protected:
    void SetUp() override { config.SetUser("bob"); }

    testing::TestSystem system;
    QuotaminConfig config{system};
    MinuteAccount account;
};

TEST_F(MinuteAccountTest, ATickLogsTheNewCountBeforeChargingAndEndsTheSessionAfterTheStatus) {
    config.m_enabled = 1;
    config.m_minutesRemaining = 1;
    RecordingWindow window(account, config);
    MinuteTick(account, config, window);
    EXPECT_EQ(window.steps, (std::vector<std::string>{"log 1, 1 left",
                                                      "icon bob, 0 minutes remaining", "status"}));
    window.steps.clear();
    MinuteTick(account, config, window);
    EXPECT_EQ(window.steps,
              (std::vector<std::string>{"log 2, 0 left", "icon bob, 0 minutes remaining", "status",
                                        "stop timer", "end session"}));
}

TEST_F(MinuteAccountTest, AFailedSaveIsReportedLastAndTheTickGoesOn) {
    config.m_enabled = 1;
    config.m_minutesRemaining = 1;
    account.m_elapsed = 1;
    system.failure =
        testing::TestSystem::Failure::Create | testing::TestSystem::Failure::Rewrite;
    RecordingWindow window(account, config);
    MinuteTick(account, config, window);
    EXPECT_EQ(
        window.steps,
        (std::vector<std::string>{
            "log 2, 1 left", "icon bob, 0 minutes remaining", "status", "stop timer", "end session",
            "failed: " + config.m_filePath + " - Can't open file for writing"}));
    EXPECT_EQ(config.m_minutesRemaining, 0);
}

TEST_F(MinuteAccountTest, DisabledTicksCountButNeverChargeNorEnd) {
    config.m_minutesRemaining = 0;
    const std::string fileBefore = testing::ReadBytes(config.m_filePath);
    RecordingWindow window(account, config);
    for (int tick = 1; tick <= 3; ++tick) {
        window.steps.clear();
        MinuteTick(account, config, window);
        EXPECT_EQ(window.steps.front(), "log " + std::to_string(tick) + ", 0 left");
        EXPECT_EQ(window.steps.back(), "status");
        EXPECT_EQ(window.status.text, testing::kDisabledStatus);
        EXPECT_FALSE(window.status.showWindow);
        EXPECT_TRUE(window.status.continueSession);
    }
    EXPECT_EQ(config.m_minutesRemaining, 0);
    EXPECT_EQ(testing::ReadBytes(config.m_filePath), fileBefore);
    EXPECT_EQ(account.TooltipText(config), "bob, Quotamin disabled");
}

TEST_F(MinuteAccountTest, NegativeBalanceIsNeverChargedAndNeverEnds) {
    config.m_enabled = 1;
    config.m_minutesRemaining = -3;
    account.m_elapsed = 10;
    account.ChargeMinute(config);
    EXPECT_EQ(config.m_minutesRemaining, -3);
    const StatusReport report = account.Evaluate(config);
    EXPECT_EQ(report.text, Ordinary(-3));
    EXPECT_TRUE(report.continueSession);
}

TEST_F(MinuteAccountTest, ChargedTickSavesAndOnANewDayGivesTheFullAllowance) {
    config.m_enabled = 1;
    config.m_minutesAllowed = 90;
    config.m_minutesRemaining = 10;
    account.ChargeMinute(config);
    EXPECT_EQ(config.m_minutesRemaining, 9);
    QuotaminConfig reloaded(system);
    reloaded.m_filePath = config.m_filePath;
    ASSERT_TRUE(reloaded.Load());
    EXPECT_EQ(reloaded.m_minutesRemaining, 9);

    system.today = 18;
    account.ChargeMinute(config);
    EXPECT_EQ(config.m_minutesRemaining, 90);
}

TEST_F(MinuteAccountTest, TooltipNamesUserAndBalance) {
    config.m_enabled = 1;
    config.m_minutesRemaining = 42;
    EXPECT_EQ(account.TooltipText(config), "bob, 42 minutes remaining");
}

}  // namespace
}  // namespace quotamin
