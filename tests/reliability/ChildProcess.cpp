#include "tests/reliability/ChildProcess.h"

#include <sys/wait.h>
#include <unistd.h>

#include <exception>
#include <stdexcept>

namespace quotamin::testing {

namespace {

void WriteAll(int descriptor, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
        if (written <= 0) {
            return;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

}  // namespace

bool ChildResult::ExitedNormally() const {
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

ChildResult RunInChild(const std::function<std::string()>& body) {
    int ends[2];
    if (::pipe(ends) != 0) {
        throw std::runtime_error("pipe failed");
    }
    const pid_t child = ::fork();
    if (child < 0) {
        throw std::runtime_error("fork failed");
    }
    if (child == 0) {
        ::close(ends[0]);
        std::string output;
        try {
            output = body();
        } catch (const std::exception& error) {
            output = std::string("threw: ") + error.what();
        }
        WriteAll(ends[1], output);
        ::_exit(0);
    }
    ::close(ends[1]);
    ChildResult result;
    char buffer[4096];
    ssize_t got = 0;
    while ((got = ::read(ends[0], buffer, sizeof buffer)) > 0) {
        result.output.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(ends[0]);
    ::waitpid(child, &result.status, 0);
    return result;
}

}  // namespace quotamin::testing
