#pragma once
// Appends bytes to a file that other processes may be writing at the same
// time: the file is opened shared, created when missing, never truncated, and
// the bytes go out in one write placed at the end of the file at that moment.

#include <string>
#include <string_view>

namespace quotamin {

// False when the file could not be opened or the bytes not all written.
bool AppendShared(const std::string& path, std::string_view bytes);

}  // namespace quotamin
