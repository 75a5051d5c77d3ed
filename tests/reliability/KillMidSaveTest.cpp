// A process killed at any moment of a save leaves each data file holding a
// whole record: the one saved before or the one being saved, never a short or
// mixed one. A child saves in a tight loop with changing values and is killed
// with SIGKILL at random moments, over and over; after every kill the files
// are loaded and checked. QUOTAMIN_KILLS sets how many kills (1,000 by default).

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <random>
#include <thread>

#include "core/AtomicFile.h"
#include "core/PasswordStore.h"
#include "core/QuotaminConfig.h"
#include "log/TraceLog.h"
#include "tests/support/TestSystem.h"

namespace quotamin {
namespace {

using testing::ReadBytes;
using testing::TestSystem;

// How far the saving child has got, in memory it shares with the test, so that
// after a kill the test knows which records may be on disk.
class Progress {
  public:
    enum Counter { ConfigStarted, ConfigDone, PasswordStarted, PasswordDone, kCount };

    Progress() {
        void* memory = ::mmap(nullptr, sizeof(std::int32_t) * kCount, PROT_READ | PROT_WRITE,
                              MAP_SHARED | MAP_ANONYMOUS, -1, 0);
        if (memory == MAP_FAILED) {
            throw std::runtime_error("mmap failed");
        }
        m_counters = static_cast<std::int32_t*>(memory);
    }
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;
    ~Progress() { ::munmap(m_counters, sizeof(std::int32_t) * kCount); }

    std::atomic_ref<std::int32_t> operator[](Counter counter) const {
        return std::atomic_ref<std::int32_t>(m_counters[counter]);
    }

  private:
    std::int32_t* m_counters;
};

// Every field of a record depends on its sequence number in its own way, so a
// record put together from two saves cannot pass for a whole one.
void FillRecord(QuotaminConfig& config, std::int32_t sequence) {
    config.m_enabled = 1;
    config.m_minutesAllowed = sequence;
    config.m_minutesRemaining = sequence * 7 + 3;
    config.m_logoffOnExpiry = sequence % 2;
}

bool IsWholeRecord(const QuotaminConfig& config) {
    return config.m_enabled == 1 && config.m_minutesRemaining == config.m_minutesAllowed * 7 + 3 &&
           config.m_logoffOnExpiry == config.m_minutesAllowed % 2;
}

// Lengths vary across the one- and three-byte forms of the length prefix.
std::string PasswordFor(std::int32_t sequence) {
    const std::size_t padding = sequence % 3 == 0 ? 300 : static_cast<std::size_t>(sequence % 50);
    return std::to_string(sequence) + ':' +
           std::string(padding, static_cast<char>('a' + sequence % 26));
}

[[noreturn]] void SaveForever(TestSystem& system, const std::string& logPath,
                              const Progress& progress) {
    QuotaminConfig config(system);
    config.m_filePath = system.File("qm-bob.dat");
    config.m_lastDay = system.today;
    PasswordStore store(system);
    TraceLog log(logPath, [] { return std::optional<std::tm>(); });
    for (std::int32_t sequence = progress[Progress::ConfigStarted] + 1;; ++sequence) {
        progress[Progress::ConfigStarted] = sequence;
        FillRecord(config, sequence);
        config.Save();
        progress[Progress::ConfigDone] = sequence;

        progress[Progress::PasswordStarted] = sequence;
        store.SetPassword(PasswordFor(sequence));
        store.Save();
        progress[Progress::PasswordDone] = sequence;

        log.BeginLine() << "saved " << sequence << ' ' << std::string(40, '-');
        log.EndLine();
    }
}

int KillsWanted() {
    const char* wanted = std::getenv("QUOTAMIN_KILLS");
    return wanted != nullptr ? std::atoi(wanted) : 1000;
}

TEST(KillMidSaveTest, EveryKillLeavesTheRecordBeforeOrTheOneBeingSaved) {
    TestSystem system;
    const std::string logPath = system.File("quotamin.log");
    Progress progress;
    {
        QuotaminConfig first(system);
        first.m_filePath = system.File("qm-bob.dat");
        first.m_lastDay = system.today;
        FillRecord(first, 0);
        first.Save();
        PasswordStore store(system);
        store.SetPassword(PasswordFor(0));
        store.Save();
    }

    const unsigned seed = std::random_device{}();
    std::mt19937 random(seed);
    // A round of the loop takes about a millisecond; the kills spread over a few.
    std::uniform_int_distribution<int> delay(0, 3000);
    const int kills = KillsWanted();
    int midSave = 0;
    int newConfigOnDisk = 0;
    int newPasswordOnDisk = 0;
    int pendingLeft = 0;
    for (int kill = 0; kill < kills; ++kill) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            SaveForever(system, logPath, progress);
        }
        // Starting a child costs more than a save (much more under the
        // sanitizers), so the random moment is counted from its first save.
        const std::int32_t before = progress[Progress::ConfigStarted];
        while (progress[Progress::ConfigStarted] == before) {
            std::this_thread::sleep_for(std::chrono::microseconds(20));
        }
        std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
            << "the saving child ended by itself, status " << status;

