#include "session/WindowsSessionTerminator.h"

#include <utility>

#include "os/UniqueHandle.h"

namespace quotamin {

namespace {

// A token of the process, closed through the calls that opened it.
struct TokenKind {
    using Value = KernelHandle;
    static Value None() { return KernelHandle{}; }
    void Close(Value token) const { calls->CloseHandle(token); }
    WindowsSessionCalls* calls = nullptr;
};

}  // namespace

WindowsSessionTerminator::WindowsSessionTerminator(std::unique_ptr<WindowsSessionCalls> calls)
    : m_calls(std::move(calls)) {}

bool WindowsSessionTerminator::LogOff() {
    // A log-off needs no privilege. The reason is all bits set, as the system's own
    // ExitWindows passes it.
    return m_calls->ExitWindowsEx(kEwxLogoff, 0xFFFFFFFF);
}

bool WindowsSessionTerminator::ForceShutdown() {
    if (!EnableShutdownPrivilege()) {
        return false;
    }
    // Shut down to the point where the computer can be switched off: never a restart,
    // never a power-off.
    return m_calls->ExitWindowsEx(kEwxShutdown | kEwxForce, 0);
}

// The privilege stays enabled afterwards; nothing needs it disabled again.
bool WindowsSessionTerminator::EnableShutdownPrivilege() {
    KernelHandle opened{};
    if (!m_calls->OpenProcessToken(m_calls->GetCurrentProcess(),
                                   kTokenAdjustPrivileges | kTokenQuery, &opened)) {
        return false;
    }
    // The token is not needed past the privilege test, so it is closed before the
    // shutdown request.
    const UniqueHandle<TokenKind> token(opened, TokenKind{m_calls.get()});

    SinglePrivilege privilege;
    // A failed lookup or adjustment shows in the last error below, so neither result
    // is tested on its own.
    m_calls->LookupPrivilegeValueA(nullptr, kShutdownPrivilegeName, &privilege.luid);
    privilege.privilegeCount = 1;
    privilege.attributes = kSePrivilegeEnabled;
    m_calls->AdjustTokenPrivileges(token.Get(), false, &privilege, 0, nullptr, nullptr);
    // An account without the privilege gets a successful adjustment that leaves
    // ERROR_NOT_ALL_ASSIGNED behind; only the last error tells.
    return m_calls->GetLastError() == 0;
}

}  // namespace quotamin
