#include "core/PasswordStore.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/FileError.h"
#include "core/PasswordCipher.h"
#include "tests/support/TestSystem.h"

namespace quotamin {
namespace {

using testing::ReadBytes;
using testing::TestSystem;
using testing::WriteBytes;

TEST(PasswordCipherTest, FirstByteChoosesTheKeyPositionsAndBytesWrapAround) {
    // Key digit 7 of the key is worth 5; a first byte of 6 puts byte 1 there.
    ASSERT_EQ(PasswordCipher::KeyValue(7), 5);
    EXPECT_EQ(PasswordCipher::Encipher(std::string("\x06\xFE", 2)), std::string("\x06\x03", 2));
    EXPECT_EQ(PasswordCipher::Decipher(std::string("\x06\x03", 2)), std::string("\x06\xFE", 2));
    // A first byte of 200 uses key digits 9 and 10 for bytes 1 and 2.
    const int nine = PasswordCipher::KeyValue(9);
    const int ten = PasswordCipher::KeyValue(10);
    EXPECT_EQ(PasswordCipher::Encipher("\xC8"
                                       "AA"),
              std::string("\xC8") + static_cast<char>('A' + nine) + static_cast<char>('A' + ten));
    EXPECT_EQ(PasswordCipher::Encipher(""), "");
    EXPECT_EQ(PasswordCipher::Encipher("q"), "q");
}

TEST(PasswordCipherTest, KeyIsSixteenUpperCaseHexDigits) {
    ASSERT_EQ(PasswordCipher::kKey.size(), 16u);
    for (const char digit : PasswordCipher::kKey) {
        EXPECT_TRUE((digit >= '0' && digit <= '9') || (digit >= 'A' && digit <= 'F')) << digit;
    }
}

TEST(PasswordCipherTest, DecipherUndoesEncipherForEveryKindOfByte) {
    std::string everyByte;
    for (int b = 0; b < 256; ++b) {
        everyByte += static_cast<char>(b);
    }
    const std::string texts[] = {"quiltbay", std::string("a\0b\0", 4), "\xFF\xF5\xF0\x80\x01",
                                 everyByte, std::string(3000, '\xFA')};
    for (const std::string& text : texts) {
        const std::string scrambled = PasswordCipher::Encipher(text);
        EXPECT_EQ(scrambled.size(), text.size());
        EXPECT_EQ(PasswordCipher::Decipher(scrambled), text);
    }
}

class PasswordStoreTest : public ::testing::Test {
  protected:
    std::string FilePath() { return system.File("qm-password.dat"); }

