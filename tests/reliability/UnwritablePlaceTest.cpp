// Places where the data files or the log cannot be written. The settings and
// the password report the error of their save and keep their values in
// memory; the log drops its lines without a word; nothing crashes. The tests
// run as root, which no permission bit stops, so the read-only directory is
// tried by a child that has given up root first.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "core/AtomicFile.h"
#include "core/FileError.h"
#include "core/PasswordStore.h"
#include "core/QuotaminConfig.h"
#include "log/TraceLog.h"
#include "tests/reliability/ChildProcess.h"
#include "tests/support/TestSystem.h"

namespace quotamin {
namespace {

namespace fs = std::filesystem;
using testing::RunInChild;
using testing::TempDirectory;
using testing::TestSystem;
using testing::WriteBytes;

class PlacedSystem : public TestSystem {
  public:
    explicit PlacedSystem(std::string directory) : m_place(std::move(directory)) {}
    std::string WindowsDirectory() override { return m_place; }

  private:
    std::string m_place;
};

std::string Attempt(const std::function<void()>& action) {
    try {
        action();
        return "ok";
    } catch (const FileError& error) {
        return error.what();
    }
}

std::string Fields(const QuotaminConfig& config) {
    return config.m_userName + ' ' + std::to_string(config.m_enabled) + ' ' +
           std::to_string(config.m_minutesAllowed) + ' ' +
           std::to_string(config.m_minutesRemaining) + ' ' +
           std::to_string(config.m_logoffOnExpiry) + ' ' + std::to_string(config.m_lastDay);
}

// Everything the program writes, tried in one place; returns what each step gave.
std::string WriteEverything(const std::string& directory, const std::string& logPath) {
    PlacedSystem system(directory);
    std::string report;
    QuotaminConfig config(system);
    // Each step runs before its fields are read.
    report += Attempt([&] { config.SetUser("bob"); });
    report += " | " + Fields(config) + '\n';
    config.m_enabled = 1;
    config.m_minutesAllowed = 300;
    config.m_minutesRemaining = 42;
    config.m_logoffOnExpiry = 0;
    report += Attempt([&] { config.Save(); });
    report += " | " + Fields(config) + '\n';

    PasswordStore store(system);
    report += store.Load() ? "loaded" : "not loaded";
    store.SetPassword("n3w");
    report += " | " + Attempt([&] { store.Save(); });
    report += " | " + store.GetPassword() + '\n';

    TraceLog log(logPath, TraceLog::LocalClock);
    log.BeginLine() << "OnTimer elapsed=" << 1;
    log.EndLine();
    report += "log went on";
    return report;
}

struct Place {
    const char* name;
    // Makes the place below `root` and returns the Windows directory to use.
    std::function<fs::path(const fs::path& root)> prepare;
    const char* log;  // below the Windows directory
    const char* error;
    bool unprivileged = false;
};

TEST(UnwritablePlaceTest, SavesReportTheirErrorAndTheLogStaysSilent) {
    const Place places[] = {
        {"DirectoryIsARegularFile",
         [](const fs::path& root) {
             WriteBytes((root / "plain").string(), "not a directory");
             return root / "plain";
         },
         "quotamin.log", kCantOpenForWriting},
        {"FileNamesTakenByDirectories",
         [](const fs::path& root) {
             for (const char* name : {"qm-bob.dat", "qm-password.dat", "quotamin.log"}) {
                 fs::create_directories(root / name);
             }
             return root;
         },
         "quotamin.log", kCantReplace},
        {"PendingNamesTakenByDirectories",
         [](const fs::path& root) {
             for (const char* name : {"qm-bob.dat.new", "qm-password.dat.new"}) {
                 fs::create_directories(root / name);
             }
             return root;
         },
         "qm-bob.dat.new", kCantOpenForWriting},
        {"ReadOnlyDirectory",
         [](const fs::path& root) {
             fs::create_directories(root / "locked");
             fs::permissions(root / "locked", fs::perms::owner_read | fs::perms::owner_exec |
                                                  fs::perms::group_read | fs::perms::group_exec |
                                                  fs::perms::others_read | fs::perms::others_exec);
             return root / "locked";
         },
         "quotamin.log", kCantOpenForWriting, true},
    };
    for (const Place& place : places) {
        TempDirectory root;
        const std::string directory = place.prepare(root.Path()).string();
        const std::string settings = directory + kPathSeparator + "qm-bob.dat";
        const std::string password = directory + kPathSeparator + PasswordStore::kFileName;
        const std::string logPath = directory + kPathSeparator + place.log;
        const auto result = RunInChild([&] {
            if (place.unprivileged && ::geteuid() == 0 &&
                (::setgid(65534) != 0 || ::setuid(65534) != 0)) {
                return std::string("skip: cannot give up root");
            }
            return WriteEverything(directory, logPath);
        });
        ASSERT_TRUE(result.ExitedNormally()) << place.name << ", status " << result.status;
        if (result.output.starts_with("skip:")) {
            std::cout << place.name << ": " << result.output << '\n';
            continue;
        }
        const std::string error = std::string(" - ") + place.error;
        std::string expected = settings + error + " | bob 0 120 120 1 17\n";
        expected += settings + error + " | bob 1 300 42 0 17\n";
        expected += "not loaded | " + password + error + " | n3w\n";
        expected += "log went on";
        EXPECT_EQ(result.output, expected) << place.name;
        EXPECT_FALSE(fs::is_regular_file(logPath)) << place.name;
        EXPECT_FALSE(fs::is_regular_file(PendingPathFor(settings))) << place.name;
        EXPECT_FALSE(fs::is_regular_file(PendingPathFor(password))) << place.name;
    }
}

}  // namespace
}  // namespace quotamin
