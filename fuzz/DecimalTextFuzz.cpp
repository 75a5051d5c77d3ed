// Any text as typed into a minutes box: the conversion agrees with the C
// library's strtoll in the "C" locale, held at the ends of the 32-bit range,
// over the text up to its first zero byte, as the dialog hands it over.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>

#include "core/DecimalText.h"
#include "fuzz/Require.h"

using quotamin::ParseDecimal;
using quotamin::fuzzing::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const char* text = bytes.c_str();
    const long long wide = std::strtoll(text, nullptr, 10);
    const auto reference = static_cast<std::int32_t>(std::clamp<long long>(
        wide, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
    Require(ParseDecimal(text) == reference, "the text converts as strtoll, held to 32 bits");
    Require(ParseDecimal(bytes) == reference, "a zero byte ends the number");
    return 0;
}
