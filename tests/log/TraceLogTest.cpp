#include "log/TraceLog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <thread>
#include <vector>

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "tests/support/TestSystem.h"

namespace quotamin {
namespace {

using testing::ReadBytes;
using testing::TempDirectory;
using testing::WriteBytes;

std::tm Time(int year, int month, int day, int hour, int minute, int second) {
    std::tm time{};
    time.tm_year = year - 1900;
    time.tm_mon = month - 1;
    time.tm_mday = day;
    time.tm_hour = hour;
    time.tm_min = minute;
    time.tm_sec = second;
    return time;
}

TEST(TraceLogStampTest, TwoDigitFieldsWithLeadingZeros) {
    struct Case {
        std::tm time;
        const char* stamp;
    } cases[] = {
        {Time(2010, 1, 1, 0, 0, 7), "01/01/10 00:00:07"},
        {Time(2005, 3, 7, 9, 5, 3), "03/07/05 09:05:03"},
        {Time(1999, 12, 31, 23, 59, 59), "12/31/99 23:59:59"},
        {Time(2000, 10, 9, 13, 4, 0), "10/09/00 13:04:00"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TraceLog::FormatStamp(c.time), c.stamp);
        EXPECT_EQ(std::string(c.stamp).size(), 17u);
    }
}

class TraceLogTest : public ::testing::Test {
  protected:
    TraceLog LogAt(std::tm time) {
        return TraceLog(path, [time] { return std::optional<std::tm>(time); });
    }

    TempDirectory directory;
    std::string path = directory.File("quotamin.log");
};

TEST_F(TraceLogTest, LinesAreStampedAndAppendedAfterWhatIsThere) {
    WriteBytes(path, "earlier run\r\n");
    TraceLog log = LogAt(Time(2010, 1, 1, 0, 0, 7));
    log.BeginLine() << "OnTimer elapsed=" << std::int32_t{1};
    log.EndLine();
    log.BeginLine() << "TrayMessage, " << std::uint32_t{4000000000u};
    log.EndLine();
    EXPECT_EQ(ReadBytes(path),
              "earlier run\r\n"
              "01/01/10 00:00:07: OnTimer elapsed=1\r\n"
              "01/01/10 00:00:07: TrayMessage, 4000000000\r\n");
}

TEST_F(TraceLogTest, FirstLineCreatesTheFileWithNoHeader) {
    TraceLog log = LogAt(Time(2026, 12, 11, 9, 30, 0));
    log.BeginLine() << "==================== OnInitDialog ======================";
    log.EndLine();
    EXPECT_EQ(ReadBytes(path),
              "12/11/26 09:30:00: ==================== OnInitDialog ======================\r\n");
}

TEST_F(TraceLogTest, ClockWithoutALocalDateGivesAnEmptyStamp) {
    TraceLog log(path, [] { return std::optional<std::tm>(); });
    log.BeginLine() << "TrayMessage, " << 0u;
    log.EndLine();
    EXPECT_EQ(ReadBytes(path), ": TrayMessage, 0\r\n");
}

TEST_F(TraceLogTest, EndLineWithNoLineOpenDoesNothing) {
    TraceLog log = LogAt(Time(2010, 1, 1, 0, 0, 7));
    log.EndLine();
    log.BeginLine() << "once";
    log.EndLine();
    log.EndLine();
    EXPECT_EQ(ReadBytes(path), "01/01/10 00:00:07: once\r\n");
}

TEST_F(TraceLogTest, LineFeedInTheTextGetsItsCarriageReturn) {
    TraceLog log = LogAt(Time(2010, 1, 1, 0, 0, 7));
    log.BeginLine() << "two\nparts";
    log.EndLine();
    EXPECT_EQ(ReadBytes(path), "01/01/10 00:00:07: two\r\nparts\r\n");
}

TEST_F(TraceLogTest, UnwritablePlaceIsSilent) {
    const std::string nowhere = directory.File("missing") + "/quotamin.log";
    TraceLog log(nowhere, TraceLog::LocalClock);
    EXPECT_NO_THROW({
        log.BeginLine() << "lost";
        log.EndLine();
    });
    EXPECT_FALSE(std::filesystem::exists(nowhere));
}

// Several writers at once, each with its own handle on the file, as the
// program's copies in different sessions are: every line arrives whole.
TEST_F(TraceLogTest, ConcurrentWritersLeaveOnlyWholeLines) {
    constexpr int kWriters = 6;
    constexpr int kLines = 300;
    auto write = [this](int writer) {
        TraceLog log = LogAt(Time(2010, 1, 1, 0, 0, 7));
        for (int line = 0; line < kLines; ++line) {
            log.BeginLine() << "writer " << writer << " line " << line << ' '
                            << std::string(static_cast<std::size_t>(40 + line % 50), 'x');
            log.EndLine();
        }
    };
#ifdef _WIN32
    std::vector<std::thread> writers;
    for (int writer = 0; writer < kWriters; ++writer) {
        writers.emplace_back(write, writer);
    }
    for (auto& thread : writers) {
        thread.join();
    }
#else
    // The writers wait at a gate until all of them exist, so that they really
    // write at the same time instead of one after the other.
    int gate[2];
    ASSERT_EQ(pipe(gate), 0);
    std::vector<pid_t> children;
    for (int writer = 0; writer < kWriters; ++writer) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(gate[1]);
            char none;
            if (read(gate[0], &none, 1) < 0) {
                _exit(1);
            }
            write(writer);
            _exit(0);
        }
        children.push_back(child);
    }
    close(gate[0]);
    close(gate[1]);
    for (const pid_t child : children) {
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
#endif
    const std::string content = ReadBytes(path);
    std::set<std::string> seen;
    // Each writer's own lines stay in the order it wrote them.
    std::vector<int> nextLine(kWriters, 0);
    std::size_t start = 0;
    while (start < content.size()) {
        const std::size_t end = content.find("\r\n", start);
        ASSERT_NE(end, std::string::npos) << "torn last line";
        const std::string line = content.substr(start, end - start);
        int writer = -1;
        int number = -1;
        ASSERT_EQ(
            std::sscanf(line.c_str(), "01/01/10 00:00:07: writer %d line %d", &writer, &number), 2)
            << line;
        EXPECT_EQ(line, "01/01/10 00:00:07: writer " + std::to_string(writer) + " line " +
                            std::to_string(number) + ' ' +
                            std::string(static_cast<std::size_t>(40 + number % 50), 'x'));
        ASSERT_TRUE(writer >= 0 && writer < kWriters) << line;
        EXPECT_EQ(number, nextLine[static_cast<std::size_t>(writer)]++) << line;
        seen.insert(line);
        start = end + 2;
    }
    EXPECT_EQ(seen.size(), static_cast<std::size_t>(kWriters * kLines));
}

}  // namespace
}  // namespace quotamin
