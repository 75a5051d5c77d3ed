#include "core/MinuteAccount.h"

#include <gtest/gtest.h>

#include <vector>

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

struct RunCase {
    const char* name;
    std::int32_t startMinutes;
    // The evaluation at start, then after each tick.
    std::vector<Step> steps;
};

class MinuteAccountRunTest : public ::testing::TestWithParam<RunCase> {};

// Plays the main window's part: count, charge, evaluate, and stop at the end verdict.
TEST_P(MinuteAccountRunTest, TicksGiveTheseVerdicts) {
    testing::TestSystem system;
    QuotaminConfig config(system);
    config.SetUser("bob");
    config.m_enabled = 1;
    config.m_minutesRemaining = GetParam().startMinutes;
    MinuteAccount account;
    for (std::size_t tick = 0; tick < GetParam().steps.size(); ++tick) {
        if (tick > 0) {
            EXPECT_EQ(account.CountMinute(), static_cast<std::int32_t>(tick));
            account.ChargeMinute(config);
        }
        const Step& expected = GetParam().steps[tick];
        const StatusReport report = account.Evaluate(config);
        EXPECT_EQ(report.text, expected.text) << "tick " << tick;
        EXPECT_EQ(report.showWindow, expected.showWindow) << "tick " << tick;
        EXPECT_EQ(report.continueSession, expected.continueSession) << "tick " << tick;
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

TEST_F(MinuteAccountTest, DisabledTicksCountButNeverChargeNorEnd) {
    config.m_minutesRemaining = 0;
    const std::string fileBefore = testing::ReadBytes(config.m_filePath);
    for (int tick = 1; tick <= 3; ++tick) {
        EXPECT_EQ(account.CountMinute(), tick);
        account.ChargeMinute(config);
        const StatusReport report = account.Evaluate(config);
        EXPECT_EQ(report.text, testing::kDisabledStatus);
        EXPECT_FALSE(report.showWindow);
        EXPECT_TRUE(report.continueSession);
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
