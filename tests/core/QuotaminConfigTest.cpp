#include "core/QuotaminConfig.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include "core/AtomicFile.h"
#include "core/FileError.h"
#include "core/PasswordStore.h"
#include "tests/support/SettingsBytes.h"
#include "tests/support/TestSystem.h"

namespace quotamin {
namespace {

using testing::ReadBytes;
using testing::TestSystem;
using testing::WriteBytes;

constexpr auto Record = testing::SettingsRecord;

// What the system says when a file cannot be opened for writing.
#ifdef _WIN32
constexpr int kPathNotFound = 3;  // ERROR_PATH_NOT_FOUND
constexpr int kIsADirectory = 5;  // ERROR_ACCESS_DENIED
#else
constexpr int kPathNotFound = ENOENT;
constexpr int kIsADirectory = EISDIR;
#endif

class QuotaminConfigTest : public ::testing::Test {
  protected:
    std::string UserFile(const std::string& user = "bob") {
        return system.File("qm-" + user + ".dat");
    }

    TestSystem system;
    QuotaminConfig config{system};
};

TEST_F(QuotaminConfigTest, ConstructorValuesTouchNoFile) {
    EXPECT_EQ(config.m_userName, "");
    EXPECT_EQ(config.m_lastDay, 0);
    EXPECT_EQ(config.m_filePath, "\\qm-def.dat");
    EXPECT_EQ(config.m_enabled, 0);
    EXPECT_EQ(config.m_minutesAllowed, 120);
    EXPECT_EQ(config.m_minutesRemaining, 120);
    EXPECT_EQ(config.m_logoffOnExpiry, 1);
    EXPECT_TRUE(std::filesystem::is_empty(system.WindowsDirectory()));
}

TEST_F(QuotaminConfigTest, NewUserGetsTheDefaultRecordWithTodaysDay) {
    system.today = 17;
    config.SetUser("bob");
    EXPECT_EQ(config.m_filePath, system.WindowsDirectory() + kPathSeparator + "qm-bob.dat");
    const std::string expected(
        "\x00\x00\x00\x00\x78\x00\x00\x00\x78\x00\x00\x00\x01\x00\x00\x00"
        "\x11\x00\x00\x00",
        20);
    EXPECT_EQ(ReadBytes(UserFile()), expected);
    EXPECT_FALSE(std::filesystem::exists(PendingPathFor(UserFile())));
}

TEST_F(QuotaminConfigTest, UserNameKeepsItsLetterCaseInTheFileName) {
    config.SetUser("Bob");
    EXPECT_TRUE(std::filesystem::exists(UserFile("Bob")));
    EXPECT_EQ(std::filesystem::path(config.m_filePath).filename().string(), "qm-Bob.dat");
}

// Windows compares file names without regard to letter case, so a user named
// password in any case would otherwise get the password file as settings file.
TEST(QuotaminConfigUserNameTest, UserNamedLikeThePasswordFileNeverTouchesIt) {
    for (const std::string name : {"password", "Password", "PASSWORD", "pAsSwOrD"}) {
        TestSystem system;
        PasswordStore store(system);
        store.SetPassword("s3cret");
        store.Save();
        const std::string passwordFile = ReadBytes(store.FilePath());
        QuotaminConfig record(system);
        record.SetUser(name);
        EXPECT_EQ(record.m_userName, name);
        EXPECT_EQ(record.m_filePath, system.File("qm-[" + name + "].dat"));
        EXPECT_EQ(ReadBytes(record.m_filePath), Record(0, 120, 120, 1, 17));
        record.m_enabled = 1;
        record.m_minutesRemaining = 33;
        record.Save();
        EXPECT_EQ(ReadBytes(store.FilePath()), passwordFile) << name;

        QuotaminConfig nextRun(system);
        nextRun.SetUser(name);
        EXPECT_EQ(nextRun.m_enabled, 1) << name;
        EXPECT_EQ(nextRun.m_minutesRemaining, 33) << name;
        EXPECT_EQ(ReadBytes(store.FilePath()), passwordFile) << name;
        PasswordStore reread(system);
        ASSERT_TRUE(reread.Load());
        EXPECT_EQ(reread.GetPassword(), "s3cret");
    }
    // Names that only look alike keep the usual rule.
    TestSystem system;
    for (const std::string name : {"passwords", "password1", "pass"}) {
        QuotaminConfig record(system);
        record.SetUser(name);
        EXPECT_EQ(record.m_filePath, system.File("qm-" + name + ".dat"));
    }
}

struct LoadCase {
    const char* name;
    std::string file;
    int today;
    // What SetUser leaves in memory and on disk.
    std::int32_t enabled, allowed, remaining, logoff, lastDay;
    std::string fileAfter;
};

class QuotaminConfigLoadTest : public QuotaminConfigTest,
                               public ::testing::WithParamInterface<LoadCase> {};

TEST_P(QuotaminConfigLoadTest, SetUserLoadsAndStartsNewDays) {
    const LoadCase& c = GetParam();
    WriteBytes(UserFile(), c.file);
    system.today = c.today;
    config.SetUser("bob");
    EXPECT_EQ(config.m_enabled, c.enabled);
    EXPECT_EQ(config.m_minutesAllowed, c.allowed);
    EXPECT_EQ(config.m_minutesRemaining, c.remaining);
    EXPECT_EQ(config.m_logoffOnExpiry, c.logoff);
    EXPECT_EQ(config.m_lastDay, c.lastDay);
    EXPECT_EQ(ReadBytes(UserFile()), c.fileAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Files, QuotaminConfigLoadTest,
    ::testing::Values(
        // Same day number, whatever the month: loaded, nothing written.
        LoadCase{"SameDay", Record(1, 90, 33, 0, 5), 5, 1, 90, 33, 0, 5, Record(1, 90, 33, 0, 5)},
        // The clock was set back: any other day number starts a new day at once.
        LoadCase{"DayBefore", Record(1, 90, 33, 0, 6), 5, 1, 90, 90, 0, 5, Record(1, 90, 90, 0, 5)},
        LoadCase{"NextDay", Record(1, 90, 3, 1, 4), 5, 1, 90, 90, 1, 5, Record(1, 90, 90, 1, 5)},
        // A logoff flag of 2 reads as logoff and is written back as 1.
        LoadCase{"LogoffTwo", Record(0, 60, 60, 2, 9), 10, 0, 60, 60, 1, 10,
                 Record(0, 60, 60, 1, 10)},
        // Enabled 7 stays 7.
        LoadCase{"EnabledSeven", Record(7, 60, 10, 1, 8), 9, 7, 60, 60, 1, 9,
                 Record(7, 60, 60, 1, 9)},
        // Negative minutes load as they are.
        LoadCase{"Negative", Record(1, 60, -4, 0, 3), 3, 1, 60, -4, 0, 3, Record(1, 60, -4, 0, 3)},
        // Bytes after the record are ignored; the next save leaves 20 bytes.
        LoadCase{"Longer", Record(1, 50, 20, 1, 2) + "junk", 3, 1, 50, 50, 1, 3,
                 Record(1, 50, 50, 1, 3)},
        // A file shorter than a record counts as missing: a new default record.
        LoadCase{"Short", Record(1, 50, 20, 1, 2).substr(0, 19), 3, 0, 120, 120, 1, 3,
                 Record(0, 120, 120, 1, 3)},
        LoadCase{"Empty", "", 3, 0, 120, 120, 1, 3, Record(0, 120, 120, 1, 3)}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(QuotaminConfigTest, SaveOnANewDayStoresTheAllowanceOverWhatTheCallerSet) {
    config.SetUser("bob");
    config.m_minutesAllowed = 45;
    config.m_minutesRemaining = 7;
    system.today = 18;
    config.Save();
    EXPECT_EQ(config.m_minutesRemaining, 45);
    EXPECT_EQ(config.m_lastDay, 18);
    EXPECT_EQ(ReadBytes(UserFile()), Record(0, 45, 45, 1, 18));
}

TEST_F(QuotaminConfigTest, CheckNewDayChangesNothingOnTheSameDay) {
    config.SetUser("bob");
    config.m_minutesRemaining = 3;
    EXPECT_FALSE(config.CheckNewDay());
    EXPECT_EQ(config.m_minutesRemaining, 3);
    system.today = 1;
    EXPECT_TRUE(config.CheckNewDay());
    EXPECT_EQ(config.m_minutesRemaining, 120);
    EXPECT_EQ(ReadBytes(UserFile()), Record(0, 120, 120, 1, 17)) << "CheckNewDay must not save";
}

TEST_F(QuotaminConfigTest, LoadOfAMissingFileLeavesTheFields) {
    config.m_filePath = UserFile("nobody");
    config.m_minutesRemaining = 5;
    EXPECT_FALSE(config.Load());
    EXPECT_EQ(config.m_minutesRemaining, 5);
}

using Failure = TestSystem::Failure;

struct SaveCase {
    const char* name;
    Failure failure;
    const char* text;  // null: saved
    // The file afterwards: the new record, the old one, or (a write in place
    // that failed half way) either or a mixture.
    enum { New, Old, Any } file;
};

class QuotaminConfigSaveTest : public QuotaminConfigTest,
                               public ::testing::WithParamInterface<SaveCase> {};

TEST_P(QuotaminConfigSaveTest, SaveWritesInPlaceWhenItMustAndReportsWhatFailed) {
    const SaveCase& c = GetParam();
    config.SetUser("bob");
    config.m_enabled = 1;
    config.m_minutesRemaining = 77;
    system.failure = c.failure;
    try {
        config.Save();
        EXPECT_EQ(c.text, nullptr) << "Save succeeded";
    } catch (const FileError& error) {
        ASSERT_NE(c.text, nullptr) << error.what();
        EXPECT_EQ(std::string(error.what()), UserFile() + " - " + c.text);
    }
    EXPECT_EQ(config.m_minutesRemaining, 77);
    EXPECT_EQ(config.m_enabled, 1);
    if (c.file != SaveCase::Any) {
        EXPECT_EQ(ReadBytes(UserFile()),
                  c.file == SaveCase::New ? Record(1, 120, 77, 1, 17) : Record(0, 120, 120, 1, 17));
    }
    EXPECT_FALSE(std::filesystem::exists(PendingPathFor(UserFile())));
}

INSTANTIATE_TEST_SUITE_P(
    Failures, QuotaminConfigSaveTest,
    ::testing::Values(
        // The file beside cannot be made or cannot take the old one's place:
        // the old file is written in place.
        SaveCase{"CannotCreateBeside", Failure::Create, nullptr, SaveCase::New},
        SaveCase{"CannotReplace", Failure::Replace, nullptr, SaveCase::New},
        // Nor can the old file be opened for writing.
        SaveCase{"CannotCreateNorOpen", Failure::Create | Failure::Rewrite, kCantOpenForWriting,
                 SaveCase::Old},
        SaveCase{"CannotReplaceNorOpen", Failure::Replace | Failure::Rewrite, kCantOpenForWriting,
                 SaveCase::Old},
        // A file the process may not open for writing is not replaced either.
        SaveCase{"CannotOpen", Failure::Rewrite, kCantOpenForWriting, SaveCase::Old},
        // The bytes do not reach the disk, beside the file or in it.
        SaveCase{"DiskFull", Failure::ShortWrite, kCantWrite, SaveCase::Old},
        SaveCase{"FlushFails", Failure::Flush, kCantWrite, SaveCase::Old},
        SaveCase{"DiskFullInPlace", Failure::Create | Failure::ShortWrite, kCantWrite,
                 SaveCase::Any},
        SaveCase{"FlushFailsInPlace", Failure::Create | Failure::Flush, kCantWrite, SaveCase::Any},
        SaveCase{"CutFailsInPlace", Failure::Create | Failure::SetLength, kCantWrite,
                 SaveCase::Any}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(QuotaminConfigTest, WritingInPlaceLeavesExactlyTheRecord) {
    WriteBytes(UserFile(), Record(1, 50, 20, 1, 17) + std::string(100, 'x'));
    config.SetUser("bob");
    system.failure = Failure::Create;
    config.m_minutesRemaining = 19;
    config.Save();
    EXPECT_EQ(ReadBytes(UserFile()), Record(1, 50, 19, 1, 17));
}

TEST_F(QuotaminConfigTest, DirectoryInPlaceOfTheFileCannotBeOpenedForWriting) {
    std::filesystem::create_directories(UserFile());
    try {
        config.SetUser("bob");
        FAIL() << "SetUser succeeded";
    } catch (const FileError& error) {
        EXPECT_EQ(std::string(error.what()), UserFile() + " - Can't open file for writing");
        EXPECT_EQ(error.SystemCode(), kIsADirectory);
    }
    EXPECT_TRUE(std::filesystem::is_directory(UserFile()));
    EXPECT_FALSE(std::filesystem::exists(PendingPathFor(UserFile())));
}

TEST_F(QuotaminConfigTest, FailedSaveOnANewDayKeepsTheResetInMemory) {
    config.SetUser("bob");
    config.m_minutesRemaining = 3;
    system.today = 20;
    system.failure = Failure::Create | Failure::Rewrite;
    EXPECT_THROW(config.Save(), FileError);
    EXPECT_EQ(config.m_minutesRemaining, 120);
    EXPECT_EQ(config.m_lastDay, 20);
}

TEST_F(QuotaminConfigTest, SetUserInADirectoryThatCannotBeWrittenThrowsTheOpenError) {
    struct MissingDirectory : TestSystem {
        std::string WindowsDirectory() override { return TestSystem::WindowsDirectory() + "/none"; }
    } missing;
    QuotaminConfig record(missing);
    try {
        record.SetUser("bob");
        FAIL() << "SetUser succeeded";
    } catch (const FileError& error) {
        EXPECT_EQ(std::string(error.what()), record.m_filePath + " - Can't open file for writing");
        EXPECT_EQ(error.SystemCode(), kPathNotFound);
    }
    EXPECT_EQ(record.m_userName, "bob");
    EXPECT_EQ(record.m_lastDay, 17);
}

}  // namespace
}  // namespace quotamin
