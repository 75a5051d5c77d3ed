// A disk that fills up in the middle of a save. A child process is held to a
// small file size (RLIMIT_FSIZE, with SIGXFSZ ignored so that the write fails
// instead of killing it), which cuts a write short just as a full disk does.
// A failed save reports "Can't write file" with the system's EFBIG, keeps the
// old file whole and the values in memory; the log stays silent and keeps its
// earlier lines.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <cerrno>
#include <filesystem>

#include "core/AtomicFile.h"
#include "core/FileError.h"
#include "core/PasswordStore.h"
#include "core/QuotaminConfig.h"
#include "log/TraceLog.h"
#include "tests/reliability/ChildProcess.h"
#include "tests/support/TestSystem.h"

namespace quotamin {
namespace {

using testing::ReadBytes;
using testing::RunInChild;
using testing::TestSystem;

testing::ChildResult WithFileSizeLimit(rlim_t bytes, const std::function<std::string()>& body) {
    return RunInChild([&] {
        const rlimit limit{bytes, bytes};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) {
            return std::string("setrlimit failed");
        }
        ::signal(SIGXFSZ, SIG_IGN);
        return body();
    });
}

TEST(FullDiskTest, SettingsSaveFailsAndKeepsTheOldFileAndTheValues) {
    for (const rlim_t limit : {0, 1, 19}) {
        TestSystem system;
        QuotaminConfig config(system);
        config.SetUser("bob");
        const std::string before = ReadBytes(config.m_filePath);
        const auto result = WithFileSizeLimit(limit, [&] {
            config.m_enabled = 1;
            config.m_minutesRemaining = 77;
            try {
                config.Save();
                return std::string("saved");
            } catch (const FileError& error) {
                return std::string(error.what()) + " | " + std::to_string(config.m_enabled) + ' ' +
                       std::to_string(config.m_minutesRemaining) + " | " +
                       std::to_string(error.SystemCode());
            }
        });
        ASSERT_TRUE(result.ExitedNormally()) << "limit " << limit << ", status " << result.status;
        EXPECT_EQ(result.output,
                  config.m_filePath + " - Can't write file | 1 77 | " + std::to_string(EFBIG))
            << limit;
        EXPECT_EQ(ReadBytes(config.m_filePath), before) << limit;
        EXPECT_FALSE(std::filesystem::exists(PendingPathFor(config.m_filePath))) << limit;
    }
}

TEST(FullDiskTest, PasswordSaveFailsAndKeepsTheOldFile) {
    const std::string longPassword(1000, 'x');  // 1003 bytes in its file
    for (const rlim_t limit : {0, 2, 600, 1002}) {
        TestSystem system;
        PasswordStore store(system);
        store.SetPassword("first");
        store.Save();
        const std::string before = ReadBytes(store.FilePath());
        const auto result = WithFileSizeLimit(limit, [&] {
            store.SetPassword(longPassword);
            try {
                store.Save();
                return std::string("saved");
            } catch (const FileError& error) {
                return std::string(error.what()) +
                       (store.GetPassword() == longPassword ? " | kept" : " | lost") + " | " +
                       std::to_string(error.SystemCode());
            }
        });
        ASSERT_TRUE(result.ExitedNormally()) << "limit " << limit << ", status " << result.status;
        EXPECT_EQ(result.output,
                  store.FilePath() + " - Can't write file | kept | " + std::to_string(EFBIG))
            << limit;
        EXPECT_EQ(ReadBytes(store.FilePath()), before) << limit;
        EXPECT_FALSE(std::filesystem::exists(PendingPathFor(store.FilePath()))) << limit;
        PasswordStore reloaded(system);
        ASSERT_TRUE(reloaded.Load());
        EXPECT_EQ(reloaded.GetPassword(), "first");
    }
}

TEST(FullDiskTest, LogStaysSilentAndKeepsItsEarlierLines) {
    struct Case {
        const char* name;
        int room;  // bytes the limit leaves beyond the earlier lines
    } cases[] = {{"AlreadyOverTheLimit", -5}, {"NoRoomAtAll", 0}, {"RoomForPartOfALine", 10}};
    for (const Case& c : cases) {
        testing::TempDirectory directory;
        const std::string path = directory.File("quotamin.log");
        TraceLog log(path, [] { return std::optional<std::tm>(); });
        log.BeginLine() << "first";
        log.EndLine();
        log.BeginLine() << "second";
        log.EndLine();
        const std::string before = ReadBytes(path);
        const auto limit = static_cast<rlim_t>(static_cast<int>(before.size()) + c.room);
        const auto result = WithFileSizeLimit(limit, [&] {
            log.BeginLine() << "OnTimer elapsed=" << 12;
            log.EndLine();
            log.BeginLine() << "TrayMessage, " << 1u;
            log.EndLine();
            return std::string("went on");
        });
        ASSERT_TRUE(result.ExitedNormally()) << c.name << ", status " << result.status;
        EXPECT_EQ(result.output, "went on") << c.name;
        const std::string after = ReadBytes(path);
        EXPECT_EQ(after.substr(0, before.size()), before) << c.name;
        EXPECT_LE(after.size(), std::max(before.size(), static_cast<std::size_t>(limit))) << c.name;
    }
}

}  // namespace
}  // namespace quotamin
