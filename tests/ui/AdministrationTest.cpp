// The administrator's side: logging in, the administration dialog's checks
// and its three ways out, and changing the password.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/PasswordCipher.h"
#include "session/TrayMessage.h"
#include "tests/ui/ProgramFixture.h"
#include "ui/AdminDialog.h"
#include "ui/ChangePasswordDialog.h"
#include "ui/MainDialog.h"

namespace quotamin::testing {
namespace {

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

TEST_F(AdministrationTest, FailedSaveKeepsTheDialogOpenWithWhatWasTyped) {
    OpenAdministration();
    Enter("200", "100");
    system.failure = TestSystem::Failure::Create;
    ui.Click(IDOK);
    ExpectMessage(system.File("qm-bob.dat") + " - Can't open file for writing");
    ASSERT_TRUE(AdminOpen());
    EXPECT_EQ(ui.ControlText(AdminDialog::kMinutesAllowedEditId), "200");
    system.failure = TestSystem::Failure::None;
    ui.Click(IDOK);
    EXPECT_FALSE(AdminOpen());
    EXPECT_EQ(SavedSettings(), (Settings{1, 200, 100, 1}));
}

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
