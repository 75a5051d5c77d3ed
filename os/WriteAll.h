#pragma once
// Writes the whole of a buffer to a POSIX file descriptor. A write may take
// fewer bytes than it was given (a signal, a pipe's room, a file size limit
// reached half way) or be interrupted before it takes any: the rest goes out
// in the next write, until every byte is written or a write fails.

#include <unistd.h>

#include <cerrno>
#include <string_view>

namespace quotamin {

// `write` is called as write(data, size) and answers as ::write does.
template <typename Write>
bool WriteAllWith(Write&& write, std::string_view bytes) {
    while (!bytes.empty()) {
        const auto written = write(bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// False when a write fails; errno then says why.
inline bool WriteAll(int descriptor, std::string_view bytes) {
    return WriteAllWith([descriptor](const char* data,
                                     std::size_t size) { return ::write(descriptor, data, size); },
                        bytes);
}

}  // namespace quotamin
