#pragma once
// Runs a piece of a test in a forked child, so that it can be killed, limited
// or stripped of its privileges without touching the test program itself.

#include <functional>
#include <string>

namespace quotamin::testing {

struct ChildResult {
    // What the child's body returned, or the text of what it threw.
    std::string output;
    // The child's status as waitpid gives it.
    int status = 0;

    bool ExitedNormally() const;
};

// Forks, runs `body` in the child and hands its result back through a pipe.
// The child leaves with _exit, so nothing of the parent's is torn down twice.
ChildResult RunInChild(const std::function<std::string()>& body);

}  // namespace quotamin::testing
