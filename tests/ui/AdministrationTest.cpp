// The administrator's side: logging in, the administration dialog's checks
// and its three ways out, and changing the password.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/PasswordCipher.h"
#include "core/PasswordStore.h"
#include "session/TrayMessage.h"
#include "tests/support/StatusTexts.h"
#include "tests/ui/ProgramFixture.h"
#include "ui/AdminDialog.h"
#include "ui/ChangePasswordDialog.h"
#include "ui/MainDialog.h"

namespace quotamin::testing {
namespace {

constexpr auto Ordinary = OrdinaryStatus;

// Neither the file beside nor the file itself can be written.
constexpr auto kCannotSave = TestSystem::Failure::Create | TestSystem::Failure::Rewrite;

class AdministrationTest : public ProgramTest {
  protected:
    // Starts the program for a user with rationing on and logs in.
    void OpenAdministration(const Settings& settings = {
                                .enabled = 1, .allowed = 90, .remaining = 50, .logoff = 1}) {
        GivenSettings(settings);
        StartProgram();
        ui.Send(MainWindow(), WM_TRAYNOTIFY, 128, 513);
        LogIn("quiltbay");
        ASSERT_TRUE(AdminOpen());
    }
    bool AdminOpen() const { return ui.FindDialog(AdminDialog::kTemplateId) != WindowHandle{}; }
    void Enter(const std::string& allowed, const std::string& remaining) {
        ui.SetText(AdminDialog::kMinutesAllowedEditId, allowed);
        ui.SetText(AdminDialog::kMinutesRemainingEditId, remaining);
    }
    void ChangePassword(const std::string& oldText, const std::string& newText,
                        const std::string& repeatText) {
        ui.SetText(ChangePasswordDialog::kOldPasswordEditId, oldText);
        ui.SetText(ChangePasswordDialog::kNewPasswordEditId, newText);
        ui.SetText(ChangePasswordDialog::kRepeatPasswordEditId, repeatText);
        ui.PressEnter();
    }
    std::string PasswordFile() { return system.File("qm-password.dat"); }
};

TEST_F(AdministrationTest, LoginInAnyLetterCaseOpensTheFilledInDialog) {
    GivenSettings({.enabled = 1, .allowed = 90, .remaining = 50, .logoff = 0});
    StartProgram();
    Minutes(1);
    ui.Send(MainWindow(), WM_TRAYNOTIFY, 128, 513);
    ui.Type(MainDialog::kPasswordEditId, "QuiltBAY");
    ui.PressEnter();
    ASSERT_TRUE(AdminOpen());
    EXPECT_EQ(ui.OwnerOf(ui.FindDialog(AdminDialog::kTemplateId)), MainWindow());
    EXPECT_FALSE(ui.IsEnabled(MainWindow()));
    EXPECT_EQ(ui.ControlText(AdminDialog::kUserNameEditId), "bob");
    EXPECT_EQ(ui.ControlText(AdminDialog::kMinutesAllowedEditId), "90");
    EXPECT_EQ(ui.ControlText(AdminDialog::kMinutesRemainingEditId), "49");
    EXPECT_EQ(ui.Check(AdminDialog::kEnableCheckId), BST_CHECKED);
    EXPECT_EQ(ui.Check(AdminDialog::kShutdownRadioId), BST_CHECKED);
    EXPECT_EQ(ui.Check(AdminDialog::kLogoffRadioId), BST_UNCHECKED);
    EXPECT_EQ(PasswordText(), "");
    // Both timers stand still while the dialog is open.
    EXPECT_FALSE(MinuteTimerRunning());
    EXPECT_FALSE(HideTimerRunning());
    Minutes(10);
    EXPECT_EQ(SavedSettings().remaining, 49);
}

TEST_F(AdministrationTest, WrongPasswordKeepsTheTextAndTheMinutesRunning) {
    GivenSettings({.enabled = 1, .allowed = 90, .remaining = 50, .logoff = 1});
    StartProgram();
    LogIn("quiltbax");
    EXPECT_EQ(ui.TopMessageBox().owner, MainWindow());
    ExpectMessage("Sorry, that password is incorrect");
    EXPECT_EQ(PasswordText(), "quiltbax");
    EXPECT_FALSE(AdminOpen());
    EXPECT_TRUE(MinuteTimerRunning());
    EXPECT_TRUE(HideTimerRunning());
    Minutes(1);
    EXPECT_EQ(SavedSettings().remaining, 49);
}

struct EntryCase {
    const char* allowed;
    const char* remaining;
    const char* message;  // null: accepted
    std::int32_t savedAllowed = 0, savedRemaining = 0;
};

class AdministrationEntryTest : public AdministrationTest,
                                public ::testing::WithParamInterface<EntryCase> {};

TEST_P(AdministrationEntryTest, OkChecksTheNumbersInOrder) {
    const EntryCase& c = GetParam();
    OpenAdministration();
    Enter(c.allowed, c.remaining);
    ui.Click(IDOK);
    if (c.message != nullptr) {
        ExpectMessage(c.message);
        EXPECT_TRUE(ui.OpenMessageBoxes().empty()) << "one message per press of OK";
        ASSERT_TRUE(AdminOpen());
        EXPECT_EQ(ui.ControlText(AdminDialog::kMinutesAllowedEditId), c.allowed);
        EXPECT_EQ(ui.ControlText(AdminDialog::kMinutesRemainingEditId), c.remaining);
        EXPECT_EQ(SavedSettings(), (Settings{1, 90, 50, 1}));
        EXPECT_EQ(app.GetConfig().m_minutesAllowed, 90);
    } else {
        EXPECT_FALSE(AdminOpen());
        EXPECT_TRUE(ui.OpenMessageBoxes().empty());
        EXPECT_EQ(SavedSettings(), (Settings{1, c.savedAllowed, c.savedRemaining, 1}));
    }
}

constexpr const char* kBoth = "Both minutes allowed and minutes remaining must be specified";
constexpr const char* kAllowed = "Minutes allowed must be between 10 and 1440";
constexpr const char* kRemaining = "Minutes remaining today must be between 2 and 1440";

INSTANTIATE_TEST_SUITE_P(
    Entries, AdministrationEntryTest,
    ::testing::Values(
        EntryCase{"12abc", "30", nullptr, 12, 30}, EntryCase{" 30", "20", nullptr, 30, 20},
        EntryCase{"+20", "+3", nullptr, 20, 3}, EntryCase{"10", "1440", nullptr, 10, 1440},
        EntryCase{"1440", "2", nullptr, 1440, 2},
        EntryCase{"30", "500", nullptr, 30, 500},  // more than allowed is fine
        EntryCase{"9", "30", kAllowed}, EntryCase{"1441", "30", kAllowed},
        EntryCase{"-5", "30", kAllowed}, EntryCase{"30", "-5", kRemaining},
        EntryCase{"30", "1", kRemaining}, EntryCase{"30", "1441", kRemaining},
        EntryCase{"", "30", kBoth}, EntryCase{"30", "", kBoth},
        EntryCase{"5", "", kBoth},  // empty wins over out of range
        EntryCase{"   ", "30", kAllowed}, EntryCase{"30", "  ", kRemaining},
        EntryCase{"abc", "30", kAllowed},
        EntryCase{"5", "5000", kAllowed},  // both wrong: only the first
        EntryCase{"4294967306", "30", kAllowed}, EntryCase{"1000000000000", "30", kAllowed},
        EntryCase{"30", "-4294967286", kRemaining}));

TEST_F(AdministrationTest, OkStoresTheChoicesAndRestartsTheMinuteTimer) {
    OpenAdministration();
    Enter("200", "100");
    ui.Click(AdminDialog::kShutdownRadioId);
    EXPECT_EQ(ui.Check(AdminDialog::kLogoffRadioId), BST_UNCHECKED);
    ui.PressEnter();
    ASSERT_FALSE(AdminOpen());
    EXPECT_EQ(SavedSettings(), (Settings{1, 200, 100, 0}));
    EXPECT_STREQ(ui.NotifyIconCalls().back().data.szTip, "bob, 100 minutes remaining");
    EXPECT_EQ(Status(), "\r\nYou still have 100 minutes remaining before you will be logged off");
    EXPECT_TRUE(MainShown()) << "the window stays until Close hides it";
    EXPECT_TRUE(MinuteTimerRunning());
    EXPECT_FALSE(HideTimerRunning());
    ui.AdvanceBy(59999ms);
    EXPECT_EQ(SavedSettings().remaining, 100) << "a full minute after the dialog closed";
    ui.AdvanceBy(1ms);
    EXPECT_EQ(SavedSettings().remaining, 99);
}

TEST_F(AdministrationTest, DisablingRationingStopsTheMinutes) {
    OpenAdministration();
    ui.Click(AdminDialog::kEnableCheckId);
    ui.Click(IDOK);
    EXPECT_EQ(SavedSettings(), (Settings{0, 90, 50, 1}));
    EXPECT_STREQ(ui.NotifyIconCalls().back().data.szTip, "bob, Quotamin disabled");
    EXPECT_FALSE(MinuteTimerRunning());
    Minutes(3);
    EXPECT_EQ(LogLines().back(), "TrayMessage, 1");
}

TEST_F(AdministrationTest, OkOnANewDayStoresTheAllowanceAsTheBalance) {
    OpenAdministration();
    system.today = 18;
    Enter("60", "25");
    ui.Click(IDOK);
    EXPECT_EQ(SavedSettings(), (Settings{1, 60, 60, 1}));
    EXPECT_EQ(SavedDay(), 18);
}

TEST_F(AdministrationTest, CancelAndTheCloseBoxSaveNothingButRefreshAndRestart) {
    OpenAdministration();
    for (bool closeBox : {false, true}) {
        SCOPED_TRACE(closeBox ? "close box" : "Cancel");
        if (!AdminOpen()) {
            LogIn("quiltbay");
        }
        const std::size_t traysBefore = ui.NotifyIconCalls().size();
        Enter("300", "300");
        ui.Click(AdminDialog::kEnableCheckId);
        if (closeBox) {
            ui.PressCloseBox();
        } else {
            ui.Click(IDCANCEL);
        }
        EXPECT_FALSE(AdminOpen());
        EXPECT_EQ(SavedSettings(), (Settings{1, 90, 50, 1}));
        EXPECT_EQ(ui.NotifyIconCalls().size(), traysBefore + 1);
        EXPECT_TRUE(MinuteTimerRunning());
    }
}

TEST_F(AdministrationTest, FailedSaveKeepsWhatWasTypedAndASecondOkSavesIt) {
    OpenAdministration();
    Enter("200", "100");
    system.failure = kCannotSave;
    ui.Click(IDOK);
    ExpectMessage(system.File("qm-bob.dat") + " - Can't open file for writing");
    ASSERT_TRUE(AdminOpen());
    EXPECT_EQ(ui.ControlText(AdminDialog::kMinutesAllowedEditId), "200");
    EXPECT_EQ(ui.ControlText(AdminDialog::kMinutesRemainingEditId), "100");
    EXPECT_EQ(app.GetConfig().m_minutesAllowed, 90) << "nothing unsaved is in force";
    EXPECT_EQ(app.GetConfig().m_minutesRemaining, 50);
    system.failure = TestSystem::Failure::None;
    ui.Click(IDOK);
    EXPECT_FALSE(AdminOpen());
    EXPECT_EQ(SavedSettings(), (Settings{1, 200, 100, 1}));
    EXPECT_EQ(Status(), Ordinary(100));
    EXPECT_STREQ(ui.NotifyIconCalls().back().data.szTip, "bob, 100 minutes remaining");
    Minutes(1);
    EXPECT_EQ(SavedSettings().remaining, 99);
}

// After an OK whose save failed, Cancel means that nothing changed: not in
// memory, not on the screen, not in the file at the next minute; also when
// that OK switched rationing off.
class FailedSaveThenCancelTest : public AdministrationTest,
                                 public ::testing::WithParamInterface<bool> {};

TEST_P(FailedSaveThenCancelTest, LeavesEverythingAsBefore) {
    OpenAdministration();
    Enter("200", "100");
    ui.Click(AdminDialog::kShutdownRadioId);
    if (GetParam()) {
        ui.Click(AdminDialog::kEnableCheckId);
    }
    system.failure = kCannotSave;
    ui.Click(IDOK);
    ExpectMessage(system.File("qm-bob.dat") + " - Can't open file for writing");
    system.failure = TestSystem::Failure::None;
    ui.Click(IDCANCEL);
    ASSERT_FALSE(AdminOpen());
    const QuotaminConfig& config = app.GetConfig();
    EXPECT_EQ((Settings{config.m_enabled, config.m_minutesAllowed, config.m_minutesRemaining,
                        config.m_logoffOnExpiry}),
              (Settings{1, 90, 50, 1}));
    EXPECT_EQ(SavedSettings(), (Settings{1, 90, 50, 1}));
    EXPECT_EQ(Status(), Ordinary(50));
    EXPECT_STREQ(ui.NotifyIconCalls().back().data.szTip, "bob, 50 minutes remaining");
    EXPECT_TRUE(MinuteTimerRunning());
    Minutes(1);
    EXPECT_EQ(SavedSettings(), (Settings{1, 90, 49, 1}));
    EXPECT_EQ(Status(), Ordinary(49));
}

INSTANTIATE_TEST_SUITE_P(Entries, FailedSaveThenCancelTest, ::testing::Bool(),
                         [](const auto& test) {
                             return std::string(test.param ? "RationingOff" : "NewNumbers");
                         });

TEST_F(AdministrationTest, ShutdownQuotaminSavesNothingAndEndsTheProgram) {
    OpenAdministration();
    Enter("300", "300");
    ui.Click(AdminDialog::kShutdownProgramButtonId);
    EXPECT_FALSE(AdminOpen());
    ExpectMessage("Remember to restart Quotamin if you want to ration this session.");
    EXPECT_TRUE(ProgramEnded());
    EXPECT_EQ(SavedSettings(), (Settings{1, 90, 50, 1}));
    EXPECT_TRUE(ui.MessageBoxHistory().size() == 1u);
    const std::vector<std::string> lines = LogLines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2], "TrayMessage, 1");
    EXPECT_EQ(lines.back(), "TrayMessage, 2");
    EXPECT_EQ(ui.NotifyIconCalls().back().message, NIM_DELETE);
    EXPECT_STREQ(ui.NotifyIconCalls().back().data.szTip, "bob, 50 minutes remaining");
}

