// Any text: enciphering keeps its length and first byte, and deciphering
// gives it back, in both orders.

#include <cstdint>

#include "core/PasswordCipher.h"
#include "fuzz/Require.h"

using quotamin::PasswordCipher;
using quotamin::fuzzing::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string scrambled = PasswordCipher::Encipher(text);
    Require(scrambled.size() == text.size(), "enciphering keeps the length");
    Require(text.empty() || scrambled[0] == text[0], "enciphering keeps the first byte");
    Require(PasswordCipher::Decipher(scrambled) == text, "Decipher(Encipher(x)) == x");
    Require(PasswordCipher::Encipher(PasswordCipher::Decipher(text)) == text,
            "Encipher(Decipher(x)) == x");
    return 0;
}
