#pragma once
// Appends bytes to a file that other processes may be writing at the same
// time: the file is opened shared, created when missing, never truncated, and
// the bytes go out in one write placed at the end of the file at that moment
// (a write the system cuts short or interrupts is followed by one with the
// rest, again at the end).
// Nothing here waits on another process for longer than `lockPatience`.

#include <chrono>
#include <string>
#include <string_view>

namespace quotamin {

// On Windows the writers of a file take a lock for the moment of one append;
// a line waits this long at most for another writer's, then goes out
// without it. Other systems append atomically and take no lock.
inline constexpr std::chrono::milliseconds kAppendLockPatience{5};

// False when the file could not be opened or the bytes not all written.
bool AppendShared(const std::string& path, std::string_view bytes,
                  std::chrono::milliseconds lockPatience = kAppendLockPatience);

}  // namespace quotamin