        const std::int32_t configStarted = progress[Progress::ConfigStarted];
        const std::int32_t configDone = progress[Progress::ConfigDone];
        const std::int32_t passwordStarted = progress[Progress::PasswordStarted];
        const std::int32_t passwordDone = progress[Progress::PasswordDone];
        midSave += configStarted != configDone || passwordStarted != passwordDone;

        QuotaminConfig config(system);
        config.m_filePath = system.File("qm-bob.dat");
        ASSERT_TRUE(config.Load()) << "kill " << kill << ", seed " << seed;
        ASSERT_TRUE(IsWholeRecord(config)) << "kill " << kill << ", seed " << seed;
        ASSERT_TRUE(config.m_minutesAllowed == configDone ||
                    config.m_minutesAllowed == configStarted)
            << "record " << config.m_minutesAllowed << " on disk, saves " << configDone
            << " done and " << configStarted << " started; seed " << seed;
        EXPECT_EQ(config.m_lastDay, system.today);
        newConfigOnDisk += config.m_minutesAllowed != configDone;

        PasswordStore store(system);
        ASSERT_TRUE(store.Load()) << "kill " << kill << ", seed " << seed;
        const std::string password = store.GetPassword();
        ASSERT_TRUE(password == PasswordFor(passwordDone) ||
                    password == PasswordFor(passwordStarted))
            << "password \"" << password.substr(0, 20) << "...\" on disk, saves " << passwordDone
            << " done and " << passwordStarted << " started; seed " << seed;
        const bool newPassword = password != PasswordFor(passwordDone);
        newPasswordOnDisk += newPassword;

        // The next child goes on from what is on disk now.
        progress[Progress::ConfigStarted] = config.m_minutesAllowed;
        progress[Progress::ConfigDone] = config.m_minutesAllowed;
        progress[Progress::PasswordStarted] = newPassword ? passwordStarted : passwordDone;
        progress[Progress::PasswordDone] = newPassword ? passwordStarted : passwordDone;

        pendingLeft += std::filesystem::exists(PendingPathFor(config.m_filePath)) ||
                       std::filesystem::exists(PendingPathFor(store.FilePath()));
    }

    // The log the killed children wrote holds whole lines only.
    ASSERT_TRUE(std::filesystem::exists(logPath)) << "no child ever finished a round of saves";
    const std::string log = ReadBytes(logPath);
    std::size_t start = 0;
    int lines = 0;
    while (start < log.size()) {
        const std::size_t end = log.find("\r\n", start);
        ASSERT_NE(end, std::string::npos) << "torn last line";
        const std::string line = log.substr(start, end - start);
        int sequence = 0;
        ASSERT_EQ(std::sscanf(line.c_str(), ": saved %d", &sequence), 1) << line;
        EXPECT_EQ(line, ": saved " + std::to_string(sequence) + ' ' + std::string(40, '-'));
        ++lines;
        start = end + 2;
    }

    std::cout << "kills survived: " << kills << " (" << midSave << " in the middle of a save; "
              << newConfigOnDisk << " left the settings being saved and " << newPasswordOnDisk
              << " the password being saved on disk; " << pendingLeft
              << " left a pending file behind); " << lines
              << " rounds of both saves completed, each logged in a whole line; seed " << seed
              << '\n';
}

}  // namespace
}  // namespace quotamin
