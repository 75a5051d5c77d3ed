#include "core/Archive.h"

#include <algorithm>
#include <array>

#include "core/FileError.h"
#include "core/System.h"

namespace quotamin {

Archive::Archive(InputFile& file, std::string path) : m_file(&file), m_path(std::move(path)) {}

void Archive::WriteUInt8(std::uint8_t value) {
    m_stored.push_back(static_cast<char>(value));
}

void Archive::WriteUInt16(std::uint16_t value) {
    WriteUInt8(static_cast<std::uint8_t>(value));
    WriteUInt8(static_cast<std::uint8_t>(value >> 8));
}

void Archive::WriteUInt32(std::uint32_t value) {
    WriteUInt16(static_cast<std::uint16_t>(value));
    WriteUInt16(static_cast<std::uint16_t>(value >> 16));
}

void Archive::WriteInt32(std::int32_t value) {
    WriteUInt32(static_cast<std::uint32_t>(value));
}

void Archive::WriteBytes(std::string_view bytes) {
    m_stored.append(bytes);
}

void Archive::WriteCount(std::uint32_t count) {
    if (count < 0xFF) {
        WriteUInt8(static_cast<std::uint8_t>(count));
        return;
    }
    WriteUInt8(0xFF);
    if (count < 0xFFFE) {
        WriteUInt16(static_cast<std::uint16_t>(count));
        return;
    }
    WriteUInt16(0xFFFF);
    WriteUInt32(count);
}

void Archive::Fill(char* buffer, std::size_t size) {
    while (size > 0) {
        const std::size_t got = m_file->Read(buffer, size);
        if (got == 0) {
            throw FileError(m_path, kUnexpectedEnd, kNoSystemCode);
        }
        buffer += got;
        size -= got;
    }
}

std::uint8_t Archive::ReadUInt8() {
    char byte = 0;
    Fill(&byte, 1);
    return static_cast<std::uint8_t>(byte);
}

std::uint16_t Archive::ReadUInt16() {
    const std::uint16_t low = ReadUInt8();
    return static_cast<std::uint16_t>(low | (ReadUInt8() << 8));
}

std::uint32_t Archive::ReadUInt32() {
    const std::uint32_t low = ReadUInt16();
    return low | (static_cast<std::uint32_t>(ReadUInt16()) << 16);
}

std::int32_t Archive::ReadInt32() {
    return static_cast<std::int32_t>(ReadUInt32());
}

std::string Archive::ReadBytes(std::uint64_t count) {
    std::string bytes;
    if (count > bytes.max_size()) {
        throw FileError(m_path, kUnexpectedEnd, kNoSystemCode);
    }
    std::array<char, 64 * 1024> chunk;
    while (bytes.size() < count) {
        const auto wanted =
            static_cast<std::size_t>(std::min<std::uint64_t>(chunk.size(), count - bytes.size()));
        Fill(chunk.data(), wanted);
        bytes.append(chunk.data(), wanted);
    }
    return bytes;
}

}  // namespace quotamin
