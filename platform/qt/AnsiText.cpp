#include "platform/qt/AnsiText.h"

#include <array>

namespace quotamin {

namespace {

// Bytes 0x80 to 0x9F, where Windows-1252 differs from Latin-1. The five bytes
// the code page leaves undefined map to the control characters of the same
// value, as Windows maps them.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

}  // namespace

QString FromAnsi(const std::string& text) {
    QString result;
    result.reserve(static_cast<qsizetype>(text.size()));
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        result.append(QChar(byte >= 0x80 && byte < 0xA0 ? kHighControls[byte - 0x80]
                                                        : static_cast<char16_t>(byte)));
    }
    return result;
}

std::string ToAnsi(const QString& text) {
    std::string result;
    result.reserve(static_cast<std::size_t>(text.size()));
    for (qsizetype at = 0; at < text.size(); ++at) {
        const char16_t unit = text[at].unicode();
        char byte = '?';
        // A character beyond the first 65,536 is one '?', not one for each half.
        if (text[at].isHighSurrogate() && at + 1 < text.size() && text[at + 1].isLowSurrogate()) {
            ++at;
        }
        if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) {
            byte = static_cast<char>(unit);
        } else {
            for (std::size_t i = 0; i < kHighControls.size(); ++i) {
                if (kHighControls[i] == unit) {
                    byte = static_cast<char>(0x80 + i);
                    break;
                }
            }
        }
        result.push_back(byte);
    }
    return result;
}

}  // namespace quotamin
