// The program file as built, on a real Win32 implementation, driven from
// outside through its windows and the messages the shell and the timers send,
// and checked on the real files it keeps. One story in a table of steps, each
// building on the ones before; the first step that fails ends the run.
//
//   e2e_test <program.exe> <bystander.exe> <screenshot directory>
//
// Runs in a Windows installation of its own (a fresh Wine prefix): it expects
// no settings, no password file and no log before it starts.

#include <windows.h>

#include <cstdint>
#include <ctime>
#include <functional>
#include <iostream>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "core/PasswordCipher.h"
#include "tests/e2e/WindowDriver.h"

namespace quotamin::e2e {
namespace {

constexpr UINT kTrayNotify = WM_USER + 2;
constexpr WPARAM kIconId = 128;
constexpr UINT_PTR kMinuteTimer = 1;
constexpr WPARAM kAboutCommand = 16;

// Controls of the main window, the administration and the change-password dialogs.
constexpr int kPassword = 1009, kStatus = 1034, kLogin = 1006, kClose = 1007;
constexpr int kLogoff = 1001, kShutdownRadio = 1002, kAllowed = 1003, kRemaining = 1004;
constexpr int kEnable = 1005, kShutdownProgram = 1006, kChangePassword = 1010, kUser = 1028;
constexpr int kOldPassword = 1024, kNewPassword = 1025, kRepeatPassword = 1026;

const std::string kCaption = "diduvavi";
const std::string kStartLine = "==================== OnInitDialog ======================";

struct Arguments {
    std::string program;
    std::string bystander;
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
};

int Today() {
    const std::time_t now = std::time(nullptr);
    return std::localtime(&now)->tm_mday;
}

// The settings file as the program writes it: five little-endian 32-bit
// numbers, enabled, allowed, remaining, log-off, and today's day of the month.
std::string SettingsBytes(int enabled, int allowed, int remaining, int logoff) {
    std::string bytes;
    for (const std::int32_t value : {enabled, allowed, remaining, logoff, Today()}) {
        for (int shift = 0; shift < 32; shift += 8) {
            bytes += static_cast<char>((static_cast<std::uint32_t>(value) >> shift) & 0xFF);
        }
    }
    return bytes;
}

void ExpectSettings(const Story& story, int enabled, int allowed, int remaining, int logoff) {
    ExpectSoon([&] { return ReadFileBytes(story.settingsPath); },
               SettingsBytes(enabled, allowed, remaining, logoff),
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
    ExpectSoon([&] { return Text(Control(story.main, kStatus)); }, expected, "the status");
}

std::string StatusOf(int remaining) {
    const std::string minutes = std::to_string(remaining);
    if (remaining == 5) {
        return "\r\nWARNING!!! You have just 5 minutes remaining before you will be logged off";
    }
    if (remaining == 1) {
        return "\r\nPANIC!!! You have only 1 minutes remaining - please log off now";
    }
    return "\r\nYou still have " + minutes + " minutes remaining before you will be logged off";
}

void ExpectInFront(const Story& story) {
    Expect(::IsWindowVisible(story.main), "the main window is shown");
    WaitFor([&] { return ::GetForegroundWindow() == story.main; }, 5s,
            "the main window to come to the front");
}

// A left-button press on the notification-area icon, as the shell reports it.
void PressIcon(Story& story) {
    ExpectEq(Send(story.main, kTrayNotify, kIconId, WM_LBUTTONDOWN), LRESULT{1},
             "the answer to the icon's left-button press");
    ExpectInFront(story);
}

void Hide(Story& story) {
    Click(Control(story.main, kClose));
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
    SetText(Control(story.main, kPassword), password);
    Click(Control(story.main, kLogin));
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
    ExpectSoon(text(kUser), UserName(), "the user name");
    ExpectSoon(text(kAllowed), fields.allowed, "minutes allowed");
    ExpectSoon(text(kRemaining), fields.remaining, "minutes remaining");
    ExpectSoon(checked(kEnable), fields.enabled, "the enable box");
    ExpectSoon(checked(kLogoff), fields.logoff, "the log-off button");
    ExpectSoon(checked(kShutdownRadio), !fields.logoff, "the shutdown button");
}

void Screenshot(const Story& story, HWND window, const std::string& name) {
    SaveScreenshot(window, story.arguments.screenshots + "\\" + name + ".bmp");
}

void NewUserStarts(Story& story) {
    Expect(!FileExists(story.settingsPath) && !FileExists(story.passwordPath) &&
               !FileExists(story.logPath),
           "a fresh installation: no settings, no password file, no log");
    const auto started = std::chrono::steady_clock::now();
    StartProgram(story);
    const auto shown = std::chrono::steady_clock::now();
    ExpectStatus(story, "\r\nQuota-min is disabled.");
    Expect((::GetWindowLongA(story.main, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0,
           "the main window is topmost");
    WaitUntilHidden(story.main);
    const auto hidden = std::chrono::steady_clock::now();
    Expect(hidden - started > 950ms && hidden - shown < 5s,
           "the window hides a second after start-up, not " +
               std::to_string((hidden - shown) / 1ms) + " ms after it was seen");
    ExpectSettings(story, 0, 120, 120, 1);
    ExpectNewLogLines(story, {kStartLine, "TrayMessage, 0"});
}

void IconShowsTheWindow(Story& story) {
    for (const LPARAM other : {WM_RBUTTONDOWN, WM_LBUTTONUP, WM_MOUSEMOVE, WM_LBUTTONDBLCLK}) {
        Send(story.main, kTrayNotify, kIconId, other);
    }
    Send(story.main, kTrayNotify, kIconId + 1, WM_LBUTTONDOWN);
    Expect(!::IsWindowVisible(story.main), "other notifications leave the window hidden");
    PressIcon(story);
    ExpectStatus(story, "\r\nQuota-min is disabled.");
}

void EscapeAndCloseHide(Story& story) {
    const std::vector<std::pair<std::string, std::function<void()>>> ways = {
        {"Escape", [&] { PressKey(Control(story.main, kPassword), VK_ESCAPE); }},
        {"Close", [&] { Click(Control(story.main, kClose)); }},
    };
    for (const auto& [name, hide] : ways) {
        if (!::IsWindowVisible(story.main)) {
            PressIcon(story);
        }
        SetText(Control(story.main, kPassword), "half typed");
        hide();
        WaitUntilHidden(story.main);
        ExpectEq(Text(Control(story.main, kPassword)), std::string(),
                 "the password box after " + name);
    }
}

void WrongPasswordIsRefused(Story& story) {
    PressIcon(story);
    LogIn(story, "quiltbag");
    ExpectMessageBox(story.main, "Sorry, that password is incorrect");
    ExpectEq(Text(Control(story.main, kPassword)), std::string("quiltbag"),
             "the password box keeps what was typed");
    Expect(FindDialog(story.program->Id(), "Quotamin administration") == nullptr,
           "no administration dialog");
}

void RightPasswordInCapitalsOpensAdministration(Story& story) {
    OpenAdministration(story, "QUILTBAY");
    ExpectEq(Text(Control(story.main, kPassword)), std::string(), "the password box");
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
        SetText(Control(story.admin, kAllowed), entry.allowed);
        SetText(Control(story.admin, kRemaining), entry.remaining);
        Click(Control(story.admin, IDOK));
        ExpectMessageBox(story.admin, entry.message);
        Expect(::IsWindowVisible(story.admin), "the dialog stays open");
        ExpectEq(Text(Control(story.admin, kAllowed)), entry.allowed, "the allowed entry");
        ExpectEq(Text(Control(story.admin, kRemaining)), entry.remaining, "the remaining entry");
    }
    ExpectSettings(story, 0, 120, 120, 1);
}

void ChangePassword(Story& story) {
    Click(Control(story.admin, kChangePassword));
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
        SetText(Control(dialog, kOldPassword), attempt.oldPassword);
        SetText(Control(dialog, kNewPassword), attempt.newPassword);
        SetText(Control(dialog, kRepeatPassword), attempt.repeat);
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
    ExpectEq(Text(Control(story.admin, kAllowed)), std::string("12abc"),
             "the administration dialog's entries after the change");
}

void ValidEntriesAreSaved(Story& story) {
    SetText(Control(story.admin, kAllowed), "30");
    SetText(Control(story.admin, kRemaining), "6");
    Click(Control(story.admin, kShutdownRadio));
    Click(Control(story.admin, kLogoff));
    Click(Control(story.admin, kEnable));
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
    Post(story.main, WM_SYSCOMMAND, kAboutCommand, 0);
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
    SetText(Control(story.admin, kAllowed), "99");
    Click(Control(story.admin, kShutdownProgram));
    WaitFor([&] { return !::IsWindow(story.admin); }, 10s, "the administration dialog to close");
    ExpectMessageBox(story.main,
                     "Remember to restart Quotamin if you want to ration this session.");
    Expect(story.program->WaitForExit(30s), "the program ends");
    ExpectEq(story.program->ExitCode(), DWORD{0}, "the program's exit code");
    ExpectSettings(story, 1, 30, 4, 1);
    ExpectNewLogLines(story, {"TrayMessage, 1", "TrayMessage, 2"});
}

void TimeRunsOutAndTheSessionEnds(Story& story) {
    const std::string report = story.arguments.screenshots + "\\..\\bystander.txt";
    Process bystander(story.arguments.bystander, "\"" + report + "\"");
    WaitFor([] { return ::FindWindowA("QuotaminBystander", "Quotamin bystander"); }, 30s,
            "the other program's window");

    StartProgram(story);
    ExpectStatus(story, StatusOf(4));
    WaitUntilHidden(story.main);
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
    const HWND status = Control(story.main, kStatus);
    Tick(story);
    if (const auto text = TextIfThere(status)) {
        ExpectEq(*text, std::string("\r\nSorry, no more time left - logging off right now"),
                 "the status at the end");
    } else {
        std::cout << "    (the end's status was gone before it could be read)\n";
    }
    Expect(story.program->WaitForExit(60s), "the session's end ends the program");
    Expect(bystander.WaitForExit(60s), "the session's end ends the other program");
    ExpectEq(ReadFileBytes(report), std::string("WM_QUERYENDSESSION 0 0\nWM_ENDSESSION 1 0\n"),
             "what the other program's window heard of the session's end");
    ExpectSettings(story, 1, 30, 0, 1);
    ExpectNewLogLines(story, {"OnTimer elapsed=4", "TrayMessage, 1"});
}

struct Step {
    const char* name;
    void (*run)(Story&);
};

const Step kSteps[] = {
    {"a new user's start: status shown on top, hidden a second later, settings and log written",
     NewUserStarts},
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

}  // namespace
}  // namespace quotamin::e2e

int main(int argc, char** argv) {
    using namespace quotamin::e2e;
    if (argc != 4) {
        std::cerr << "usage: e2e_test <program.exe> <bystander.exe> <screenshot directory>\n";
        return 2;
    }
    Story story;
    story.arguments = {argv[1], argv[2], argv[3]};
    ::CreateDirectoryA(story.arguments.screenshots.c_str(), nullptr);
    int passed = 0, failed = 0;
    for (const Step& step : kSteps) {
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
