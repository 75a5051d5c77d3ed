#include "log/TraceLog.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <future>
#include <iostream>
#include <memory>
#include <set>
#include <thread>
#include <vector>

#ifdef _WIN32
#include "os/Win32Handles.h"
#else
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "os/FileDescriptor.h"
#endif

#include "log/SharedAppend.h"
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
// Here the writers wait for each other's lines as long as it takes: six of
// them writing without a pause keep the append lock busy all the time, and
// Wine (unlike Windows) does not append in one step without it. How long a
// line of the program waits at most is shown with the holders below.
TEST_F(TraceLogTest, ConcurrentWritersLeaveOnlyWholeLines) {
    constexpr int kWriters = 6;
    constexpr int kLines = 300;
    auto write = [this](int writer) {
        for (int line = 0; line < kLines; ++line) {
            const std::string text = "01/01/10 00:00:07: writer " + std::to_string(writer) +
                                     " line " + std::to_string(line) + ' ' +
                                     std::string(static_cast<std::size_t>(40 + line % 50), 'x') +
                                     "\r\n";
            ASSERT_TRUE(AppendShared(path, text, std::chrono::seconds(30)));
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
    UniqueFd gateReadEnd(gate[0]);
    UniqueFd gateWriteEnd(gate[1]);
    std::vector<pid_t> children;
    for (int writer = 0; writer < kWriters; ++writer) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            gateWriteEnd.Reset();
            char none;
            if (read(gateReadEnd.Get(), &none, 1) < 0) {
                _exit(1);
            }
            write(writer);
            _exit(0);
        }
        children.push_back(child);
    }
    gateReadEnd.Reset();
    gateWriteEnd.Reset();
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

// --- Others holding the file ---

using namespace std::chrono_literals;

// How another program may hold the log.
enum class Hold {
#ifdef _WIN32
    EveryByte,   // LockFileEx from offset 0, length all ones
    AppendByte,  // the one byte far beyond the end that the program's writers lock
#else
    RecordLock,    // fcntl write lock from offset 0 to any length
    FileLock,      // flock, exclusive
    Lease,         // a read lease, whose break the holder never acknowledges
    FifoNoReader,  // a FIFO in the log's place that nobody reads
#endif
};

// Another process holding the log as `hold` says, for as long as the object lives.
class OtherHolder {
  public:
    OtherHolder(const std::string& path, Hold hold);
    OtherHolder(const OtherHolder&) = delete;
    OtherHolder& operator=(const OtherHolder&) = delete;
    ~OtherHolder();
    bool Ready() const { return m_ready; }

  private:
    bool m_ready = false;
#ifdef _WIN32
    UniqueKernelObject m_readyEvent;
    UniqueKernelObject m_releaseEvent;
    UniqueKernelObject m_process;
#else
    pid_t m_child = -1;
    UniqueFd m_release;
#endif
};

#ifdef _WIN32

OtherHolder::OtherHolder(const std::string& path, Hold hold) {
    const std::string id = std::to_string(::GetCurrentProcessId());
    const std::string readyName = "quotamin-log-holder-ready-" + id;
    const std::string releaseName = "quotamin-log-holder-release-" + id;
    m_readyEvent.Reset(::CreateEventA(nullptr, TRUE, FALSE, readyName.c_str()));
    m_releaseEvent.Reset(::CreateEventA(nullptr, TRUE, FALSE, releaseName.c_str()));
    char self[MAX_PATH + 1] = {};
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    const std::string holder =
        (std::filesystem::path(self).parent_path() / "log_lock_holder.exe").string();
    std::string command = "\"" + holder + "\" \"" + path + "\" " +
                          (hold == Hold::EveryByte ? "all" : "append") + " " + readyName + " " +
                          releaseName;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process)) {
        return;
    }
    m_process.Reset(process.hProcess);
    const UniqueKernelObject thread(process.hThread);
    const HANDLE waits[] = {m_readyEvent.Get(), m_process.Get()};
    m_ready = ::WaitForMultipleObjects(2, waits, FALSE, 30000) == WAIT_OBJECT_0;
}

OtherHolder::~OtherHolder() {
    ::SetEvent(m_releaseEvent.Get());
    if (m_process) {
        ::WaitForSingleObject(m_process.Get(), 30000);
    }
}

#else

// In the child: takes the hold, reports 'y' and waits for the release pipe to close.
[[noreturn]] void HoldInChild(const std::string& path, Hold hold, int ready, int release) {
    bool held = false;
    int descriptor = -1;
    if (hold == Hold::FifoNoReader) {
        held = true;  // the FIFO itself is the hold
    } else if (hold == Hold::Lease) {
        // A lease holder that ignores the break: the kernel would let an open
        // that breaks it wait the whole lease-break time (45 s by default).
        ::signal(SIGIO, SIG_IGN);
        descriptor = ::open(path.c_str(), O_RDONLY);
        held = descriptor >= 0 && ::fcntl(descriptor, F_SETLEASE, F_RDLCK) == 0;
    } else {
        descriptor = ::open(path.c_str(), O_RDWR);
        struct flock everything {};
        everything.l_type = F_WRLCK;
        everything.l_whence = SEEK_SET;
        held = descriptor >= 0 &&
               (hold == Hold::RecordLock ? ::fcntl(descriptor, F_SETLK, &everything) == 0
                                         : ::flock(descriptor, LOCK_EX | LOCK_NB) == 0);
    }
    const char answer = held ? 'y' : 'n';
    if (::write(ready, &answer, 1) != 1) {
        ::_exit(1);
    }
    char none;
    while (::read(release, &none, 1) > 0) {
    }
    ::_exit(0);
}

