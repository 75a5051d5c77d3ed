#pragma once
// The bytes of a settings file, as tests write and read them.

#include <cstdint>
#include <string>

namespace quotamin::testing {

inline std::string Int32Bytes(std::int32_t value) {
    std::string bytes;
    for (int i = 0; i < 4; ++i) {
        bytes += static_cast<char>(static_cast<std::uint32_t>(value) >> (8 * i));
    }
    return bytes;
}

inline std::int32_t Int32At(const std::string& bytes, std::size_t offset) {
    std::uint32_t value = 0;
    for (std::size_t i = 4; i-- > 0;) {
        value = value << 8 | static_cast<unsigned char>(bytes.at(offset + i));
    }
    return static_cast<std::int32_t>(value);
}

// The five values in the file's order.
inline std::string SettingsRecord(std::int32_t enabled, std::int32_t allowed,
                                  std::int32_t remaining, std::int32_t logoff, std::int32_t day) {
    return Int32Bytes(enabled) + Int32Bytes(allowed) + Int32Bytes(remaining) + Int32Bytes(logoff) +
           Int32Bytes(day);
}

}  // namespace quotamin::testing