TEST_F(AdministrationTest, RefusedLogoffIsTriedAgainOnlyAfterALogin) {
    GivenSettings({.enabled = 1, .allowed = 90, .remaining = 1, .logoff = 1});
    StartProgram();
    Minutes(2);
    ASSERT_EQ(terminator.calls.size(), 1u);
    Minutes(10);
    EXPECT_EQ(terminator.calls.size(), 1u);
    LogIn("quiltbay");
    ui.Click(IDCANCEL);
    EXPECT_TRUE(MinuteTimerRunning());
    Minutes(1);
    EXPECT_EQ(terminator.calls.size(), 2u);
    EXPECT_FALSE(terminator.calls[1].minuteTimerRunning);
}

TEST_F(AdministrationTest, UnreadablePasswordFileStopsTheLoginWithAReport) {
    GivenSettings({.enabled = 1, .allowed = 90, .remaining = 50, .logoff = 1});
    WriteBytes(PasswordFile(), "\x09short");
    StartProgram();
    LogIn("quiltbay");
    const MessageBoxView report = ui.TopMessageBox();
    EXPECT_NE(report.text.find(PasswordFile()), std::string::npos) << report.text;
    EXPECT_EQ(report.caption, "diduvavi");
    report.PressOk();
    EXPECT_FALSE(AdminOpen());
    EXPECT_EQ(PasswordText(), "quiltbay");
    EXPECT_TRUE(MinuteTimerRunning());
    EXPECT_FALSE(ProgramEnded());
}