OtherHolder::OtherHolder(const std::string& path, Hold hold) {
    if (hold == Hold::FifoNoReader && ::mkfifo(path.c_str(), 0666) != 0) {
        return;
    }
    int ready[2];
    if (::pipe(ready) != 0) {
        return;
    }
    UniqueFd readyReadEnd(ready[0]);
    UniqueFd readyWriteEnd(ready[1]);
    int release[2];
    if (::pipe(release) != 0) {
        return;
    }
    UniqueFd releaseReadEnd(release[0]);
    m_release.Reset(release[1]);
    m_child = ::fork();
    if (m_child == 0) {
        readyReadEnd.Reset();
        m_release.Reset();
        HoldInChild(path, hold, readyWriteEnd.Get(), releaseReadEnd.Get());
    }
    readyWriteEnd.Reset();
    releaseReadEnd.Reset();
    char answer = 'n';
    m_ready = m_child > 0 && ::read(readyReadEnd.Get(), &answer, 1) == 1 && answer == 'y';
}

OtherHolder::~OtherHolder() {
    m_release.Reset();
    if (m_child > 0) {
        int status = 0;
        ::waitpid(m_child, &status, 0);
    }
}

#endif

// Runs `work` on a thread of its own; false when it is not done within `limit`.
bool RunsWithin(std::chrono::seconds limit, std::function<void()> work) {
    auto done = std::make_shared<std::promise<void>>();
    std::future<void> finished = done->get_future();
    std::thread([work = std::move(work), done] {
        work();
        done->set_value();
    }).detach();
    return finished.wait_for(limit) == std::future_status::ready;
}

struct HoldCase {
    const char* name;
    Hold hold;
    const char* earlier;  // the file's content before, or null when the holder makes the file
    // The lines reach the file, or they are dropped, or (where the system
    // refuses writes to a range another process has locked, and where it does
    // not) all of them do or none.
    enum { Written, Dropped, AllOrNone } lines;
};

class TraceLogHeldTest : public TraceLogTest, public ::testing::WithParamInterface<HoldCase> {};

// Whoever holds the log, and however long, a line never waits for them: it
// is written or dropped at once, and the program goes on.
TEST_P(TraceLogHeldTest, NoLineWaitsForAnotherHolderOfTheFile) {
    const HoldCase& c = GetParam();
    if (c.earlier != nullptr) {
        WriteBytes(path, c.earlier);
    }
    constexpr int kLines = 5;
    auto durations = std::make_shared<std::vector<std::chrono::steady_clock::duration>>();
    {
        OtherHolder holder(path, c.hold);
        ASSERT_TRUE(holder.Ready());
        auto log = std::make_shared<TraceLog>(LogAt(Time(2010, 1, 1, 0, 0, 7)));
        const bool finished = RunsWithin(std::chrono::seconds(20), [log, durations] {
            for (int line = 1; line <= kLines; ++line) {
                const auto start = std::chrono::steady_clock::now();
                log->BeginLine() << "OnTimer elapsed=" << line;
                log->EndLine();
                durations->push_back(std::chrono::steady_clock::now() - start);
            }
        });
        if (!finished) {
            // The writer is stuck for good; nothing after this could run.
            std::cerr << c.name << ": a log line is still waiting after 20 s\n";
            std::_Exit(1);
        }
    }
    for (const auto duration : *durations) {
        EXPECT_LT(duration, 500ms) << c.name;
    }
    if (c.earlier == nullptr) {
        EXPECT_FALSE(std::filesystem::is_regular_file(path));
        return;
    }
    std::string all = c.earlier;
    for (int line = 1; line <= kLines; ++line) {
        all += "01/01/10 00:00:07: OnTimer elapsed=" + std::to_string(line) + "\r\n";
    }
    const std::string content = ReadBytes(path);
    switch (c.lines) {
        case HoldCase::Written:
            EXPECT_EQ(content, all);
            break;
        case HoldCase::Dropped:
            EXPECT_EQ(content, c.earlier);
            break;
        case HoldCase::AllOrNone:
            EXPECT_TRUE(content == all || content == c.earlier) << content;
    }
}

const HoldCase kHoldCases[] = {
#ifdef _WIN32
    {"EveryByte", Hold::EveryByte, "earlier\r\n", HoldCase::AllOrNone},
    // The lock the writers share, held for good: the lines go out without it.
    {"AppendByte", Hold::AppendByte, "earlier\r\n", HoldCase::Written},
#else
    {"RecordLock", Hold::RecordLock, "earlier\r\n", HoldCase::Written},
    {"FileLock", Hold::FileLock, "earlier\r\n", HoldCase::Written},
    {"Lease", Hold::Lease, "earlier\r\n", HoldCase::Dropped},
    {"FifoNoReader", Hold::FifoNoReader, nullptr, HoldCase::Dropped},
#endif
};

INSTANTIATE_TEST_SUITE_P(Holders, TraceLogHeldTest, ::testing::ValuesIn(kHoldCases),
                         [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace quotamin
