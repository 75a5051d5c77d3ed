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
    }
    held.reset();
    EXPECT_EQ(ReadBytes(config.m_filePath), before);
    EXPECT_FALSE(std::filesystem::exists(config.m_filePath + ".new"));
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