    TestSystem system;
};

TEST_F(PasswordStoreTest, WithoutAFileTheInitialPasswordHolds) {
    PasswordStore store(system);
    EXPECT_EQ(store.FilePath(), system.WindowsDirectory() + kPathSeparator + "qm-password.dat");
    EXPECT_FALSE(store.Load());
    EXPECT_EQ(store.GetPassword(), "quiltbay");
    for (const char* typed : {"quiltbay", "QUILTBAY", "QuiltBay"}) {
        EXPECT_TRUE(store.MatchesAnyCase(typed)) << typed;
    }
    EXPECT_TRUE(store.MatchesExactly("quiltbay"));
    EXPECT_FALSE(store.MatchesExactly("QUILTBAY"));
    EXPECT_FALSE(store.MatchesAnyCase("quiltba"));
    EXPECT_FALSE(std::filesystem::exists(FilePath()));
}

struct PrefixCase {
    std::size_t length;
    std::string prefix;
};

TEST_F(PasswordStoreTest, SavedFileIsThePrefixThenTheScrambledText) {
    const PrefixCase cases[] = {
        {1, "\x01"},
        {254, "\xFE"},
        {255, std::string("\xFF\xFF\x00", 3)},
        {65533, "\xFF\xFD\xFF"},
        {65534, std::string("\xFF\xFF\xFF\xFE\xFF\x00\x00", 7)},
    };
    for (const PrefixCase& c : cases) {
        const std::string password(c.length, 'k');
        PasswordStore store(system);
        store.SetPassword(password);
        store.Save();
        const std::string file = ReadBytes(FilePath());
        EXPECT_EQ(file.size(), c.prefix.size() + c.length) << c.length;
        EXPECT_EQ(file.substr(0, c.prefix.size()), c.prefix) << c.length;
        EXPECT_EQ(file.substr(c.prefix.size()), PasswordCipher::Encipher(password)) << c.length;
        PasswordStore reloaded(system);
        ASSERT_TRUE(reloaded.Load());
        EXPECT_EQ(reloaded.GetPassword(), password);
    }
}

TEST_F(PasswordStoreTest, OneCharacterPasswordGivesTwoBytes) {
    PasswordStore store(system);
    store.SetPassword("Z");
    store.Save();
    EXPECT_EQ(ReadBytes(FilePath()), "\x01Z");
}

TEST_F(PasswordStoreTest, ReadsEveryPrefixFormAndIgnoresTrailingBytes) {
    const std::string scrambled = PasswordCipher::Encipher("secret");
    const std::string forms[] = {
        "\x06" + scrambled + "trailing",
        std::string("\xFF\x06\x00", 3) + scrambled,
        std::string("\xFF\xFF\xFF\x06\x00\x00\x00", 7) + scrambled,
    };
    for (const std::string& file : forms) {
        WriteBytes(FilePath(), file);
        PasswordStore store(system);
        ASSERT_TRUE(store.Load());
        EXPECT_EQ(store.GetPassword(), "secret");
    }
}

TEST_F(PasswordStoreTest, ReadsTheSixteenBitFormThroughTheCodePage) {
    const std::string scrambled = PasswordCipher::Encipher("abc");
    std::string file("\xFF\xFE\xFF\x03", 4);
    for (const char c : scrambled) {
        file += c;
        file += '\0';
    }
    WriteBytes(FilePath(), file);
    PasswordStore store(system);
    ASSERT_TRUE(store.Load());
    EXPECT_EQ(store.GetPassword(), "abc");
}

TEST_F(PasswordStoreTest, SingleZeroByteIsAnEmptyPassword) {
    WriteBytes(FilePath(), std::string(1, '\0'));
    PasswordStore store(system);
    ASSERT_TRUE(store.Load());
    EXPECT_EQ(store.GetPassword(), "");
    EXPECT_TRUE(store.MatchesAnyCase(""));
    EXPECT_FALSE(store.MatchesAnyCase("quiltbay"));
}

TEST_F(PasswordStoreTest, FileShorterThanItsPrefixIsAReadErrorNotAMissingFile) {
    const std::string files[] = {
        "",
        "\x05"
        "ab",
        "\xFF",
        std::string("\xFF\xFF\xFF\xFF\xFF\xFF\xFF", 7) + "tiny",  // announces 4 GiB
        std::string("\xFF\xFE\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF", 10),
    };
    for (const std::string& file : files) {
        WriteBytes(FilePath(), file);
        PasswordStore store(system);
        try {
            store.Load();
            FAIL() << "Load succeeded for a file of " << file.size() << " bytes";
        } catch (const FileError& error) {
            EXPECT_EQ(std::string(error.what()), FilePath() + " - Unexpected end of file");
            EXPECT_EQ(error.SystemCode(), kNoSystemCode);
        }
        EXPECT_EQ(store.GetPassword(), "quiltbay");
    }
}

TEST_F(PasswordStoreTest, SaveThatCannotCreateItsFileLeavesTheOldOne) {
    PasswordStore store(system);
    store.SetPassword("first");
    store.Save();
    const std::string before = ReadBytes(FilePath());
    const auto cannotCreate = TestSystem::Failure::Create | TestSystem::Failure::Rewrite;
    for (auto failure : {cannotCreate, TestSystem::Failure::ShortWrite}) {
        system.failure = failure;
        store.SetPassword("second");
        EXPECT_THROW(store.Save(), FileError);
        EXPECT_EQ(ReadBytes(FilePath()), before);
    }
    system.failure = cannotCreate;
    try {
        store.Save();
        FAIL() << "Save succeeded although its file could not be created";
    } catch (const FileError& error) {
        EXPECT_EQ(std::string(error.what()), FilePath() + " - Can't open file for writing");
    }
}

// Where no file can be made beside it, the file is written in place; one
// that must grow is grown first, and either way ends up holding just the new
// file.
TEST_F(PasswordStoreTest, WritingInPlaceLeavesExactlyTheNewFileLongerOrShorter) {
    PasswordStore store(system);
    store.SetPassword("mid size");
    store.Save();
    system.failure = TestSystem::Failure::Create;
    for (const std::string password : {"a much longer password than before", "short", "x"}) {
        store.SetPassword(password);
        store.Save();
        EXPECT_EQ(ReadBytes(FilePath()),
                  static_cast<char>(password.size()) + PasswordCipher::Encipher(password));
    }
}

TEST_F(PasswordStoreTest, ComparisonStopsAtAZeroByteAndDoesNotTrim) {
    PasswordStore store(system);
    EXPECT_TRUE(store.TextsMatchExactly(std::string("ab\0c", 4), "ab"));
    EXPECT_FALSE(store.TextsMatchExactly(" ab", "ab"));
    EXPECT_FALSE(store.TextsMatchExactly("ab ", "ab"));
    store.SetPassword(" pass ");
    EXPECT_TRUE(store.MatchesExactly(" pass "));
    EXPECT_TRUE(store.MatchesAnyCase(" PASS "));
    EXPECT_FALSE(store.MatchesAnyCase("PASS"));
}

}  // namespace
}  // namespace quotamin
