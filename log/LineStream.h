#pragma once
// The text of one log line as its caller writes it: text pieces as they are,
// characters, and 32-bit integers in decimal with no padding, no grouping and
// no "+" sign. Nothing else can be written into it, which is all a log line
// needs, so the line takes neither the stream library nor locales into the
// program file.

#include <cstdint>
#include <string>
#include <string_view>

namespace quotamin {

class LineStream {
  public:
    LineStream& operator<<(std::string_view text) {
        m_text.append(text);
        return *this;
    }
    LineStream& operator<<(char c) {
        m_text.push_back(c);
        return *this;
    }
    LineStream& operator<<(std::int32_t number);
    LineStream& operator<<(std::uint32_t number);

    const std::string& Text() const { return m_text; }

  private:
    std::string m_text;
};

}  // namespace quotamin
