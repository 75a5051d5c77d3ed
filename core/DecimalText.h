#pragma once
// Numbers typed by the administrator, read the way the C library's atoi reads
// them in the "C" locale: leading white space, one optional sign, then digits
// up to the first other character; no digits give 0. A number beyond the
// 32-bit range is held at the nearest end of the range instead of wrapping
// around, so that it can never land inside a range check by accident.

#include <cstdint>
#include <string_view>

namespace quotamin {

std::int32_t ParseDecimal(std::string_view text);

}  // namespace quotamin
