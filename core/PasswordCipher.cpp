#include "core/PasswordCipher.h"

namespace quotamin {

namespace {

std::string Shift(std::string_view text, int direction) {
    std::string result(text);
    if (result.empty()) {
        return result;
    }
    const auto first = static_cast<unsigned char>(result[0]);
    for (std::size_t i = 1; i < result.size(); ++i) {
        const int key = PasswordCipher::KeyValue(static_cast<unsigned>(first + i));
        const int byte = static_cast<unsigned char>(result[i]);
        result[i] = static_cast<char>(static_cast<unsigned char>(byte + direction * key));
    }
    return result;
}

}  // namespace

int PasswordCipher::KeyValue(unsigned position) {
    const char digit = kKey[position % kKey.size()];
    return digit <= '9' ? digit - '0' : digit - 55;
}

std::string PasswordCipher::Encipher(std::string_view plain) {
    return Shift(plain, +1);
}

std::string PasswordCipher::Decipher(std::string_view scrambled) {
    return Shift(scrambled, -1);
}

}  // namespace quotamin
