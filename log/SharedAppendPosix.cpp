#include <fcntl.h>
#include <unistd.h>

#include "log/SharedAppend.h"

namespace quotamin {

bool AppendShared(const std::string& path, std::string_view bytes) {
    // O_APPEND moves to the end of the file and writes in one atomic step.
    const int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
    if (descriptor < 0) {
        return false;
    }
    const ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
    ::close(descriptor);
    return written == static_cast<ssize_t>(bytes.size());
}

}  // namespace quotamin
