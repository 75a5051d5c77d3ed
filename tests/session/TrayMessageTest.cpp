#include <gtest/gtest.h>

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/QuotaminConfig.h"
#include "log/TraceLog.h"
#include "platform/headless/HeadlessWindowSystem.h"
#include "session/TrayMessage.h"
#include "tests/support/TestSystem.h"

namespace quotamin {
namespace {

std::optional<std::tm> MorningOfMarch7th2005() {
    std::tm time{};
    time.tm_year = 105;
    time.tm_mon = 2;
    time.tm_mday = 7;
    time.tm_hour = 9;
    time.tm_min = 5;
    time.tm_sec = 3;
    return time;
}

const std::string kStamp = "03/07/05 09:05:03: ";

ResourceTable ProgramIcon() {
    ResourceTable table;
    table.icons = {128};
    return table;
}

// The headless shell, which also notes what the log file held at each call.
class WatchedShell final : public HeadlessWindowSystem {
  public:
    explicit WatchedShell(std::string logPath)
        : HeadlessWindowSystem(ProgramIcon()), m_logPath(std::move(logPath)) {}

    bool ShellNotifyIcon(std::uint32_t message, const NotifyIconData& data) override {
        logAtCall.push_back(std::filesystem::exists(m_logPath) ? testing::ReadBytes(m_logPath)
                                                               : "");
        return HeadlessWindowSystem::ShellNotifyIcon(message, data);
    }

    std::vector<std::string> logAtCall;

  private:
    std::string m_logPath;
};

class TrayMessageTest : public ::testing::Test {
  protected:
    TrayMessageTest() {
        config.m_userName = "bob";
        config.m_enabled = 1;
        config.m_minutesRemaining = 42;
    }

    bool Send(std::uint32_t message) { return TrayMessage(shell, window, config, log, message); }
    std::string Tip(std::size_t call) const { return shell.NotifyIconCalls().at(call).data.szTip; }

    testing::TempDirectory directory;
    const std::string logPath = directory.File("quotamin.log");
    TraceLog log{logPath, &MorningOfMarch7th2005};
    testing::TestSystem system;
    QuotaminConfig config{system};
    WatchedShell shell{logPath};
    const WindowHandle window = shell.CreatePlainWindow();
};

TEST_F(TrayMessageTest, EveryActionHandsTheShellTheWholeRecordWithTheTooltipOfTheMoment) {
    EXPECT_TRUE(Send(NIM_ADD));
    config.m_minutesRemaining = 41;
    EXPECT_TRUE(Send(NIM_MODIFY));
    config.m_enabled = 0;
    EXPECT_TRUE(Send(NIM_DELETE));

    const std::vector<std::string> tips = {"bob, 42 minutes remaining", "bob, 41 minutes remaining",
                                           "bob, Quotamin disabled"};
    ASSERT_EQ(shell.NotifyIconCalls().size(), 3u);
    for (std::uint32_t action = 0; action < 3; ++action) {
        SCOPED_TRACE(action);
        const NotifyIconCall& call = shell.NotifyIconCalls()[action];
        EXPECT_EQ(call.message, action);
        EXPECT_EQ(call.data.cbSize, 88u);
        EXPECT_EQ(call.data.hWnd, window);
        EXPECT_EQ(call.data.uID, 128u);
        EXPECT_EQ(call.data.uFlags, 7u);
        EXPECT_EQ(call.data.uCallbackMessage, 1026u);
        EXPECT_NE(call.data.hIcon, IconHandle{});
        EXPECT_EQ(call.data.hIcon, shell.LoadIcon(128));
        EXPECT_EQ(std::string(call.data.szTip, sizeof call.data.szTip),
                  tips[action] + std::string(64 - tips[action].size(), '\0'));
    }
    EXPECT_EQ(testing::ReadBytes(logPath), kStamp + "TrayMessage, 0\r\n" + kStamp +
                                               "TrayMessage, 1\r\n" + kStamp +
                                               "TrayMessage, 2\r\n");
}

TEST_F(TrayMessageTest, LogsTheActionBeforeTheShellHearsOfItAndWhenTheShellRefuses) {
    shell.RefuseNotifyIcon(true);
    EXPECT_FALSE(Send(NIM_MODIFY));
    EXPECT_FALSE(Send(NIM_DELETE));

    const std::string first = kStamp + "TrayMessage, 1\r\n";
    const std::string both = first + kStamp + "TrayMessage, 2\r\n";
    EXPECT_EQ(shell.logAtCall, (std::vector<std::string>{first, both}));
    EXPECT_EQ(testing::ReadBytes(logPath), both);
}

TEST_F(TrayMessageTest, TooltipIsCutToItsFirst63Characters) {
    struct Case {
        const char* what;
        std::string userName;
        std::int32_t enabled;
        std::string tip;
    };
    const std::string name41(41, 'n');
    const std::string name50(50, 'x');
    const std::vector<Case> cases = {
        {"63 characters stay whole", name41, 1, name41 + ", 42 minutes remaining"},
        {"the minute count's words are lost", name50, 1, name50 + ", 42 minutes "},
        {"disabled", name50, 0, name50 + ", Quotamin di"},
    };
    // The shell refreshes only an icon it has.
    ASSERT_TRUE(Send(NIM_ADD));
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].what);
        config.m_userName = cases[i].userName;
        config.m_enabled = cases[i].enabled;
        EXPECT_TRUE(Send(NIM_MODIFY));
        EXPECT_EQ(Tip(i + 1), cases[i].tip);
        EXPECT_EQ(Tip(i + 1).size(), 63u);
    }
}

}  // namespace
}  // namespace quotamin
