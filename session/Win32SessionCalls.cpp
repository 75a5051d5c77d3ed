// The Windows calls behind the session terminator.

#include <windows.h>

#include "os/HandleCast.h"
#include "session/WindowsSessionCalls.h"
#include "session/WindowsSessionTerminator.h"

namespace quotamin {

namespace {

HANDLE ToWin32(KernelHandle handle) {
    return HandleCast<HANDLE>(handle);
}

KernelHandle FromWin32(HANDLE handle) {
    return HandleCast<KernelHandle>(handle);
}

class Win32SessionCalls final : public WindowsSessionCalls {
  public:
    KernelHandle GetCurrentProcess() override { return FromWin32(::GetCurrentProcess()); }

    bool OpenProcessToken(KernelHandle process, std::uint32_t desiredAccess,
                          KernelHandle* token) override {
        HANDLE opened = nullptr;
        const BOOL ok = ::OpenProcessToken(ToWin32(process), desiredAccess, &opened);
        *token = FromWin32(opened);
        return ok != FALSE;
    }

    bool LookupPrivilegeValueA(const char* systemName, const char* name, Luid* luid) override {
        LUID found{};
        const BOOL ok = ::LookupPrivilegeValueA(systemName, name, &found);
        luid->lowPart = found.LowPart;
        luid->highPart = found.HighPart;
        return ok != FALSE;
    }

    bool AdjustTokenPrivileges(KernelHandle token, bool disableAllPrivileges,
                               const SinglePrivilege* newState, std::uint32_t bufferLength,
                               SinglePrivilege* previousState,
                               std::uint32_t* returnLength) override {
        TOKEN_PRIVILEGES state = ToTokenPrivileges(*newState);
        TOKEN_PRIVILEGES previous{};
        DWORD length = 0;
        const BOOL ok =
            ::AdjustTokenPrivileges(ToWin32(token), disableAllPrivileges ? TRUE : FALSE, &state,
                                    bufferLength, previousState != nullptr ? &previous : nullptr,
                                    returnLength != nullptr ? &length : nullptr);
        if (previousState != nullptr) {
            *previousState = FromTokenPrivileges(previous);
        }
        if (returnLength != nullptr) {
            *returnLength = length;
        }
        return ok != FALSE;
    }

    std::uint32_t GetLastError() override { return ::GetLastError(); }

    bool ExitWindowsEx(std::uint32_t flags, std::uint32_t reason) override {
        return ::ExitWindowsEx(flags, reason) != FALSE;
    }

    bool CloseHandle(KernelHandle handle) override {
        return ::CloseHandle(ToWin32(handle)) != FALSE;
    }

  private:
    static TOKEN_PRIVILEGES ToTokenPrivileges(const SinglePrivilege& privilege) {
        TOKEN_PRIVILEGES state{};
        state.PrivilegeCount = privilege.privilegeCount;
        state.Privileges[0].Luid.LowPart = privilege.luid.lowPart;
        state.Privileges[0].Luid.HighPart = privilege.luid.highPart;
        state.Privileges[0].Attributes = privilege.attributes;
        return state;
    }

    static SinglePrivilege FromTokenPrivileges(const TOKEN_PRIVILEGES& state) {
        SinglePrivilege privilege;
        privilege.privilegeCount = state.PrivilegeCount;
        privilege.luid.lowPart = state.Privileges[0].Luid.LowPart;
        privilege.luid.highPart = state.Privileges[0].Luid.HighPart;
        privilege.attributes = state.Privileges[0].Attributes;
        return privilege;
    }
};

}  // namespace

std::unique_ptr<WindowsSessionCalls> MakeWin32SessionCalls() {
    return std::make_unique<Win32SessionCalls>();
}

std::unique_ptr<SessionTerminator> MakeNativeSessionTerminator() {
    return std::make_unique<WindowsSessionTerminator>(MakeWin32SessionCalls());
}

}  // namespace quotamin
