#pragma once
// Scrambles the administrator password for its file. The first byte stays as
// it is and chooses where in the key the other bytes start; each later byte is
// shifted by one key digit, wrapping around at 256.

#include <string>
#include <string_view>

namespace quotamin {

class PasswordCipher {
  public:
    static std::string Encipher(std::string_view plain);
    static std::string Decipher(std::string_view scrambled);

    // Fixed for good: every password file ever written depends on it.
    static constexpr std::string_view kKey = "7C3A9E15B04F6D28";
    // The shift of the key digit at `position` (counted from 0, modulo 16).
    static int KeyValue(unsigned position);
};

}  // namespace quotamin