// A Windows user named Password (in any letter case) must not get the
// password file as settings file: it stays untouched by start-up, minutes and
// the administration, and the password in force stays the administrator's.
class PasswordUserTest : public AdministrationTest, public ::testing::WithParamInterface<bool> {};

TEST_P(PasswordUserTest, PasswordFileIsNeitherSettingsNorChanged) {
    const bool passwordFileThere = GetParam();
    const std::string password = passwordFileThere ? "Secret7" : "quiltbay";
    if (passwordFileThere) {
        PasswordStore store(system);
        store.SetPassword(password);
        store.Save();
    }
    const bool hadFile = std::filesystem::exists(PasswordFile());
    const std::string before = hadFile ? ReadBytes(PasswordFile()) : std::string();
    const auto expectPasswordFileAsBefore = [&](const char* when) {
        EXPECT_EQ(std::filesystem::exists(PasswordFile()), hadFile) << when;
        if (hadFile) {
            EXPECT_EQ(ReadBytes(PasswordFile()), before) << when;
        }
    };
    userName = "Password";
    StartProgram();
    EXPECT_EQ(Status(), kDisabledStatus);
    expectPasswordFileAsBefore("after start-up");
    EXPECT_EQ(app.GetConfig().m_filePath, system.File("qm-[Password].dat"));
    userName = "[Password]";  // where the fixture looks for the settings file
    EXPECT_EQ(SavedSettings(), (Settings{0, 120, 120, 1}));

    LogIn("");
    ExpectMessage("Sorry, that password is incorrect");
    EXPECT_FALSE(AdminOpen());
    LogIn(password);
    ASSERT_TRUE(AdminOpen());
    EXPECT_EQ(ui.ControlText(AdminDialog::kUserNameEditId), "Password");
    Enter("30", "20");
    ui.Click(AdminDialog::kEnableCheckId);
    ui.Click(IDOK);
    ASSERT_FALSE(AdminOpen());
    expectPasswordFileAsBefore("after the administration's OK");
    EXPECT_EQ(SavedSettings(), (Settings{1, 30, 20, 1}));
    Minutes(2);
    expectPasswordFileAsBefore("after two minutes");
    EXPECT_EQ(SavedSettings(), (Settings{1, 30, 18, 1}));
    EXPECT_STREQ(ui.NotifyIconCalls().back().data.szTip, "Password, 18 minutes remaining");

    LogIn(password);
    ui.Click(AdminDialog::kShutdownProgramButtonId);
    ExpectMessage("Remember to restart Quotamin if you want to ration this session.");
    ASSERT_TRUE(ProgramEnded());
    expectPasswordFileAsBefore("after the program ended");

    // The next run of the program finds that user's settings again.
    QuotaminConfig nextRun(system);
    nextRun.SetUser("Password");
    EXPECT_EQ((Settings{nextRun.m_enabled, nextRun.m_minutesAllowed, nextRun.m_minutesRemaining,
                        nextRun.m_logoffOnExpiry}),
              (Settings{1, 30, 18, 1}));
    expectPasswordFileAsBefore("after the next run's start");
}

