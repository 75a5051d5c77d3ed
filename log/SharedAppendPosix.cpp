#include <fcntl.h>
#include <sys/stat.h>

#include "log/SharedAppend.h"
#include "os/FileDescriptor.h"
#include "os/WriteAll.h"

namespace quotamin {

bool AppendShared(const std::string& path, std::string_view bytes, std::chrono::milliseconds) {
    // Nothing here may wait on anybody else: O_NONBLOCK makes an open that a
    // lease holder would hold up, or one of a FIFO nobody reads, fail at once,
    // and a write that a mandatory lock would hold up fail too. Advisory
    // locks (fcntl, flock) are not taken and do not stop the write. O_APPEND
    // moves to the end of the file and writes in one atomic step; a write cut
    // short or interrupted goes on at the end with the rest of the line.
    const UniqueFd file(::open(
        path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666));
    struct stat status {};
    return file && ::fstat(file.Get(), &status) == 0 && S_ISREG(status.st_mode) &&
           WriteAll(file.Get(), bytes);
}

}  // namespace quotamin
