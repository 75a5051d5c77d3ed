// Another program that holds a lock on the log, as any user who may read the
// file can: on every byte it has or may have ("all"), or on the one byte far
// beyond its end that the program's own writers lock ("append").
//
//   log_lock_holder <file> all|append <ready event> <release event>
//
// Sets the ready event once it holds the lock and lets go when the release
// event is set (or after a minute).

#include <string>

#include "os/Win32Handles.h"

int main(int argc, char** argv) {
    if (argc != 5) {
        return 2;
    }
    const quotamin::UniqueFileHandle file(
        ::CreateFileA(argv[1], GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                      OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return 3;
    }
    OVERLAPPED region{};
    DWORD lengthLow = MAXDWORD;
    DWORD lengthHigh = MAXDWORD;
    if (std::string(argv[2]) == "append") {
        region.OffsetHigh = 0x7FFFFFFF;
        lengthLow = 1;
        lengthHigh = 0;
    }
    if (!::LockFileEx(file.Get(), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, lengthLow,
                      lengthHigh, &region)) {
        return 4;
    }
    const quotamin::UniqueKernelObject ready(::OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[3]));
    const quotamin::UniqueKernelObject release(::OpenEventA(SYNCHRONIZE, FALSE, argv[4]));
    if (!ready || !release) {
        return 5;
    }
    ::SetEvent(ready.Get());
    ::WaitForSingleObject(release.Get(), 60000);
    ::UnlockFileEx(file.Get(), 0, lengthLow, lengthHigh, &region);
    return 0;
}
