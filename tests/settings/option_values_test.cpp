#include "settings/option_values.h"

#include <gtest/gtest.h>

namespace tw {
namespace {

TEST(StoredOptionValues, PositionsOutsideTheListOrNotNumbersPickTheFirstEntryAndOnlyOneTicks) {
    const struct {
        const char* text;
        int count, expected;
    } rows[] = {
        {"3", 4, 3},  {" 2 ", 4, 2}, {"2", 2, 0},   {"4", 4, 0}, {"-1", 4, 0},          {"", 4, 0},
        {"abc", 4, 0}, {"2x", 4, 0}, {"99999999999", 4, 0},   {"1", 1, 0}, {"0", 0, 0},
    };
    for (const auto& row : rows)
        EXPECT_EQ(storedListIndex(row.text, row.count), row.expected)
            << '"' << row.text << "\" in a list of " << row.count;
    for (const char* ticks : {"1", " 1"}) EXPECT_EQ(storedCheckValue(ticks), 1) << ticks;
    for (const char* clear : {"0", "2", "-1", "", "yes"}) EXPECT_EQ(storedCheckValue(clear), 0) << clear;
}

}  // namespace
}  // namespace tw
