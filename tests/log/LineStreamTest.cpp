#include "log/LineStream.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>

namespace quotamin {
namespace {

// Numbers in plain decimal: a minus sign only for negative ones, no padding,
// no grouping, no plus sign, and both ends of each range whole.
TEST(LineStreamTest, NumbersInPlainDecimal) {
    struct Case {
        std::int64_t number;
        bool isSigned;
        const char* text;
    } cases[] = {
        {0, true, "0"},
        {7, true, "7"},
        {-1, true, "-1"},
        {1234567, true, "1234567"},
        {INT32_MAX, true, "2147483647"},
        {INT32_MIN, true, "-2147483648"},
        {0, false, "0"},
        {10, false, "10"},
        {UINT32_MAX, false, "4294967295"},
    };
    for (const Case& c : cases) {
        LineStream line;
        if (c.isSigned) {
            line << static_cast<std::int32_t>(c.number);
        } else {
            line << static_cast<std::uint32_t>(c.number);
        }
        EXPECT_EQ(line.Text(), c.text) << c.number;
    }
}

TEST(LineStreamTest, PiecesFollowEachOtherAsWritten) {
    LineStream line;
    const std::string name = "writer";
    line << name << ' ' << std::int32_t{-3} << " line " << std::uint32_t{12} << '\n' << "";
    EXPECT_EQ(line.Text(), "writer -3 line 12\n");
}

}  // namespace
}  // namespace quotamin
