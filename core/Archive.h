#pragma once
// A little-endian byte stream in one of two directions: storing collects the
// bytes of a record in memory, loading reads them from an open file. Loading
// past the end of the file throws FileError.

#include <cstdint>
#include <string>
#include <string_view>

namespace quotamin {

class InputFile;

class Archive {
  public:
    // A storing archive; its bytes are in StoredBytes().
    Archive() = default;
    // A loading archive over `file`; `path` names the file in errors.
    Archive(InputFile& file, std::string path);

    bool IsStoring() const { return m_file == nullptr; }
    const std::string& StoredBytes() const { return m_stored; }

    void WriteUInt8(std::uint8_t value);
    void WriteUInt16(std::uint16_t value);
    void WriteUInt32(std::uint32_t value);
    void WriteInt32(std::int32_t value);
    void WriteBytes(std::string_view bytes);

    std::uint8_t ReadUInt8();
    std::uint16_t ReadUInt16();
    std::uint32_t ReadUInt32();
    std::int32_t ReadInt32();
    // Reads exactly `count` bytes. Memory grows with what the file really holds,
    // never with what `count` announces.
    std::string ReadBytes(std::uint64_t count);

    // A length in the shortest of three forms: one byte up to 254; FF and 16
    // bits up to 65533; FF FF FF and 32 bits above.
    void WriteCount(std::uint32_t count);

  private:
    void Fill(char* buffer, std::size_t size);

    InputFile* m_file = nullptr;
    std::string m_path;
    std::string m_stored;
};

}  // namespace quotamin
