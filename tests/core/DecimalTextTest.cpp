#include "core/DecimalText.h"

#include <gtest/gtest.h>

namespace quotamin {
namespace {

TEST(DecimalTextTest, ReadsLikeAtoiAndClampsBeyondTheRange) {
    struct Case {
        const char* text;
        std::int32_t value;
    } cases[] = {
        {"30", 30},
        {"12abc", 12},
        {" 30", 30},
        {"\t\n\v\f\r 7", 7},
        {"+20", 20},
        {"-5", -5},
        {"", 0},
        {"   ", 0},
        {"abc", 0},
        {"+", 0},
        {"+-3", 0},
        {"- 3", 0},
        {"0001440", 1440},
        {"2147483647", 2147483647},
        {"2147483648", 2147483647},
        {"4294967306", 2147483647},  // 2^32 + 10: must not wrap to 10
        {"99999999999999999999999", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"-2147483649", -2147483647 - 1},
        {"-4294967286", -2147483647 - 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseDecimal(c.text), c.value) << '"' << c.text << '"';
    }
}

}  // namespace
}  // namespace quotamin