INSTANTIATE_TEST_SUITE_P(PasswordFile, PasswordUserTest, ::testing::Bool(), [](const auto& test) {
    return std::string(test.param ? "There" : "NotYet");
});

// --- Changing the password ---

struct ChangeCase {
    const char* name;
    std::string oldText, newText, repeatText;
    const char* message;
};

class ChangePasswordTest : public AdministrationTest,
                           public ::testing::WithParamInterface<ChangeCase> {};

TEST_P(ChangePasswordTest, RefusalsKeepTheDialogAndTheFile) {
    const ChangeCase& c = GetParam();
    OpenAdministration();
    ui.Click(AdminDialog::kChangePasswordButtonId);
    ASSERT_NE(ui.FindDialog(ChangePasswordDialog::kTemplateId), WindowHandle{});
    EXPECT_EQ(ui.FocusedControlId(), IDOK) << "the first tab stop";
    ChangePassword(c.oldText, c.newText, c.repeatText);
    EXPECT_EQ(ui.TopMessageBox().owner, ui.FindDialog(ChangePasswordDialog::kTemplateId));
    ExpectMessage(c.message);
    EXPECT_TRUE(ui.OpenMessageBoxes().empty());
    ASSERT_NE(ui.FindDialog(ChangePasswordDialog::kTemplateId), WindowHandle{});
    EXPECT_EQ(ui.ControlText(ChangePasswordDialog::kOldPasswordEditId), c.oldText);
    EXPECT_EQ(ui.ControlText(ChangePasswordDialog::kRepeatPasswordEditId), c.repeatText);
    EXPECT_FALSE(std::filesystem::exists(PasswordFile()));
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, ChangePasswordTest,
    ::testing::Values(
        ChangeCase{"OldInCapitals", "QUILTBAY", "new", "new", "The old password is not correct"},
        ChangeCase{"WrongOldEmptyNew", "nope", "", "", "The old password is not correct"},
        ChangeCase{"EmptyNewWithRepeat", "quiltbay", "", "x",
                   "The new password did not match the repeated new password"},
        ChangeCase{"Mismatch", "quiltbay", "abc", "abd",
                   "The new password did not match the repeated new password"},
        ChangeCase{"CaseMismatch", "quiltbay", "abc", "ABC",
                   "The new password did not match the repeated new password"},
        ChangeCase{"Blank", "quiltbay", "", "", "The new password cannot be blank"}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(AdministrationTest, NewPasswordIsSavedAsTypedAndUsedFromTheNextLogin) {
    OpenAdministration();
    Enter("77", "66");  // typed before the change: still there afterwards
    ui.Click(AdminDialog::kChangePasswordButtonId);
    ChangePassword("quiltbay", " Tea Pot ", " Tea Pot ");
    ExpectMessage("The new password has been saved - remember to use this password in the future.");
    EXPECT_EQ(ui.FindDialog(ChangePasswordDialog::kTemplateId), WindowHandle{});
    ASSERT_TRUE(AdminOpen());
    EXPECT_EQ(ui.ControlText(AdminDialog::kMinutesAllowedEditId), "77");
    EXPECT_EQ(ui.ControlText(AdminDialog::kMinutesRemainingEditId), "66");
    EXPECT_EQ(ReadBytes(PasswordFile()), "\x09" + PasswordCipher::Encipher(" Tea Pot "));
    ui.Click(IDCANCEL);

    // The old password no longer opens; the new one does, in any case.
    LogIn("quiltbay");
    ExpectMessage("Sorry, that password is incorrect");
    LogIn(" TEA POT ");
    ASSERT_TRUE(AdminOpen());
    // The change dialog wants it exactly as stored; the same password again is fine.
    ui.Click(AdminDialog::kChangePasswordButtonId);
    ChangePassword(" TEA POT ", "x", "x");
    ExpectMessage("The old password is not correct");
    ChangePassword(" Tea Pot ", " Tea Pot ", " Tea Pot ");
    ExpectMessage("The new password has been saved - remember to use this password in the future.");
}

TEST_F(AdministrationTest, CancelAfterRefusalsChangesNothing) {
    OpenAdministration();
    ui.Click(AdminDialog::kChangePasswordButtonId);
    ChangePassword("bad", "a", "a");
    ExpectMessage("The old password is not correct");
    ui.PressEscape();
    EXPECT_EQ(ui.FindDialog(ChangePasswordDialog::kTemplateId), WindowHandle{});
    EXPECT_TRUE(AdminOpen());
    EXPECT_EQ(ui.ControlText(AdminDialog::kMinutesAllowedEditId), "90");
    EXPECT_FALSE(std::filesystem::exists(PasswordFile()));
}

TEST_F(AdministrationTest, FailedPasswordSaveKeepsTheOldPassword) {
    OpenAdministration();
    ui.Click(AdminDialog::kChangePasswordButtonId);
    system.failure = TestSystem::Failure::ShortWrite;
    ChangePassword("quiltbay", "newer", "newer");
    ExpectMessage(PasswordFile() + " - Can't write file");
    EXPECT_TRUE(ui.OpenMessageBoxes().empty()) << "no success notice after a failure";
    ASSERT_NE(ui.FindDialog(ChangePasswordDialog::kTemplateId), WindowHandle{});
    EXPECT_FALSE(std::filesystem::exists(PasswordFile()));
    // Cancel: the old password is still the one in force.
    system.failure = TestSystem::Failure::None;
    ui.PressEscape();
    ui.Click(IDCANCEL);
    LogIn("newer");
    ExpectMessage("Sorry, that password is incorrect");
    LogIn("quiltbay");
    EXPECT_TRUE(AdminOpen());
}

TEST_F(AdministrationTest, UnreadablePasswordFileStopsTheChangeWithAReport) {
    OpenAdministration();
    ui.Click(AdminDialog::kChangePasswordButtonId);
    WriteBytes(PasswordFile(), "");
    ChangePassword("quiltbay", "newer", "newer");
    const MessageBoxView report = ui.TopMessageBox();
    EXPECT_NE(report.text.find(PasswordFile()), std::string::npos) << report.text;
    report.PressOk();
    EXPECT_TRUE(ui.OpenMessageBoxes().empty());
    EXPECT_NE(ui.FindDialog(ChangePasswordDialog::kTemplateId), WindowHandle{});
    EXPECT_EQ(ReadBytes(PasswordFile()), "");
}

}  // namespace
}  // namespace quotamin::testing
