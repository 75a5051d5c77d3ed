// A whole write goes on after a write that the system cuts short or
// interrupts, and stops at the first that fails or takes nothing.

#include "os/WriteAll.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "os/FileDescriptor.h"

namespace quotamin {
namespace {

// What each call of write answers: bytes taken, or -1 with errno.
struct Answer {
    ssize_t result;
    int error = 0;
};

TEST(WriteAll, GoesOnAfterShortAndInterruptedWritesUntilAllIsWrittenOrOneFails) {
    struct Case {
        const char* name;
        std::vector<Answer> answers;  // then every call takes all it is given
        bool written;
        std::string reached;  // what the file got
    };
    const Case cases[] = {
        {"one write", {}, true, "0123456789"},
        {"cut short twice", {{4}, {1}}, true, "0123456789"},
        {"interrupted before and after a short write",
         {{-1, EINTR}, {3}, {-1, EINTR}},
         true,
         "0123456789"},
        {"full disk after a short write", {{6}, {-1, ENOSPC}}, false, "012345"},
        {"a write that takes nothing", {{2}, {0}}, false, "01"},
    };
    for (const Case& c : cases) {
        std::string file;
        std::size_t call = 0;
        const auto write = [&](const char* data, std::size_t size) -> ssize_t {
            const Answer answer =
                call < c.answers.size() ? c.answers[call] : Answer{static_cast<ssize_t>(size)};
            ++call;
            if (answer.result < 0) {
                errno = answer.error;
                return -1;
            }
            file.append(data, static_cast<std::size_t>(answer.result));
            return answer.result;
        };
        EXPECT_EQ(WriteAllWith(write, "0123456789"), c.written) << c.name;
        EXPECT_EQ(file, c.reached) << c.name;
    }
}

TEST(WriteAll, WritesToADescriptor) {
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    const UniqueFd reader(ends[0]);
    {
        const UniqueFd writer(ends[1]);
        EXPECT_TRUE(WriteAll(writer.Get(), "a line\r\n"));
    }
    char buffer[16] = {};
    EXPECT_EQ(::read(reader.Get(), buffer, sizeof buffer), 8);
    EXPECT_STREQ(buffer, "a line\r\n");
    EXPECT_FALSE(WriteAll(-1, "x"));
    EXPECT_EQ(errno, EBADF);
}

}  // namespace
}  // namespace quotamin
