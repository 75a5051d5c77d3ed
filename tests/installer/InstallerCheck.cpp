// Checks of the installer's administrator password under Wine, run by
// installer/test.sh after it has installed the program:
//
//   installer_check bytes <password>            the password file holds what the program's
//                                               own store writes for <password>
//   installer_check login <program.exe> <password>
//                                               the program refuses the initial password and
//                                               accepts <password> in any letter case
//   installer_check page <setup.exe> <password> an install through the installer's pages:
//                                               the password page refuses what the
//                                               change-password dialog refuses, then takes
//                                               <password>
//   installer_check keep <setup.exe>            a reinstall through the pages keeps the
//                                               password file by default
//
// Exit code 0 when every check held; the first that fails is printed.

#include <windows.h>

#include <iostream>
#include <string>
#include <vector>

#include "core/NativeSystem.h"
#include "core/PasswordStore.h"
#include "tests/e2e/WindowDriver.h"

namespace quotamin::e2e {
namespace {

constexpr WPARAM kIconId = 128;
constexpr UINT kTrayNotify = WM_USER + 2;
constexpr int kPassword = 1009, kLogin = 1006;
constexpr int kNext = 1;

std::string PasswordPath() {
    return WindowsDirectory() + "\\" + PasswordStore::kFileName;
}

// The program's store, in a directory of its own instead of the Windows directory.
class SystemInDirectory : public NativeSystem {
  public:
    explicit SystemInDirectory(std::string directory) : m_directory(std::move(directory)) {}
    std::string WindowsDirectory() override { return m_directory; }

