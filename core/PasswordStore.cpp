#include "core/PasswordStore.h"

#include <vector>

#include "core/AtomicFile.h"
#include "core/FileError.h"
#include "core/PasswordCipher.h"
#include "core/System.h"

namespace quotamin {

namespace {

constexpr std::uint16_t kWideMarker = 0xFFFE;
constexpr std::uint16_t kLongMarker = 0xFFFF;

// The characters of a text up to its first zero byte; a lead byte with no
// byte after it is dropped.
std::vector<std::string> Characters(System& system, const std::string& text) {
    std::vector<std::string> characters;
    const std::size_t end = text.find('\0');
    const std::size_t size = end == std::string::npos ? text.size() : end;
    for (std::size_t i = 0; i < size; ++i) {
        if (system.IsLeadByte(text[i])) {
            if (i + 1 < size) {
                characters.push_back(text.substr(i, 2));
                ++i;
            }
        } else {
            characters.emplace_back(1, text[i]);
        }
    }
    return characters;
}

// The length prefix after its first byte was FF and the next 16 bits were not
// the wide-text marker.
std::uint64_t CountAfterShortForm(Archive& archive, std::uint16_t shortForm) {
    return shortForm == kLongMarker ? archive.ReadUInt32() : shortForm;
}

}  // namespace

PasswordStore::PasswordStore(System& system)
    : m_filePath(system.WindowsDirectory() + kPathSeparator + kFileName), m_system(system) {}

bool PasswordStore::Load() {
    auto file = m_system.OpenForReading(m_filePath);
    if (!file) {
        return false;
    }
    Archive archive(*file, m_filePath);
    Serialize(archive);
    return true;
}

void PasswordStore::Save() {
    Archive archive;
    Serialize(archive);
    ReplaceFileContent(m_system, m_filePath, archive.StoredBytes());
}

void PasswordStore::Serialize(Archive& archive) {
    if (archive.IsStoring()) {
        const std::string scrambled = PasswordCipher::Encipher(m_password);
        archive.WriteCount(static_cast<std::uint32_t>(scrambled.size()));
        archive.WriteBytes(scrambled);
    } else {
        m_password = PasswordCipher::Decipher(ReadText(archive));
    }
}

std::string PasswordStore::ReadText(Archive& archive) {
    const std::uint8_t first = archive.ReadUInt8();
    if (first < 0xFF) {
        return archive.ReadBytes(first);
    }
    const std::uint16_t shortForm = archive.ReadUInt16();
    if (shortForm != kWideMarker) {
        return archive.ReadBytes(CountAfterShortForm(archive, shortForm));
    }
    // Text held in 16-bit characters: a second prefix counts the characters.
    const std::uint8_t wideFirst = archive.ReadUInt8();
    const std::uint64_t characters =
        wideFirst < 0xFF ? wideFirst : CountAfterShortForm(archive, archive.ReadUInt16());
    const std::string bytes = archive.ReadBytes(characters * 2);
    std::u16string wide(static_cast<std::size_t>(characters), u'\0');
    for (std::size_t i = 0; i < wide.size(); ++i) {
        wide[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                        static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
    }
    return m_system.FromUtf16(wide);
}

bool PasswordStore::TextsMatchExactly(const std::string& a, const std::string& b) const {
    return Characters(m_system, a) == Characters(m_system, b);
}

bool PasswordStore::MatchesExactly(const std::string& text) const {
    return TextsMatchExactly(m_password, text);
}

bool PasswordStore::MatchesAnyCase(const std::string& text) const {
    return TextsMatchExactly(m_system.UpperCase(m_password), m_system.UpperCase(text));
}

}  // namespace quotamin
