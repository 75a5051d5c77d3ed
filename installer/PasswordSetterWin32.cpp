// Saves the administrator password for the whole computer, for the installer.
// The installer runs with administrator rights, so this is the one file in the
// real Windows directory that every user's session reads (until a session
// writes a password of its own). It is saved by the program's own password
// store: the same bytes, and the same replacement in one step, as a change of
// password in the program.
//
// The installer hands the new password over in the environment variable
// QUOTAMIN_NEW_PASSWORD, as UTF-16 text; it is converted to the ANSI code page
// the way the program converts text. Not on the command line: any user may
// read another process's command line, but not an administrator's environment.
//
//   password_setter
//
// Prints the path of the file it saved, or why it could not; exit code 0 when
// saved, 1 when the file could not be written, 2 when the password is blank.

#include <windows.h>

#include <cstdio>
#include <exception>
#include <string>

#include "core/NativeSystem.h"
#include "core/PasswordStore.h"

namespace {

constexpr const wchar_t* kVariable = L"QUOTAMIN_NEW_PASSWORD";
constexpr int kSaved = 0;
constexpr int kNotSaved = 1;
constexpr int kBlank = 2;

// The variable's text; empty when it is not set.
std::u16string NewPassword() {
    const DWORD size = ::GetEnvironmentVariableW(kVariable, nullptr, 0);
    if (size == 0) {
        return {};
    }
    std::wstring text(size, L'\0');
    text.resize(::GetEnvironmentVariableW(kVariable, text.data(), size));
    return {text.begin(), text.end()};
}

}  // namespace

int main() {
    quotamin::NativeSystem system;
    const std::string password = system.FromUtf16(NewPassword());
    if (password.empty()) {
        std::puts("The new password cannot be blank");
        return kBlank;
    }
    quotamin::PasswordStore store(system);
    store.SetPassword(password);
    try {
        store.Save();
    } catch (const std::exception& error) {
        std::puts(error.what());
        return kNotSaved;
    }
    std::puts(store.FilePath().c_str());
    return kSaved;
}