  private:
    std::string m_directory;
};

// The bytes the program's password store writes for `password`.
std::string StoredBytes(const std::string& password) {
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    const std::string directory =
        std::string(temp) + "quotamin-check-" + std::to_string(::GetCurrentProcessId());
    ::CreateDirectoryA(directory.c_str(), nullptr);
    SystemInDirectory system(directory);
    PasswordStore store(system);
    store.SetPassword(password);
    store.Save();
    const std::string bytes = ReadFileBytes(store.FilePath());
    ::DeleteFileA(store.FilePath().c_str());
    ::RemoveDirectoryA(directory.c_str());
    Expect(!bytes.empty(), "the program's store wrote " + store.FilePath());
    return bytes;
}

void ExpectPasswordFile(const std::string& password) {
    ExpectEq(ReadFileBytes(PasswordPath()), StoredBytes(password),
             "the bytes of " + PasswordPath());
}

enum class Case { kUpper, kLower, kSwapped };

// `text` in other letters, by the code page's case mapping.
std::string InCase(std::string text, Case wanted) {
    for (char& c : text) {
        char upper = c, lower = c;
        ::CharUpperBuffA(&upper, 1);
        ::CharLowerBuffA(&lower, 1);
        c = wanted == Case::kUpper   ? upper
            : wanted == Case::kLower ? lower
            : c == upper             ? lower
                                     : upper;
    }
    return text;
}

void Login(const std::string& program, const std::string& password) {
    Process running(program);
    const HWND main = WaitForDialog(running.Id(), "", 60s);
    WaitUntilHidden(main);
    Send(main, kTrayNotify, kIconId, WM_LBUTTONDOWN);
    struct Attempt {
        std::string typed;
        bool accepted;
    };
    const std::vector<Attempt> attempts = {
        {PasswordStore::kInitialPassword, false},
        {InCase(PasswordStore::kInitialPassword, Case::kUpper), false},
        {password, true},
        {InCase(password, Case::kUpper), true},
        {InCase(password, Case::kLower), true},
        {InCase(password, Case::kSwapped), true},
    };
    for (const Attempt& attempt : attempts) {
        std::cout << "  login with \"" << Printable(attempt.typed) << "\"\n";
        SetText(Control(main, kPassword), attempt.typed);
        Click(Control(main, kLogin));
        if (attempt.accepted) {
            const HWND admin = WaitForDialog(running.Id(), "Quotamin administration");
            Click(Control(admin, IDCANCEL));
            WaitFor([&] { return !::IsWindow(admin); }, 10s, "the administration dialog to close");
        } else {
            const MessageBoxSeen box = AnswerMessageBox(main);
            ExpectEq(box.text, std::string("Sorry, that password is incorrect"),
                     "the answer to \"" + attempt.typed + "\"");
            Expect(FindDialog(running.Id(), "Quotamin administration") == nullptr,
                   "no administration dialog for \"" + attempt.typed + "\"");
        }
    }
}

// The installer's controls on the page shown now, in the order it made them.
struct Page {
    std::vector<HWND> passwords;
    std::vector<HWND> checkBoxes;
    std::vector<std::string> labels;
};

BOOL CALLBACK CollectControl(HWND control, LPARAM context) {
    auto& page = *reinterpret_cast<Page*>(context);
    if (!::IsWindowVisible(control)) {
        return TRUE;
    }
    char kind[32] = {};
    ::GetClassNameA(control, kind, sizeof kind);
    const LONG style = ::GetWindowLongA(control, GWL_STYLE);
    if (std::string(kind) == "Edit" && (style & ES_PASSWORD) != 0) {
        page.passwords.push_back(control);
    } else if (std::string(kind) == "Button" && (style & BS_TYPEMASK) == BS_AUTOCHECKBOX) {
        page.checkBoxes.push_back(control);
    } else if (std::string(kind) == "Static") {
        page.labels.push_back(Text(control));
    }
    return TRUE;
}

Page PasswordPage(HWND installer) {
    Page page;
    ::EnumChildWindows(installer, CollectControl, reinterpret_cast<LPARAM>(&page));
    ExpectEq(page.passwords.size(), std::size_t{2}, "masked fields on the password page");
    for (const std::string label : {"New password", "Repeat new password"}) {
        bool found = false;
        for (const std::string& seen : page.labels) {
            found = found || seen == label;
        }
        Expect(found, "the password page shows \"" + label + "\"");
    }
    return page;
}

// What the installer's Next (Install, Close) button tells the installer when
// pressed. (Under Wine a click posted to the button itself is lost once the
// installation has finished.)
void PressNext(HWND installer) {
    Post(installer, WM_COMMAND, MAKEWPARAM(kNext, BN_CLICKED),
         reinterpret_cast<LPARAM>(Control(installer, kNext)));
}

// Starts the installer and goes on from its folder page to its password page.
HWND OpenPasswordPage(const Process& setup) {
    const HWND installer = WaitForDialog(setup.Id(), "Quotamin Setup: Installation Folder", 60s);
    PressNext(installer);
    WaitForDialog(setup.Id(), "Quotamin Setup: Administrator password");
    return installer;
}

void FinishInstall(const Process& setup, HWND installer) {
    PressNext(installer);
    const HWND next = Control(installer, kNext);
    WaitFor([&] { return ::IsWindowEnabled(next) && Text(next) == "&Close"; }, 60s,
            "the installation to finish");
    // For a few seconds after it shows Close, the installer lets a press go by.
    WaitFor(
        [&] {
            ::PostMessageA(installer, WM_COMMAND, MAKEWPARAM(kNext, BN_CLICKED),
                           reinterpret_cast<LPARAM>(next));
            return setup.WaitForExit(250ms);
        },
        30s, "the installer to end at Close");
    ExpectEq(setup.ExitCode(), DWORD{0}, "the installer's exit code");
}

void InstallThroughPage(const std::string& installerFile, const std::string& password) {
    Expect(!FileExists(PasswordPath()), "no password file before the install");
    Process setup(installerFile);
    const HWND installer = OpenPasswordPage(setup);
    const Page page = PasswordPage(installer);
    Expect(page.checkBoxes.empty(), "nothing to keep without a password file");
    struct Attempt {
        std::string newPassword, repeat, message;
    };
    const std::vector<Attempt> refused = {
        {password, password + "x", "The new password did not match the repeated new password"},
        {password, InCase(password, Case::kSwapped),
         "The new password did not match the repeated new password"},
        {"", "x", "The new password did not match the repeated new password"},
        {"", "", "The new password cannot be blank"},
    };
    for (const Attempt& attempt : refused) {
        SetText(page.passwords[0], attempt.newPassword);
        SetText(page.passwords[1], attempt.repeat);
        PressNext(installer);
        const MessageBoxSeen box = AnswerMessageBox(installer);
        ExpectEq(box.text, attempt.message,
                 "the answer to \"" + attempt.newPassword + "\" and \"" + attempt.repeat + "\"");
        Expect(FindDialog(setup.Id(), "Quotamin Setup: Administrator password") != nullptr,
               "the password page stays");
    }
    SetText(page.passwords[0], password);
    SetText(page.passwords[1], password);
    FinishInstall(setup, installer);
    ExpectPasswordFile(password);
}

void KeepThroughPage(const std::string& installerFile) {
    const std::string before = ReadFileBytes(PasswordPath());
    Expect(!before.empty(), "a password file before the install");
    Process setup(installerFile);
    const HWND installer = OpenPasswordPage(setup);
    const Page page = PasswordPage(installer);
    ExpectEq(page.checkBoxes.size(), std::size_t{1}, "check boxes on the password page");
    ExpectEq(Text(page.checkBoxes[0]),
             std::string("&Keep the administrator password already set on this computer"),
             "the check box");
    Expect(IsChecked(page.checkBoxes[0]), "keeping the password is the default");
    const auto expectFields = [&](bool enabled) {
        ExpectSoon([&] { return ::IsWindowEnabled(page.passwords[0]) != 0; }, enabled,
                   "the new password field enabled");
        ExpectSoon([&] { return ::IsWindowEnabled(page.passwords[1]) != 0; }, enabled,
                   "the repeated password field enabled");
    };
    expectFields(false);
    Click(page.checkBoxes[0]);
    expectFields(true);
    Click(page.checkBoxes[0]);
    expectFields(false);
    FinishInstall(setup, installer);
    ExpectEq(ReadFileBytes(PasswordPath()), before, "the password file after the install");
}

int Run(const std::vector<std::string>& arguments) {
    const std::string command = arguments.empty() ? "" : arguments[0];
    if (command == "bytes" && arguments.size() == 2) {
        ExpectPasswordFile(arguments[1]);
    } else if (command == "login" && arguments.size() == 3) {
        Login(arguments[1], arguments[2]);
    } else if (command == "page" && arguments.size() == 3) {
        InstallThroughPage(arguments[1], arguments[2]);
    } else if (command == "keep" && arguments.size() == 2) {
        KeepThroughPage(arguments[1]);
    } else {
        std::cerr << "usage: installer_check bytes <password> | login <program.exe> <password> |"
                     " page <setup.exe> <password> | keep <setup.exe>\n";
        return 2;
    }
    return 0;
}

}  // namespace
}  // namespace quotamin::e2e

int main(int argc, char** argv) {
    try {
        return quotamin::e2e::Run(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::exception& failure) {
        std::cout << "FAILED: " << failure.what() << std::endl;
        return 1;
    }
}
