#include "settings/option_values.h"

#include <gtest/gtest.h>

namespace tw {
namespace {

TEST(StoredListIndex, PositionsOutsideTheListOrNotNumbersPickTheFirstEntry) {
    struct Row {
        const char* text;
        int count;
        int expected;
    };
    const Row rows[] = {
        {"0", 4, 0},         {"3", 4, 3},          {" 2 ", 4, 2},   {"1", 2, 1},
        {"2", 2, 0},         {"4", 4, 0},          {"-1", 4, 0},    {"", 4, 0},
        {"abc", 4, 0},       {"2x", 4, 0},         {"99999999999", 4, 0},
        {"1", 1, 0},         {"0", 0, 0},
    };
    for (const Row& row : rows)
        EXPECT_EQ(storedListIndex(row.text, row.count), row.expected)
            << '"' << row.text << "\" in a list of " << row.count;
}

TEST(StoredCheckValue, OnlyTheNumberOneTicks) {
    EXPECT_EQ(storedCheckValue("1"), 1);
    EXPECT_EQ(storedCheckValue(" 1"), 1);
    EXPECT_EQ(storedCheckValue("0"), 0);
    EXPECT_EQ(storedCheckValue("2"), 0);
    EXPECT_EQ(storedCheckValue("-1"), 0);
    EXPECT_EQ(storedCheckValue(""), 0);
    EXPECT_EQ(storedCheckValue("yes"), 0);
}

}  // namespace
}  // namespace tw
