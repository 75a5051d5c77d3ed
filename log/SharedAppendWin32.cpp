#include <chrono>

#include "log/SharedAppend.h"
#include "os/Win32Handles.h"

namespace quotamin {

namespace {

// Writers of the log agree on a lock of one byte far beyond any real end of
// the file, so that moving to the end and writing there is one step for each
// line even where the system does not make appends atomic. Nobody's data lies
// there, so readers and other writers of the file are not held up.
constexpr DWORD kLockOffsetHigh = 0x7FFFFFFF;

// Another copy of the program holds the lock for the moment of one write. A
// line does not wait longer than the patience for it: whoever holds it then
// is not writing a line or is held up, and the line goes out without the lock:
// the log keeps its trace, and the write goes to the end of the file as it is
// at that moment, which Windows' own file systems do in one step.
class AppendLock {
  public:
    AppendLock(HANDLE file, std::chrono::milliseconds patience) : m_file(file) {
        m_region.OffsetHigh = kLockOffsetHigh;
        const auto deadline = std::chrono::steady_clock::now() + patience;
        while (!(m_locked = TryLock()) && std::chrono::steady_clock::now() < deadline) {
            ::SwitchToThread();
        }
    }
    AppendLock(const AppendLock&) = delete;
    AppendLock& operator=(const AppendLock&) = delete;
    ~AppendLock() {
        if (m_locked) {
            ::UnlockFileEx(m_file, 0, 1, 0, &m_region);
        }
    }

  private:
    bool TryLock() {
        return ::LockFileEx(m_file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                            &m_region) != 0;
    }

    HANDLE m_file;
    OVERLAPPED m_region{};
    bool m_locked = false;
};

}  // namespace

bool AppendShared(const std::string& path, std::string_view bytes,
                  std::chrono::milliseconds lockPatience) {
    const UniqueFileHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE,
                                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return false;
    }
    DWORD written = 0;
    BOOL ok = FALSE;
    // Only a file on a disk: a pipe or a device could make the write wait.
    if (::GetFileType(file.Get()) == FILE_TYPE_DISK) {
        AppendLock lock(file.Get(), lockPatience);
        // At the end of the file as it is at the moment of the write. A range
        // another process has locked refuses the write at once instead of
        // waiting; the line is then lost.
        OVERLAPPED atTheEnd{};
        atTheEnd.Offset = MAXDWORD;
        atTheEnd.OffsetHigh = MAXDWORD;
        ok = ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                         &atTheEnd);
    }
    return ok && written == bytes.size();
}

}  // namespace quotamin
