// The user's side of the program: start-up, the minutes running down, the
// warnings, the end of the session, the icon and the window's keys.
#include <gtest/gtest.h>

#include "core/FileError.h"
#include "session/TrayMessage.h"
#include "tests/support/StatusTexts.h"
#include "tests/ui/ProgramFixture.h"
#include "ui/MainDialog.h"
#include "ui/ResourceIds.h"

namespace quotamin::testing {
namespace {

const std::string& kGrace = kGraceStatus;
const std::string& kEnd = kEndStatus;
constexpr auto Ordinary = OrdinaryStatus;
constexpr auto Panic = PanicStatus;
constexpr auto Warning = WarningStatus;

struct MinuteStep {
    std::string status;
    bool shown;  // the window in front after this minute
};

struct StartCase {
    const char* name;
    std::int32_t remaining;
    std::string atStart;
    // One step per minute tick; the last one ends the session.
    std::vector<MinuteStep> ticks;
    friend void PrintTo(const StartCase& c, std::ostream* out) { *out << c.name; }
};

class StartUpTest : public ProgramTest, public ::testing::WithParamInterface<StartCase> {};

TEST_P(StartUpTest, MinutesRunDownToTheEndOfTheSession) {
    const StartCase& c = GetParam();
    GivenSettings({.enabled = 1, .allowed = 120, .remaining = c.remaining, .logoff = 1});
    StartProgram();

    // Shown at start-up, in front and on top, whatever the status.
    EXPECT_TRUE(MainShown());
    EXPECT_TRUE(ui.IsTopmost(MainWindow()));
    EXPECT_EQ(Status(), c.atStart);
    // And hidden one second later, warning or not.
    ui.AdvanceBy(999ms);
    EXPECT_TRUE(MainShown());
    ui.AdvanceBy(1ms);
    EXPECT_FALSE(MainShown());
    EXPECT_FALSE(HideTimerRunning());

    for (std::size_t tick = 0; tick < c.ticks.size(); ++tick) {
        // Tick n comes n minutes after start-up.
        ui.AdvanceBy(std::chrono::minutes(tick + 1) - 1s - ui.Now());
        EXPECT_TRUE(terminator.calls.empty()) << "before tick " << tick + 1;
        const bool last = tick + 1 == c.ticks.size();
        EXPECT_EQ(MinuteTimerRunning(), true);
        ui.AdvanceBy(1s);
        EXPECT_EQ(Status(), c.ticks[tick].status) << "tick " << tick + 1;
        EXPECT_EQ(MainShown(), c.ticks[tick].shown) << "tick " << tick + 1;
        EXPECT_EQ(terminator.calls.size(), last ? 1u : 0u) << "tick " << tick + 1;
        if (c.ticks[tick].shown && !last) {
            ui.PressEscape();  // the user hides it again
        }
    }
    ASSERT_EQ(terminator.calls.size(), 1u);
    EXPECT_EQ(terminator.calls[0].operation, "LogOff");
    EXPECT_FALSE(terminator.calls[0].minuteTimerRunning) << "the timer stops before the call";
    EXPECT_EQ(ui.Foreground(), MainWindow());
    EXPECT_EQ(SavedSettings().remaining, 0);

    // The log-off was refused: no tick comes by itself any more.
    Minutes(5);
    EXPECT_EQ(terminator.calls.size(), 1u);
    EXPECT_EQ(Status(), kEnd);
}

INSTANTIATE_TEST_SUITE_P(
    Balances, StartUpTest,
    ::testing::Values(StartCase{"Zero", 0, kGrace, {{kGrace, true}, {kEnd, true}}},
                      StartCase{"One", 1, Panic(1), {{kGrace, true}, {kEnd, true}}},
                      StartCase{"Two", 2, Ordinary(2), {{Panic(1), true}, {kEnd, true}}},
                      StartCase{"Five",
                                5,
                                Warning(5),
                                {{Ordinary(4), false},
                                 {Ordinary(3), false},
                                 {Ordinary(2), false},
                                 {Panic(1), true},
                                 {kEnd, true}}},
                      StartCase{"Six",
                                6,
                                Ordinary(6),
                                {{Warning(5), true},
                                 {Ordinary(4), false},
                                 {Ordinary(3), false},
                                 {Ordinary(2), false},
                                 {Panic(1), true},
                                 {kEnd, true}}}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(ProgramTest, NewUserGetsDefaultsAndTheLogTellsTheStory) {
    StartProgram();
    EXPECT_EQ(SavedSettings(),
              (Settings{.enabled = 0, .allowed = 120, .remaining = 120, .logoff = 1}));
    EXPECT_EQ(SavedDay(), 17);
    EXPECT_EQ(Status(), kDisabledStatus);
    Minutes(3);
    // Disabled: every tick counted and logged, the balance and the file untouched.
    EXPECT_EQ(SavedSettings().remaining, 120);
    EXPECT_TRUE(terminator.calls.empty());
    EXPECT_EQ(LogLines(), (std::vector<std::string>{
                              "==================== OnInitDialog ======================",
                              "TrayMessage, 0",
                              "OnTimer elapsed=1",
                              "TrayMessage, 1",
                              "OnTimer elapsed=2",
                              "TrayMessage, 1",
                              "OnTimer elapsed=3",
                              "TrayMessage, 1",
                          }));
    const auto& calls = ui.NotifyIconCalls();
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[0].message, NIM_ADD);
    EXPECT_EQ(calls[0].data.hWnd, MainWindow());
    EXPECT_STREQ(calls[3].data.szTip, "bob, Quotamin disabled");
}

TEST_F(ProgramTest, TooltipFollowsEveryTick) {
    GivenSettings({.enabled = 1, .allowed = 60, .remaining = 42, .logoff = 0});
    StartProgram();
    EXPECT_STREQ(ui.NotifyIconCalls().back().data.szTip, "bob, 42 minutes remaining");
    Minutes(1);
    EXPECT_EQ(ui.NotifyIconCalls().back().message, NIM_MODIFY);
    EXPECT_STREQ(ui.NotifyIconCalls().back().data.szTip, "bob, 41 minutes remaining");
    EXPECT_EQ(SavedSettings().remaining, 41);
}

TEST_F(ProgramTest, ShutdownIsChosenWhenLogoffIsNot) {
    GivenSettings({.enabled = 1, .allowed = 60, .remaining = 1, .logoff = 0});
    StartProgram();
    Minutes(2);
    ASSERT_EQ(terminator.calls.size(), 1u);
    EXPECT_EQ(terminator.calls[0].operation, "ForceShutdown");
}

TEST_F(ProgramTest, OnlyALeftButtonPressOnTheIconShowsTheWindow) {
    GivenSettings({.enabled = 1, .allowed = 60, .remaining = 30, .logoff = 1});
    StartProgram();
    ui.AdvanceBy(1s);
    ASSERT_FALSE(MainShown());
    struct Notification {
        WParam id;
        LParam mouse;
    } ignored[] = {{128, 516}, {128, 514}, {128, 512}, {128, 515}, {129, 513}, {0, 513}};
    for (const Notification& n : ignored) {
        EXPECT_EQ(ui.Send(MainWindow(), WM_TRAYNOTIFY, n.id, n.mouse), 0) << n.mouse;
        EXPECT_FALSE(MainShown()) << n.id << "/" << n.mouse;
    }
    EXPECT_EQ(ui.Send(MainWindow(), WM_TRAYNOTIFY, 128, 513), 1);
    EXPECT_TRUE(MainShown());
    EXPECT_EQ(ui.Foreground(), MainWindow());
    EXPECT_EQ(Status(), Ordinary(30));
}

TEST_F(ProgramTest, EscapeCloseAndTheCloseBoxHideTheWindowAndClearThePassword) {
    GivenSettings({.enabled = 1, .allowed = 60, .remaining = 30, .logoff = 1});
    StartProgram();
    const std::function<void()> ways[] = {[&] { ui.PressEscape(); },
                                          [&] { ui.Click(MainDialog::kCloseButtonId); },
                                          [&] { ui.PressCloseBox(); }};
    for (const auto& hide : ways) {
        ui.Send(MainWindow(), WM_TRAYNOTIFY, 128, 513);
        ui.Type(MainDialog::kPasswordEditId, "half a passw");
        hide();
        EXPECT_FALSE(MainShown());
        EXPECT_EQ(PasswordText(), "");
        EXPECT_FALSE(HideTimerRunning());
        EXPECT_FALSE(ProgramEnded());
    }
    Minutes(1);
    EXPECT_EQ(SavedSettings().remaining, 29) << "the program goes on counting";
}

TEST_F(ProgramTest, AboutBoxFromTheSystemMenuWhileTheTimeRunsOut) {
    GivenSettings({.enabled = 1, .allowed = 60, .remaining = 2, .logoff = 1});
    StartProgram();
    const auto menu = ui.SystemMenuOf(MainWindow());
    ASSERT_GE(menu.size(), 2u);
    EXPECT_EQ(menu[menu.size() - 2].flags, MF_SEPARATOR);
    EXPECT_EQ(menu.back().id, 16u);
    EXPECT_EQ(menu.back().text, "&About Quotamin...");
    ui.ChooseSystemCommand(16);
    ASSERT_NE(ui.FindDialog(IDD_ABOUTBOX), WindowHandle{});
    Minutes(2);
    ASSERT_EQ(terminator.calls.size(), 1u);
    EXPECT_EQ(terminator.calls[0].operation, "LogOff");
    EXPECT_NE(ui.FindDialog(IDD_ABOUTBOX), WindowHandle{});
}

TEST_F(ProgramTest, WindowIconIsTheProgramIcon) {
    StartProgram();
    EXPECT_NE(ui.WindowIcon(MainWindow(), ICON_BIG), IconHandle{});
    EXPECT_EQ(ui.WindowIcon(MainWindow(), ICON_BIG), ui.WindowIcon(MainWindow(), ICON_SMALL));
    EXPECT_EQ(ui.Send(MainWindow(), WM_QUERYDRAGICON),
              static_cast<LResult>(ui.WindowIcon(MainWindow(), ICON_BIG)));
}

TEST_F(ProgramTest, MinimisedWindowDrawsItsIconInTheMiddle) {
    StartProgram();
    ui.Minimize(MainWindow());
    ui.ClearDrawCalls();
    ui.Paint(MainWindow());
    ASSERT_FALSE(ui.DrawCalls().empty());
    const DrawCall& icon = ui.DrawCalls().back();
    EXPECT_EQ(icon.kind, DrawCall::DrawIcon);
    const int width = windowSystem.GetSystemMetrics(SM_CXICON);
    const int height = windowSystem.GetSystemMetrics(SM_CYICON);
    const Rect client = windowSystem.GetClientRect(MainWindow());
    EXPECT_EQ(icon.x, (client.Width() - width + 1) / 2);
    EXPECT_EQ(icon.y, (client.Height() - height + 1) / 2);
}

TEST_F(ProgramTest, RepaintAtFiveMinutesBringsTheWindowBackToTheFront) {
    GivenSettings({.enabled = 1, .allowed = 60, .remaining = 5, .logoff = 1});
    StartProgram();
    ui.AdvanceBy(1s);
    ASSERT_FALSE(MainShown());
    ui.Paint(MainWindow());
    EXPECT_TRUE(MainShown());
    EXPECT_EQ(ui.Foreground(), MainWindow());
}

TEST_F(ProgramTest, FailedSaveInATickIsShownAndTheTickGoesOn) {
    GivenSettings({.enabled = 1, .allowed = 60, .remaining = 2, .logoff = 1});
    StartProgram();
    system.failure = TestSystem::Failure::Create | TestSystem::Failure::Rewrite;
    Minutes(1);
    EXPECT_EQ(Status(), Panic(1)) << "the minute is gone from memory";
    EXPECT_STREQ(ui.NotifyIconCalls().back().data.szTip, "bob, 1 minutes remaining");
    ASSERT_EQ(ui.OpenMessageBoxes().size(), 1u);
    EXPECT_EQ(ui.TopMessageBox().text,
              system.File("qm-bob.dat") + " - Can't open file for writing");
    // The box waits for somebody; the minutes go on, without a second box.
    Minutes(1);
    EXPECT_EQ(ui.OpenMessageBoxes().size(), 1u);
    ASSERT_EQ(terminator.calls.size(), 1u);
    ui.TopMessageBox().PressOk();
    EXPECT_EQ(SavedSettings().remaining, 2);
}

// The message of a start-up save that failed comes when the status has had
// its second and the window hides; it is owned by the main window, and
// however long it is read, the window does not come back when it is answered.
class StartUpSaveFailureTest : public ProgramTest,
                               public ::testing::WithParamInterface<std::chrono::milliseconds> {
  protected:
    void Until(std::chrono::milliseconds time) { ui.AdvanceBy(time - ui.Now()); }
    const std::string m_message = system.File("qm-bob.dat") + " - Can't open file for writing";
};

TEST_P(StartUpSaveFailureTest, WindowShowsItsStatusForASecondAnswerWhenYouWill) {
    system.failure = TestSystem::Failure::Create | TestSystem::Failure::Rewrite;
    StartProgram();
    EXPECT_TRUE(MainShown());
    EXPECT_TRUE(ui.IsTopmost(MainWindow()));
    EXPECT_EQ(Status(), kDisabledStatus);
    EXPECT_EQ(ui.NotifyIconCalls().size(), 1u);
    Until(999ms);
    EXPECT_TRUE(MainShown());
    EXPECT_TRUE(ui.OpenMessageBoxes().empty()) << "not while the status has its second";
    Until(1000ms);
    EXPECT_FALSE(MainShown());
    ASSERT_EQ(ui.OpenMessageBoxes().size(), 1u);
    EXPECT_EQ(ui.TopMessageBox().owner, MainWindow());
    Until(1000ms + GetParam());
    EXPECT_FALSE(MainShown());
    ExpectMessage(m_message);
    EXPECT_FALSE(MainShown()) << "the answer does not bring the window back";
    EXPECT_FALSE(HideTimerRunning());
    Until(ui.Now() + 10s);
    EXPECT_FALSE(MainShown());
    EXPECT_EQ(ui.MessageBoxHistory().size(), 1u);
    EXPECT_TRUE(MinuteTimerRunning());
    EXPECT_FALSE(ProgramEnded());
}

INSTANTIATE_TEST_SUITE_P(AnsweredAfter, StartUpSaveFailureTest,
                         ::testing::Values(0ms, 2000ms, 180000ms), [](const auto& test) {
                             return std::to_string(test.param.count()) + "ms";
                         });

// Close within the second ends the status's time early, and so does a login.
TEST_F(ProgramTest, StartUpSaveFailureComesAtOnceWhenTheWindowIsClosedEarly) {
    system.failure = TestSystem::Failure::Create | TestSystem::Failure::Rewrite;
    StartProgram();
    ui.AdvanceBy(300ms);
    ui.Click(MainDialog::kCloseButtonId);
    EXPECT_FALSE(MainShown());
    ExpectMessage(system.File("qm-bob.dat") + " - Can't open file for writing");
    ui.AdvanceBy(2s);
    EXPECT_FALSE(MainShown());
    EXPECT_EQ(ui.MessageBoxHistory().size(), 1u);
}

TEST_F(ProgramTest, UserNameGoesIntoTheFileNameAsItIs) {
    userName = "Bob";
    StartProgram();
    EXPECT_EQ(app.GetConfig().m_filePath, system.File("qm-Bob.dat"));
    EXPECT_STREQ(ui.NotifyIconCalls().back().data.szTip, "Bob, Quotamin disabled");
}

}  // namespace
}  // namespace quotamin::testing
