#include "log/LineStream.h"

namespace quotamin {

LineStream& LineStream::operator<<(std::uint32_t number) {
    char digits[10];
    char* first = digits + sizeof digits;
    do {
        *--first = static_cast<char>('0' + number % 10);
        number /= 10;
    } while (number != 0);
    m_text.append(first, digits + sizeof digits);
    return *this;
}

LineStream& LineStream::operator<<(std::int32_t number) {
    if (number < 0) {
        m_text.push_back('-');
        // In unsigned arithmetic, so that the most negative number has its magnitude too.
        return *this << static_cast<std::uint32_t>(0u - static_cast<std::uint32_t>(number));
    }
    return *this << static_cast<std::uint32_t>(number);
}

}  // namespace quotamin
