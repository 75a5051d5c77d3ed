#include "tests/reliability/ChildProcess.h"

#include <sys/wait.h>
#include <unistd.h>

#include <exception>
#include <stdexcept>

#include "os/FileDescriptor.h"
#include "os/WriteAll.h"

namespace quotamin::testing {

bool ChildResult::ExitedNormally() const {
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

ChildResult RunInChild(const std::function<std::string()>& body) {
    int ends[2];
    if (::pipe(ends) != 0) {
        throw std::runtime_error("pipe failed");
    }
    UniqueFd reader(ends[0]);
    UniqueFd writer(ends[1]);
    const pid_t child = ::fork();
    if (child < 0) {
        throw std::runtime_error("fork failed");
    }
    if (child == 0) {
        reader.Reset();
        std::string output;
        try {
            output = body();
        } catch (const std::exception& error) {
            output = std::string("threw: ") + error.what();
        }
        WriteAll(writer.Get(), output);
        ::_exit(0);
    }
    writer.Reset();
    ChildResult result;
    char buffer[4096];
    ssize_t got = 0;
    while ((got = ::read(reader.Get(), buffer, sizeof buffer)) > 0) {
        result.output.append(buffer, static_cast<std::size_t>(got));
    }
    ::waitpid(child, &result.status, 0);
    return result;
}

}  // namespace quotamin::testing
