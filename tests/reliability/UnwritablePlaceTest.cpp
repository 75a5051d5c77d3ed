// Places where the data files or the log cannot be written. The settings and
// the password report the error of their save and keep their values in
// memory; the log drops its lines without a word; nothing crashes. Files that
// may be written in a directory that may not are written in place, and a file
// replaced keeps its owner and permissions. The tests run as root, which no
// permission bit stops, so the places that depend on them are tried by a child
// that has given up root first.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>

#include <filesystem>
#include <functional>

#include "core/AtomicFile.h"
#include "core/FileError.h"
#include "core/PasswordStore.h"
#include "core/QuotaminConfig.h"
#include "log/TraceLog.h"
#include "tests/reliability/ChildProcess.h"
#include "tests/support/SettingsBytes.h"
#include "tests/support/TestSystem.h"

namespace quotamin {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::RunInChild;
using testing::TempDirectory;
using testing::TestSystem;
using testing::WriteBytes;

constexpr uid_t kNobody = 65534;

// Gives up root in a child; false when that cannot be done.
bool BecomeNobody() {
    return ::geteuid() != 0 || (::setgid(kNobody) == 0 && ::setuid(kNobody) == 0);
}

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
         "quotamin.log", kCantOpenForWriting},
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
            if (place.unprivileged && !BecomeNobody()) {
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

struct FileState {
    std::string bytes;
    ino_t inode = 0;
    uid_t owner = 0;
    gid_t group = 0;
    mode_t mode = 0;
};

FileState StateOf(const std::string& path) {
    struct stat status {};
    EXPECT_EQ(::stat(path.c_str(), &status), 0) << path;
    return {ReadBytes(path), status.st_ino, status.st_uid, status.st_gid, status.st_mode & 07777};
}

// Both data files already there, as an administrator may have set them up:
// the settings saved and the password changed must reach them.
TEST(UnwritablePlaceTest, FilesAreWrittenWithTheRightsTheyGiveAndKeepThem) {
    struct Case {
        const char* name;
        mode_t directoryMode;
        uid_t fileOwner;
        mode_t fileMode;
        bool unprivileged;
        const char* error;  // null: both saves succeed
        bool inPlace;       // the same file afterwards, not a new one in its place
    } cases[] = {
        // Files writable by all in a directory that is not: written in place.
        {"ReadOnlyDirectory", 0555, 0, 0666, true, nullptr, true},
        // Another user's files writable by all in a sticky directory, which
        // lets nobody but their owner replace them: written in place.
        {"StickyDirectory", 01777, 0, 0666, true, nullptr, true},
        // Files the user may not write, in a directory the user may: refused
        // as opening them for writing is, though a new file could replace them.
        {"ReadOnlyFiles", 0777, 0, 0444, true, kCantOpenForWriting, false},
        // Where a new file takes the old one's place, it takes its owner and
        // permissions too.
        {"AnotherUsersFiles", 0755, kNobody, 0640, false, nullptr, false},
    };
    for (const Case& c : cases) {
        TempDirectory root;
        const fs::path directory = root.Path() / "data";
        fs::create_directories(directory);
        PlacedSystem system(directory.string());
        const std::string settings = (directory / "qm-bob.dat").string();
        const std::string password = (directory / PasswordStore::kFileName).string();
        {
            QuotaminConfig config(system);
            config.SetUser("bob");
            PasswordStore store(system);
            store.SetPassword("old");
            store.Save();
        }
        for (const std::string& file : {settings, password}) {
            ASSERT_EQ(::chown(file.c_str(), c.fileOwner, c.fileOwner), 0);
            ASSERT_EQ(::chmod(file.c_str(), c.fileMode), 0);
        }
        ASSERT_EQ(::chmod(directory.c_str(), c.directoryMode), 0);
        const FileState settingsBefore = StateOf(settings);
        const FileState passwordBefore = StateOf(password);

        const auto result = RunInChild([&] {
            if (c.unprivileged && !BecomeNobody()) {
                return std::string("skip: cannot give up root");
            }
            QuotaminConfig config(system);
            config.SetUser("bob");
            config.m_minutesRemaining = 42;
            PasswordStore store(system);
            store.SetPassword("n3w");
            return Attempt([&] { config.Save(); }) + " | " + Attempt([&] { store.Save(); });
        });
        ASSERT_TRUE(result.ExitedNormally()) << c.name << ", status " << result.status;
        if (result.output.starts_with("skip:")) {
            std::cout << c.name << ": " << result.output << '\n';
            continue;
        }
        const FileState settingsAfter = StateOf(settings);
        const FileState passwordAfter = StateOf(password);
        if (c.error != nullptr) {
            const std::string error = std::string(" - ") + c.error;
            EXPECT_EQ(result.output, settings + error + " | " + password + error) << c.name;
            EXPECT_EQ(settingsAfter.bytes, settingsBefore.bytes) << c.name;
            EXPECT_EQ(passwordAfter.bytes, passwordBefore.bytes) << c.name;
        } else {
            EXPECT_EQ(result.output, "ok | ok") << c.name;
            EXPECT_EQ(settingsAfter.bytes, testing::SettingsRecord(0, 120, 42, 1, 17)) << c.name;
            PasswordStore reread(system);
            ASSERT_TRUE(reread.Load()) << c.name;
            EXPECT_EQ(reread.GetPassword(), "n3w") << c.name;
        }
        for (const auto& [before, after] :
             {std::pair{settingsBefore, settingsAfter}, std::pair{passwordBefore, passwordAfter}}) {
            EXPECT_EQ(after.inode == before.inode, c.inPlace || c.error != nullptr) << c.name;
            EXPECT_EQ(after.owner, before.owner) << c.name;
            EXPECT_EQ(after.group, before.group) << c.name;
            EXPECT_EQ(after.mode, before.mode) << c.name;
        }
        EXPECT_FALSE(fs::exists(PendingPathFor(settings))) << c.name;
        EXPECT_FALSE(fs::exists(PendingPathFor(password))) << c.name;
        fs::permissions(directory, fs::perms::owner_all);
    }
}

}  // namespace
}  // namespace quotamin
