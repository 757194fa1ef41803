#include "runtime/conversions.h"

#include <gtest/gtest.h>

#include "error_number.h"
#include "runtime/runtime_error.h"

namespace tw {
namespace {

using tw::testing::errorNumberOf;

TEST(StoredNumbers, DecimalTextConverts) {
    // Halves round to even.
    for (auto [text, value] : {std::pair{"3", 3}, {" 1 ", 1}, {"-2", -2}, {"2.5", 2}, {"3.5", 4}, {"&H10", 16}})
        EXPECT_EQ(toInt16(text), value) << text;
    EXPECT_EQ(toInt32("100000"), 100000);
    EXPECT_DOUBLE_EQ(toDouble("1e3"), 1000);
}

TEST(StoredNumbers, TextThatIsNoNumberIsATypeMismatchAndOutOfRangeAnOverflow) {
    for (const char* bad : {"", "   ", "abc", "1x", "--1", ".", "1e", "1 2"})
        EXPECT_EQ(errorNumberOf([&] { toInt16(bad); }), kErrTypeMismatch) << '"' << bad << '"';
    for (const char* outside : {"32768", "-32769"}) EXPECT_EQ(errorNumberOf([&] { toInt16(outside); }), kErrOverflow);
    EXPECT_EQ(toInt16("-32768"), -32768);
    EXPECT_EQ(errorNumberOf([] { toInt32("2147483648"); }), kErrOverflow);
    EXPECT_EQ(errorNumberOf([] { toDouble("1e999"); }), kErrOverflow);
}

}  // namespace
}  // namespace tw
