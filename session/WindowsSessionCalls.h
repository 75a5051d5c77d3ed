#pragma once
// The handful of Windows calls that end a session, in plain integer types, so
// that the terminator's logic builds and can be driven everywhere. The Windows
// build has the real calls; tests put a recording stand-in in their place.

#include <cstdint>
#include <memory>

namespace quotamin {

// A kernel object handle, as the system hands it out.
enum class KernelHandle : std::uintptr_t {};

// A locally unique identifier, as the system's LUID.
struct Luid {
    std::uint32_t lowPart = 0;
    std::int32_t highPart = 0;
};

// The system's TOKEN_PRIVILEGES with room for exactly one entry.
struct SinglePrivilege {
    std::uint32_t privilegeCount = 0;
    Luid luid;
    std::uint32_t attributes = 0;
};

inline constexpr std::uint32_t kEwxLogoff = 0x00000000;
inline constexpr std::uint32_t kEwxShutdown = 0x00000001;
inline constexpr std::uint32_t kEwxForce = 0x00000004;
inline constexpr std::uint32_t kTokenQuery = 0x0008;
inline constexpr std::uint32_t kTokenAdjustPrivileges = 0x0020;
inline constexpr std::uint32_t kSePrivilegeEnabled = 0x00000002;
inline constexpr std::uint32_t kErrorNotAllAssigned = 1300;
inline constexpr const char* kShutdownPrivilegeName = "SeShutdownPrivilege";

class WindowsSessionCalls {
  public:
    virtual ~WindowsSessionCalls() = default;

    virtual KernelHandle GetCurrentProcess() = 0;
    virtual bool OpenProcessToken(KernelHandle process, std::uint32_t desiredAccess,
                                  KernelHandle* token) = 0;
    virtual bool LookupPrivilegeValueA(const char* systemName, const char* name, Luid* luid) = 0;
    virtual bool AdjustTokenPrivileges(KernelHandle token, bool disableAllPrivileges,
                                       const SinglePrivilege* newState, std::uint32_t bufferLength,
                                       SinglePrivilege* previousState,
                                       std::uint32_t* returnLength) = 0;
    virtual std::uint32_t GetLastError() = 0;
    virtual bool ExitWindowsEx(std::uint32_t flags, std::uint32_t reason) = 0;
    virtual bool CloseHandle(KernelHandle handle) = 0;
};

#ifdef _WIN32
// The system's own calls.
std::unique_ptr<WindowsSessionCalls> MakeWin32SessionCalls();
#endif

}  // namespace quotamin
