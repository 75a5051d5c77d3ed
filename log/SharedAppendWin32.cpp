#include <windows.h>

#include "log/SharedAppend.h"

namespace quotamin {

namespace {

// Writers of the log agree on a lock of one byte far beyond any real end of
// the file, so that moving to the end and writing there is one step for each
// line even where the system does not make appends atomic. Nobody's data lies
// there, so readers and other writers of the file are not held up.
constexpr DWORD kLockOffsetHigh = 0x7FFFFFFF;

class AppendLock {
public:
    explicit AppendLock(HANDLE file) : m_file(file) {
        m_region.OffsetHigh = kLockOffsetHigh;
        m_locked = ::LockFileEx(m_file, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &m_region) != 0;
    }
    AppendLock(const AppendLock&) = delete;
    AppendLock& operator=(const AppendLock&) = delete;
    ~AppendLock() {
        if (m_locked) {
            ::UnlockFileEx(m_file, 0, 1, 0, &m_region);
        }
    }

private:
    HANDLE m_file;
    OVERLAPPED m_region{};
    bool m_locked = false;
};

}  // namespace

bool AppendShared(const std::string& path, std::string_view bytes) {
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    BOOL ok = FALSE;
    {
        AppendLock lock(file);
        LARGE_INTEGER end{};
        ok = ::SetFilePointerEx(file, end, nullptr, FILE_END) &&
             ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    }
    ::CloseHandle(file);
    return ok && written == bytes.size();
}

}  // namespace quotamin
