// The program file as built, on a real Win32 implementation, driven from
// outside through its windows and the messages the shell and the timers send,
// and checked on the real files it keeps. A story in a table of steps, each
// building on the ones before; the first step that fails ends the run.
//
//   e2e_test <program.exe> <session_end_watcher.exe> <screenshot directory> [password-user]
//
// The first story runs in a Windows installation of its own (a fresh Wine
// prefix): it expects no settings, no password file and no log before it
// starts, and leaves an administrator's password behind. The second one
// ("password-user") runs after it in the same installation, as a user whose
// name is Password (Wine takes the user name from USER): named as usual, that
// user's settings file would be the password file.
// From the third step of the first story on, and for the whole second one,
// this program holds a lock on every byte the log has or may have, as any
// user who may read the log can.

#include <cstdint>
#include <ctime>
#include <functional>
#include <iostream>
#include <memory>
#include <regex>
#include <span>
#include <string>
#include <vector>

#include "core/PasswordCipher.h"
#include "session/TrayMessage.h"
#include "tests/support/SettingsBytes.h"
#include "tests/support/StatusTexts.h"
#include "ui/ResourceIds.h"
// Last: see platform/WindowsHeaderOrder.h.
#include "tests/e2e/WindowDriver.h"

namespace quotamin::e2e {
namespace {

using testing::kDisabledStatus;
using testing::kEndStatus;

// The minute timer's id, as the main window sets it.
constexpr UINT_PTR kMinuteTimer = 1;

const std::string kCaption = "diduvavi";
const std::string kStartLine = "==================== OnInitDialog ======================";

struct Arguments {
    std::string program;
    std::string watcher;
    std::string screenshots;
};

// What the story has reached so far.
struct Story {
    Arguments arguments;
    std::string settingsPath = WindowsDirectory() + "\\qm-" + UserName() + ".dat";
    std::string passwordPath = WindowsDirectory() + "\\qm-password.dat";
    std::string logPath = "C:\\quotamin.log";
    std::unique_ptr<Process> program;
    HWND main = nullptr;
    HWND admin = nullptr;
    std::size_t logLinesChecked = 0;
    bool screenshots = true;
    // The log, opened and locked by this program.
    UniqueFileHandle logLock;
    // The password file as the story found it, for a story that must not change it.
    std::string passwordFile;
};

int Today() {
    const std::time_t now = std::time(nullptr);
    return std::localtime(&now)->tm_mday;
}

// The settings file as the program writes it, with today's day of the month.
void ExpectSettings(const Story& story, int enabled, int allowed, int remaining, int logoff) {
    ExpectSoon([&] { return ReadFileBytes(story.settingsPath); },
               testing::SettingsRecord(enabled, allowed, remaining, logoff, Today()),
               "the settings file " + story.settingsPath);
}

// The texts of the log's lines, each checked to be "MM/DD/YY hh:mm:ss: text\r\n".
std::vector<std::string> LogTexts(const Story& story) {
    const std::string log = ReadFileBytes(story.logPath);
    Expect(log.size() >= 2 && log.substr(log.size() - 2) == "\r\n",
           "the log ends with a line end: \"" + Printable(log) + "\"");
    static const std::regex line(R"((\d\d)/(\d\d)/(\d\d) (\d\d):(\d\d):(\d\d): ([^\r\n]*))");
    std::vector<std::string> texts;
    for (std::size_t start = 0; start < log.size();) {
        const std::size_t end = log.find("\r\n", start);
        const std::string text = log.substr(start, end - start);
        std::smatch parts;
        Expect(std::regex_match(text, parts, line) && std::stoi(parts[1]) <= 12 &&
                   std::stoi(parts[4]) <= 23,
               "a log line with its time stamp: \"" + Printable(text) + "\"");
        texts.push_back(parts[7]);
        start = end + 2;
    }
    return texts;
}

// Checks that the lines written since the last check carry `texts`.
void ExpectNewLogLines(Story& story, const std::vector<std::string>& texts) {
    std::string expected;
    for (const std::string& text : texts) {
        expected += text + "|";
    }
    std::size_t lines = 0;
    ExpectSoon(
        [&] {
            const std::vector<std::string> written = LogTexts(story);
            std::string actual;
            for (std::size_t i = story.logLinesChecked; i < written.size(); ++i) {
                actual += written[i] + "|";
            }
            lines = written.size();
            return actual;
        },
        expected, "the log's new lines");
    story.logLinesChecked = lines;
}

void ExpectMessageBox(HWND owner, const std::string& text) {
    const MessageBoxSeen box = AnswerMessageBox(owner);
    ExpectEq(box.caption, kCaption, "the message box's caption");
    ExpectEq(box.text, text, "the message box's text");
    std::string buttons;
    for (const std::string& button : box.buttons) {
        buttons += " [" + button + "]";
    }
    Expect(box.buttons == std::vector<std::string>{"OK"} && !box.hasIcon,
           "the message box has one OK button and no icon, not" + buttons +
               (box.hasIcon ? " and an icon" : ""));
}

void ExpectStatus(const Story& story, const std::string& expected) {
    ExpectSoon([&] { return Text(Control(story.main, IDC_STATUS)); }, expected, "the status");
}

std::string StatusOf(int remaining) {
    if (remaining == 5) {
        return testing::WarningStatus(remaining);
    }
    if (remaining == 1) {
        return testing::PanicStatus(remaining);
    }
    return testing::OrdinaryStatus(remaining);
}

void ExpectInFront(const Story& story) {
    Expect(::IsWindowVisible(story.main), "the main window is shown");
    WaitFor([&] { return ::GetForegroundWindow() == story.main; }, 5s,
            "the main window to come to the front");
}

// A left-button press on the notification-area icon, as the shell reports it.
void PressIcon(Story& story) {
    ExpectEq(Send(story.main, WM_TRAYNOTIFY, kTrayIconId, WM_LBUTTONDOWN), LRESULT{1},
             "the answer to the icon's left-button press");
    ExpectInFront(story);
}

void Hide(Story& story) {
    Click(Control(story.main, IDC_CLOSE));
    WaitUntilHidden(story.main);
}

// The minute timer's tick, sent in place of waiting a minute.
void Tick(Story& story) {
    Send(story.main, WM_TIMER, kMinuteTimer, 0);
}

void StartProgram(Story& story) {
    story.program = std::make_unique<Process>(story.arguments.program);
    story.main = WaitForDialog(story.program->Id(), "", 60s);
}

void LogIn(Story& story, const std::string& password) {
    SetText(Control(story.main, IDC_PASSWORD), password);
    Click(Control(story.main, IDC_LOGIN));
}

void OpenAdministration(Story& story, const std::string& password) {
    LogIn(story, password);
    story.admin = WaitForDialog(story.program->Id(), "Quotamin administration");
}

struct AdminFields {
    std::string allowed;
    std::string remaining;
    bool enabled;
    bool logoff;
};

void ExpectAdminFields(const Story& story, const AdminFields& fields) {
    const auto text = [&](int id) {
        return [&story, id] { return Text(Control(story.admin, id)); };
    };
    const auto checked = [&](int id) {
        return [&story, id] { return IsChecked(Control(story.admin, id)); };
    };
    ExpectSoon(text(IDC_USER_NAME), UserName(), "the user name");
    ExpectSoon(text(IDC_MINUTES_ALLOWED), fields.allowed, "minutes allowed");
    ExpectSoon(text(IDC_MINUTES_REMAINING), fields.remaining, "minutes remaining");
    ExpectSoon(checked(IDC_ENABLE_CHECK), fields.enabled, "the enable box");
    ExpectSoon(checked(IDC_LOGOFF_RADIO), fields.logoff, "the log-off button");
    ExpectSoon(checked(IDC_SHUTDOWN_RADIO), !fields.logoff, "the shutdown button");
}

void Screenshot(const Story& story, HWND window, const std::string& name) {
    if (story.screenshots) {
        SaveScreenshot(window, story.arguments.screenshots + "\\" + name + ".bmp");
    }
}

// The window hid a second after the program started, give or take Wine's pace.
void ExpectHiddenAfterASecond(std::chrono::steady_clock::time_point started,
                              std::chrono::steady_clock::time_point shown,
                              std::chrono::steady_clock::time_point hidden) {
    Expect(hidden - started > 950ms && hidden - shown < 5s,
           "the window hides a second after start-up, not " +
               std::to_string((hidden - shown) / 1ms) + " ms after it was seen");
}

// Starts the program: it shows `status` on top and hides a second later.
void StartAndSeeItHide(Story& story, const std::string& status) {
    const auto started = std::chrono::steady_clock::now();
    StartProgram(story);
    const auto shown = std::chrono::steady_clock::now();
    ExpectStatus(story, status);
    Expect((::GetWindowLongA(story.main, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0,
           "the main window is topmost");
    WaitUntilHidden(story.main);
    ExpectHiddenAfterASecond(started, shown, std::chrono::steady_clock::now());
}

void NewUserStarts(Story& story) {
    Expect(!FileExists(story.settingsPath) && !FileExists(story.passwordPath) &&
               !FileExists(story.logPath),
           "a fresh installation: no settings, no password file, no log");
    StartAndSeeItHide(story, kDisabledStatus);
    ExpectSettings(story, 0, 120, 120, 1);
    ExpectNewLogLines(story, {kStartLine, "TrayMessage, 0"});
}

BOOL CALLBACK CollectResource(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR found) {
    const HRSRC resource = ::FindResourceA(module, name, type);
    const auto* text = static_cast<const char*>(::LockResource(::LoadResource(module, resource)));
    reinterpret_cast<std::vector<std::string>*>(found)->emplace_back(
        text, ::SizeofResource(module, resource));
    return TRUE;
}

// The program file asks Windows for no execution level, so that Windows treats
// it as the older programs of its kind and redirects a standard user's writes
// to the Windows directory into that user's own store instead of refusing them.
void NoExecutionLevelIsAsked(Story& story) {
    const UniqueModule file(
        ::LoadLibraryExA(story.arguments.program.c_str(), nullptr,
                         LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    Expect(static_cast<bool>(file), "the program file loads as data");
    std::vector<std::string> manifests;
    ::EnumResourceNamesA(file.Get(), MAKEINTRESOURCEA(24), CollectResource,
                         reinterpret_cast<LONG_PTR>(&manifests));
    for (const std::string& manifest : manifests) {
        Expect(manifest.find("requestedExecutionLevel") == std::string::npos,
               "the manifest asks for no execution level: " + Printable(manifest));
    }
}

// Another program opens the log for reading and locks every byte it has or
// may have, for the rest of the run.
void AnotherProgramLocksTheLog(Story& story) {
    story.logLock.Reset(::CreateFileA(story.logPath.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    Expect(static_cast<bool>(story.logLock), "the log opened for reading");
    OVERLAPPED everything{};
    Expect(::LockFileEx(story.logLock.Get(), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0,
                        MAXDWORD, MAXDWORD, &everything) != 0,
           "a lock on every byte of the log");
}

void IconShowsTheWindow(Story& story) {
    for (const LPARAM other : {WM_RBUTTONDOWN, WM_LBUTTONUP, WM_MOUSEMOVE, WM_LBUTTONDBLCLK}) {
        Send(story.main, WM_TRAYNOTIFY, kTrayIconId, other);
    }
    Send(story.main, WM_TRAYNOTIFY, kTrayIconId + 1, WM_LBUTTONDOWN);
    Expect(!::IsWindowVisible(story.main), "other notifications leave the window hidden");
    PressIcon(story);
    ExpectStatus(story, kDisabledStatus);
}

void EscapeAndCloseHide(Story& story) {
    const std::vector<std::pair<std::string, std::function<void()>>> ways = {
        {"Escape", [&] { PressKey(Control(story.main, IDC_PASSWORD), VK_ESCAPE); }},
        {"Close", [&] { Click(Control(story.main, IDC_CLOSE)); }},
    };
    for (const auto& [name, hide] : ways) {
        if (!::IsWindowVisible(story.main)) {
            PressIcon(story);
        }
        SetText(Control(story.main, IDC_PASSWORD), "half typed");
        hide();
        WaitUntilHidden(story.main);
        ExpectEq(Text(Control(story.main, IDC_PASSWORD)), std::string(),
                 "the password box after " + name);
    }
}

void WrongPasswordIsRefused(Story& story) {
    PressIcon(story);
    LogIn(story, "quiltbag");
    ExpectMessageBox(story.main, "Sorry, that password is incorrect");
    ExpectEq(Text(Control(story.main, IDC_PASSWORD)), std::string("quiltbag"),
             "the password box keeps what was typed");
    Expect(FindDialog(story.program->Id(), "Quotamin administration") == nullptr,
           "no administration dialog");
}

void RightPasswordInCapitalsOpensAdministration(Story& story) {
    OpenAdministration(story, "QUILTBAY");
    ExpectEq(Text(Control(story.main, IDC_PASSWORD)), std::string(), "the password box");
    ExpectAdminFields(story, {"120", "120", false, true});
    Screenshot(story, story.admin, "administration");
}

void InvalidEntriesAreRefused(Story& story) {
    struct Entry {
        std::string allowed, remaining, message;
    };
    const std::vector<Entry> entries = {
        {"", "30", "Both minutes allowed and minutes remaining must be specified"},
        {"9", "", "Both minutes allowed and minutes remaining must be specified"},
        {"9", "30", "Minutes allowed must be between 10 and 1440"},
        {"1441", "0", "Minutes allowed must be between 10 and 1440"},
        {" ", "30", "Minutes allowed must be between 10 and 1440"},
        {"30", "1", "Minutes remaining today must be between 2 and 1440"},
        {"12abc", "1441", "Minutes remaining today must be between 2 and 1440"},
    };
    for (const Entry& entry : entries) {
        SetText(Control(story.admin, IDC_MINUTES_ALLOWED), entry.allowed);
        SetText(Control(story.admin, IDC_MINUTES_REMAINING), entry.remaining);
        Click(Control(story.admin, IDOK));
        ExpectMessageBox(story.admin, entry.message);
        Expect(::IsWindowVisible(story.admin), "the dialog stays open");
        ExpectEq(Text(Control(story.admin, IDC_MINUTES_ALLOWED)), entry.allowed,
                 "the allowed entry");
        ExpectEq(Text(Control(story.admin, IDC_MINUTES_REMAINING)), entry.remaining,
                 "the remaining entry");
    }
    ExpectSettings(story, 0, 120, 120, 1);
}

void ChangePassword(Story& story) {
    Click(Control(story.admin, IDC_CHANGE_PASSWORD));
    const HWND dialog = WaitForDialog(story.program->Id(), "Change password");
    struct Attempt {
        std::string oldPassword, newPassword, repeat, message;
    };
    const std::vector<Attempt> refused = {
        {"QUILTBAY", "Secret7", "Secret7", "The old password is not correct"},
        {"quiltbay", "Secret7", "secret7",
         "The new password did not match the repeated new password"},
        {"quiltbay", "", "x", "The new password did not match the repeated new password"},
        {"quiltbay", "", "", "The new password cannot be blank"},
    };
    const auto type = [&](const Attempt& attempt) {
        SetText(Control(dialog, IDC_OLD_PASSWORD), attempt.oldPassword);
        SetText(Control(dialog, IDC_NEW_PASSWORD), attempt.newPassword);
        SetText(Control(dialog, IDC_REPEAT_PASSWORD), attempt.repeat);
    };
    for (const Attempt& attempt : refused) {
        type(attempt);
        if (&attempt == &refused.front()) {
            Screenshot(story, dialog, "change-password");
        }
        Click(Control(dialog, IDOK));
        ExpectMessageBox(dialog, attempt.message);
        Expect(::IsWindowVisible(dialog), "the change-password dialog stays open");
        Expect(!FileExists(story.passwordPath), "no password file yet");
    }
    type({"quiltbay", "Secret7", "Secret7", ""});
    Click(Control(dialog, IDOK));
    ExpectMessageBox(dialog,
                     "The new password has been saved - remember to use this password in the "
                     "future.");
    WaitFor([&] { return !::IsWindow(dialog); }, 10s, "the change-password dialog to close");
    ExpectEq(ReadFileBytes(story.passwordPath), "\x07" + PasswordCipher::Encipher("Secret7"),
             "the password file");
    Expect(ReadFileBytes(story.passwordPath).find("ecret7") == std::string::npos,
           "the password file does not hold the password as typed");
    ExpectEq(Text(Control(story.admin, IDC_MINUTES_ALLOWED)), std::string("12abc"),
             "the administration dialog's entries after the change");
}

void ValidEntriesAreSaved(Story& story) {
    SetText(Control(story.admin, IDC_MINUTES_ALLOWED), "30");
    SetText(Control(story.admin, IDC_MINUTES_REMAINING), "6");
    Click(Control(story.admin, IDC_SHUTDOWN_RADIO));
    Click(Control(story.admin, IDC_LOGOFF_RADIO));
    Click(Control(story.admin, IDC_ENABLE_CHECK));
    ExpectAdminFields(story, {"30", "6", true, true});
    Click(Control(story.admin, IDOK));
    WaitFor([&] { return !::IsWindow(story.admin); }, 10s, "the administration dialog to close");
    ExpectSettings(story, 1, 30, 6, 1);
    ExpectNewLogLines(story, {"TrayMessage, 1"});
    Expect(::IsWindowVisible(story.main), "the main window stays shown");
    ExpectStatus(story, StatusOf(6));
}

void MinuteTicksCountDown(Story& story) {
    for (int remaining = 5, elapsed = 1; remaining >= 4; --remaining, ++elapsed) {
        Hide(story);
        Tick(story);
        ExpectSettings(story, 1, 30, remaining, 1);
        ExpectStatus(story, StatusOf(remaining));
        ExpectNewLogLines(story, {"OnTimer elapsed=" + std::to_string(elapsed), "TrayMessage, 1"});
        if (remaining == 5) {
            ExpectInFront(story);
            Screenshot(story, story.main, "main-window");
        } else {
            Expect(!::IsWindowVisible(story.main),
                   "the window stays hidden at " + std::to_string(remaining) + " minutes");
        }
    }
}

void AboutBox(Story& story) {
    PressIcon(story);
    Post(story.main, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    const HWND about = WaitForDialog(story.program->Id(), "About Quotamin");
    Screenshot(story, about, "about");
    Click(Control(about, IDOK));
    WaitFor([&] { return !::IsWindow(about); }, 10s, "the about box to close");
}

void ShutdownQuotamin(Story& story) {
    LogIn(story, "quiltbay");
    ExpectMessageBox(story.main, "Sorry, that password is incorrect");
    OpenAdministration(story, "sECRET7");
    ExpectAdminFields(story, {"30", "4", true, true});
    SetText(Control(story.admin, IDC_MINUTES_ALLOWED), "99");
    Click(Control(story.admin, IDC_SHUTDOWN_PROGRAM));
    WaitFor([&] { return !::IsWindow(story.admin); }, 10s, "the administration dialog to close");
    ExpectMessageBox(story.main,
                     "Remember to restart Quotamin if you want to ration this session.");
    Expect(story.program->WaitForExit(30s), "the program ends");
    ExpectEq(story.program->ExitCode(), DWORD{0}, "the program's exit code");
    ExpectSettings(story, 1, 30, 4, 1);
    ExpectNewLogLines(story, {"TrayMessage, 1", "TrayMessage, 2"});
}

void TimeRunsOutAndTheSessionEnds(Story& story) {
    const std::string report = story.arguments.screenshots + "\\..\\session-end-watcher.txt";
    Process watcher(story.arguments.watcher, "\"" + report + "\" 120");
    WaitFor([] { return ::FindWindowA("QuotaminSessionEndWatcher", nullptr); }, 30s,
            "the other program's window");

    StartAndSeeItHide(story, StatusOf(4));
    ExpectNewLogLines(story, {kStartLine, "TrayMessage, 0"});
    for (int remaining = 3, elapsed = 1; remaining >= 1; --remaining, ++elapsed) {
        Tick(story);
        ExpectSettings(story, 1, 30, remaining, 1);
        ExpectStatus(story, StatusOf(remaining));
        ExpectEq(::IsWindowVisible(story.main) != 0, remaining == 1,
                 "the window shown at " + std::to_string(remaining) + " minutes");
        ExpectNewLogLines(story, {"OnTimer elapsed=" + std::to_string(elapsed), "TrayMessage, 1"});
    }
    // The last minute: the program saves 0, shows the end and asks for the
    // log-off, which Wine carries out in a process of its own a moment later:
    // it asks every window of the session whether the session may end, tells
    // them it does and ends their programs. (A forced shutdown would ask no
    // window and end every program, this driver too.)
    const HWND status = Control(story.main, IDC_STATUS);
    Tick(story);
    if (const auto text = TextIfThere(status)) {
        ExpectEq(*text, kEndStatus, "the status at the end");
    } else {
        std::cout << "    (the end's status was gone before it could be read)\n";
    }
    Expect(story.program->WaitForExit(60s), "the session's end ends the program");
    Expect(watcher.WaitForExit(60s), "the session's end ends the other program");
    ExpectEq(ReadFileBytes(report), std::string("WM_QUERYENDSESSION 0 0\nWM_ENDSESSION 1 0\n"),
             "what the other program's window heard of the session's end");
    ExpectSettings(story, 1, 30, 0, 1);
    ExpectNewLogLines(story, {"OnTimer elapsed=4", "TrayMessage, 1"});
}

// --- The user named Password ---

void PasswordFileUnchanged(Story& story) {
    ExpectEq(ReadFileBytes(story.passwordPath), story.passwordFile, "the password file");
}

void StartsWithTheLogLockedAndThePasswordFileThere(Story& story) {
    ExpectEq(UserName(), std::string("Password"), "the Wine user");
    ExpectEq(story.settingsPath, WindowsDirectory() + "\\qm-[Password].dat",
             "the settings file's name");
    story.passwordFile = ReadFileBytes(story.passwordPath);
    Expect(!story.passwordFile.empty(), "the administrator's password file is there");
    story.logLinesChecked = LogTexts(story).size();
    AnotherProgramLocksTheLog(story);
}

// The start-up save fails: a directory takes the settings file's name. The
// message comes when the window hides, a second after the start, and is read
// for three seconds; the window does not come back when it is answered.
void StartUpSaveFailsAndTheWindowStillHides(Story& story) {
    Expect(::CreateDirectoryA(story.settingsPath.c_str(), nullptr) != 0,
           "a directory made in place of the settings file");
    const auto started = std::chrono::steady_clock::now();
    StartProgram(story);
    const auto shown = std::chrono::steady_clock::now();
    ExpectStatus(story, kDisabledStatus);
    WaitUntilHidden(story.main);
    ExpectHiddenAfterASecond(started, shown, std::chrono::steady_clock::now());
    const HWND box = WaitFor([&] { return FindMessageBox(story.main); }, 30s,
                             "the message box of the main window");
    ::Sleep(3000);
    Expect(::IsWindowVisible(box) != 0, "the message is still there after three seconds");
    Expect(!::IsWindowVisible(story.main), "the window stays hidden while the message is read");
    ExpectMessageBox(story.main, story.settingsPath + " - Can't open file for writing");
    ::Sleep(1500);
    Expect(!::IsWindowVisible(story.main), "the window stays hidden once the message is read");
    ExpectNewLogLines(story, {kStartLine, "TrayMessage, 0"});
    story.program->Terminate();
    Expect(::RemoveDirectoryA(story.settingsPath.c_str()) != 0, "the directory removed");
}

void PasswordUserStarts(Story& story) {
    StartAndSeeItHide(story, kDisabledStatus);
    ExpectSettings(story, 0, 120, 120, 1);
    ExpectNewLogLines(story, {kStartLine, "TrayMessage, 0"});
}

void EmptyPasswordIsRefusedTheAdministratorsOpens(Story& story) {
    PressIcon(story);
    LogIn(story, "");
    ExpectMessageBox(story.main, "Sorry, that password is incorrect");
    OpenAdministration(story, "Secret7");
    ExpectAdminFields(story, {"120", "120", false, true});
}

struct Step {
    const char* name;
    void (*run)(Story&);
};

const Step kSteps[] = {
    {"the program file asks for no execution level", NoExecutionLevelIsAsked},
    {"a new user's start: status shown on top, hidden a second later, settings and log written",
     NewUserStarts},
    {"another program locks every byte of the log, to the end of the run",
     AnotherProgramLocksTheLog},
    {"the icon's left-button press shows the window in front, other notifications do not",
     IconShowsTheWindow},
    {"Escape and Close hide the window and clear the password", EscapeAndCloseHide},
    {"a wrong password is refused with a message box", WrongPasswordIsRefused},
    {"the password in capitals opens the administration dialog filled from the settings",
     RightPasswordInCapitalsOpensAdministration},
    {"invalid entries are refused with their message, nothing is saved", InvalidEntriesAreRefused},
    {"the change-password dialog refuses, then saves the new password scrambled", ChangePassword},
    {"valid entries are saved and rationing starts", ValidEntriesAreSaved},
    {"minute ticks charge the balance, the warning at 5 brings the window to the front",
     MinuteTicksCountDown},
    {"the system menu's About entry opens the about box", AboutBox},
    {"Shutdown Quotamin: the reminder, the icon removed, the program gone", ShutdownQuotamin},
    {"the time runs out with log-off chosen: the session's programs end",
     TimeRunsOutAndTheSessionEnds},
};

const Step kPasswordUserSteps[] = {
    {"user Password, with the administrator's password file there and the log locked",
     StartsWithTheLogLockedAndThePasswordFileThere},
    {"a start-up save that fails: the window hidden on time, its message read for three seconds",
     StartUpSaveFailsAndTheWindowStillHides},
    {"user Password's start: status shown, hidden a second later, settings of its own written",
     PasswordUserStarts},
    {"the password file is unchanged", PasswordFileUnchanged},
    {"an empty password is refused, the administrator's opens the dialog for Password",
     EmptyPasswordIsRefusedTheAdministratorsOpens},
    {"valid entries are saved and rationing starts", ValidEntriesAreSaved},
    {"the password file is unchanged", PasswordFileUnchanged},
    {"minute ticks charge the balance, the warning at 5 brings the window to the front",
     MinuteTicksCountDown},
    {"the password file is unchanged", PasswordFileUnchanged},
    {"Shutdown Quotamin: the reminder, the icon removed, the program gone", ShutdownQuotamin},
    {"the next start finds Password's settings; the time runs out and the session ends",
     TimeRunsOutAndTheSessionEnds},
    {"the password file is unchanged", PasswordFileUnchanged},
};

}  // namespace
}  // namespace quotamin::e2e

int main(int argc, char** argv) {
    using namespace quotamin::e2e;
    const bool passwordUser = argc == 5 && std::string(argv[4]) == "password-user";
    if (argc != 4 && !passwordUser) {
        std::cerr << "usage: e2e_test <program.exe> <session_end_watcher.exe> <screenshot "
                     "directory> [password-user]\n";
        return 2;
    }
    Story story;
    story.arguments = {argv[1], argv[2], argv[3]};
    ::CreateDirectoryA(story.arguments.screenshots.c_str(), nullptr);
    if (passwordUser) {
        story.settingsPath = WindowsDirectory() + "\\qm-[" + UserName() + "].dat";
        story.screenshots = false;
    }
    int passed = 0, failed = 0;
    const auto steps =
        passwordUser ? std::span<const Step>(kPasswordUserSteps) : std::span<const Step>(kSteps);
    for (const Step& step : steps) {
        if (failed > 0) {
            std::cout << "not run: " << step.name << "\n";
            continue;
        }
        try {
            step.run(story);
            std::cout << "ok: " << step.name << std::endl;
            ++passed;
        } catch (const Failure& failure) {
            std::cout << "FAILED: " << step.name << "\n    " << failure.what() << std::endl;
            ++failed;
        }
    }
    std::cout << passed << " passed, " << failed << " failed\n";
    return failed == 0 ? 0 : 1;
}
