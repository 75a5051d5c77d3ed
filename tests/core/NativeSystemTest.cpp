// The native system's own behaviour, where Win32 and POSIX differ.
#include "core/NativeSystem.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include <cstdlib>
#include <filesystem>

#include "core/FileError.h"
#include "core/PasswordStore.h"
#include "core/QuotaminConfig.h"
#include "tests/support/TestSystem.h"

namespace quotamin {
namespace {

using testing::ReadBytes;
using testing::TestSystem;
using testing::WriteBytes;

TEST(NativeSystemTest, ReplacementTakesThePlaceOfTheOldFile) {
    TestSystem system;
    const std::string target = system.File("target.dat");
    const std::string pending = system.File("target.dat.new");
    WriteBytes(target, "old");
    {
        auto file = system.CreateForWriting(pending);
        ASSERT_TRUE(file);
        ASSERT_TRUE(file->Write("new content"));
        ASSERT_TRUE(file->Flush());
    }
    ASSERT_TRUE(system.ReplaceWith(pending, target));
    EXPECT_EQ(ReadBytes(target), "new content");
    EXPECT_FALSE(std::filesystem::exists(pending));
}

TEST(NativeSystemTest, SetLengthLeavesTheNextWriteWhereTheLastEnded) {
    TestSystem system;
    const std::string path = system.File("grown.dat");
    WriteBytes(path, "old");
    {
        auto file = system.OpenForRewriting(path);
        ASSERT_TRUE(file);
        ASSERT_TRUE(file->SetLength(8));
        ASSERT_TRUE(file->Write("new"));
        ASSERT_TRUE(file->SetLength(5));
        ASSERT_TRUE(file->Write("er"));
    }
    EXPECT_EQ(ReadBytes(path), std::string("newer", 5));
}

TEST(NativeSystemTest, CodePageBasics) {
    NativeSystem system;
    EXPECT_EQ(system.UpperCase(std::string("quiltbay\0x1z", 12)), std::string("QUILTBAY\0X1Z", 12));
    EXPECT_EQ(system.FromUtf16(u"abc\0def"), "abc");
    EXPECT_FALSE(system.IsLeadByte('a'));
}

#ifdef _WIN32

TEST(NativeSystemWin32Test, SettingsGoToTheRealWindowsDirectory) {
    NativeSystem system;
    const char* windir = std::getenv("windir");
    ASSERT_NE(windir, nullptr);
    EXPECT_TRUE(std::filesystem::equivalent(system.WindowsDirectory(), windir));

    QuotaminConfig config(system);
    const std::string user = "quotamin-test-" + std::to_string(std::rand());
    config.SetUser(user);
    const std::filesystem::path expected = std::filesystem::path(windir) / ("qm-" + user + ".dat");
    EXPECT_EQ(config.m_filePath, system.WindowsDirectory() + "\\qm-" + user + ".dat");
    EXPECT_EQ(std::filesystem::file_size(expected), 20u);
    std::filesystem::remove(expected);
}

TEST(NativeSystemWin32Test, FilesAreSharedWithNobodyWhileOpen) {
    TestSystem system;
    QuotaminConfig config(system);
    config.SetUser("bob");
    {
        auto held = system.OpenForReading(config.m_filePath);
        ASSERT_TRUE(held);
        EXPECT_FALSE(system.OpenForReading(config.m_filePath));
        EXPECT_FALSE(config.Load()) << "a file in use counts as one that cannot be opened";
    }
    EXPECT_TRUE(config.Load());
    {
        auto writing = system.CreateForWriting(system.File("busy.dat"));
        ASSERT_TRUE(writing);
        EXPECT_FALSE(system.OpenForReading(system.File("busy.dat")));
        EXPECT_FALSE(system.CreateForWriting(system.File("busy.dat")));
    }
}

TEST(NativeSystemWin32Test, ReplacedFilesKeepTheirAttributes) {
    TestSystem system;
    QuotaminConfig config(system);
    config.SetUser("bob");
    PasswordStore store(system);
    store.Save();
    for (const std::string& path : {config.m_filePath, store.FilePath()}) {
        ASSERT_TRUE(::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN));
    }
    config.m_minutesRemaining = 5;
    config.Save();
    store.SetPassword("hidden");
    store.Save();
    for (const std::string& path : {config.m_filePath, store.FilePath()}) {
        EXPECT_NE(::GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u) << path;
    }
    QuotaminConfig reread(system);
    reread.SetUser("bob");
    EXPECT_EQ(reread.m_minutesRemaining, 5);
}

TEST(NativeSystemWin32Test, FileHeldOpenByAnotherCannotBeOpenedForWriting) {
    TestSystem system;
    QuotaminConfig config(system);
    config.SetUser("bob");
    const std::string before = ReadBytes(config.m_filePath);
    auto held = system.OpenForReading(config.m_filePath);
    ASSERT_TRUE(held);
    config.m_minutesRemaining = 5;
    try {
        config.Save();
        FAIL() << "Save succeeded";
    } catch (const FileError& error) {
        EXPECT_EQ(std::string(error.what()), config.m_filePath + " - Can't open file for writing");
        EXPECT_EQ(error.SystemCode(), 32);  // ERROR_SHARING_VIOLATION
    }
    held.reset();
    EXPECT_EQ(ReadBytes(config.m_filePath), before);
    EXPECT_FALSE(std::filesystem::exists(config.m_filePath + ".new"));
}

// Windows finds a file under its short 8.3 name too: a user named like the
// password file's short name (PAS~1, say) must not get it as settings file.
TEST(NativeSystemWin32Test, UserNamedLikeThePasswordFilesShortNameNeverTouchesIt) {
    TestSystem system;
    PasswordStore store(system);
    store.SetPassword("s3cret");
    store.Save();
    const std::string before = ReadBytes(store.FilePath());
    char shortPath[MAX_PATH + 1] = {};
    ASSERT_GT(::GetShortPathNameA(store.FilePath().c_str(), shortPath, MAX_PATH), 0u);
    const std::string shortName =
        system.UpperCase(std::filesystem::path(shortPath).filename().string());
    if (shortName == "QM-PASSWORD.DAT") {
        GTEST_SKIP() << "this file system gives no short names";
    }
    ASSERT_TRUE(shortName.starts_with("QM-") && shortName.ends_with(".DAT")) << shortName;
    const std::string user = shortName.substr(3, shortName.size() - 7);
    ASSERT_EQ(ReadBytes(system.File("qm-" + user + ".dat")), before) << "the short name finds it";

    QuotaminConfig config(system);
    config.SetUser(user);
    EXPECT_EQ(config.m_filePath, system.File("qm-[" + user + "].dat"));
    config.m_minutesRemaining = 5;
    config.Save();
    EXPECT_EQ(ReadBytes(store.FilePath()), before);
    PasswordStore reread(system);
    ASSERT_TRUE(reread.Load());
    EXPECT_EQ(reread.GetPassword(), "s3cret");
    // Any other user keeps the usual name, also where it is a short name of nothing.
    QuotaminConfig other(system);
    other.SetUser("BOB~1");
    EXPECT_EQ(other.m_filePath, system.File("qm-BOB~1.dat"));
}

TEST(NativeSystemWin32Test, UpperCaseFollowsTheAnsiCodePage) {
    NativeSystem system;
    // In the Western code page the accented letters have capitals too.
    const std::string upper = system.UpperCase("caf\xE9");
    EXPECT_EQ(upper.substr(0, 3), "CAF");
    EXPECT_NE(upper[3], 'E');
    PasswordStore store(system);
    store.SetPassword("caf\xE9");
    EXPECT_TRUE(store.MatchesAnyCase(upper));
    EXPECT_EQ(system.FromUtf16(u"caf\u00E9"), "caf\xE9");
}

#else

TEST(NativeSystemPosixTest, FixedDirectoryOutsideWindows) {
    EXPECT_EQ(NativeSystem().WindowsDirectory(), "/var/lib/quotamin");
}

#endif

}  // namespace
}  // namespace quotamin
