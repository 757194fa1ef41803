#include "runtime/text.h"

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

#include "error_number.h"
#include "runtime/runtime_error.h"

namespace tw {
namespace {

using tw::testing::errorNumberOf;

TEST(TextHelpers, PositionsCountFromOneAndInvalidOnesRaiseInvalidArgument) {
    EXPECT_EQ(mid("Caer Wendmoor", 6), "Wendmoor");
    EXPECT_EQ(mid("Caer Wendmoor", 1, 4), "Caer");
    EXPECT_EQ(mid("abc", 3, 10), "c");
    EXPECT_EQ(mid("abc", 4), "");
    EXPECT_EQ(inStr("<server name=\"A\">", "name"), 9);
    EXPECT_EQ(inStr("abc", "abcd"), 0);
    const std::tuple<int, const char*, const char*, int> starts[] = {
        {10, "<a><a>", "<a>", 0}, {2, "<a><a>", "<a>", 4}, {2, "abc", "", 2}, {7, "abc", "", 0}};
    for (const auto& [from, text, sought, at] : starts) EXPECT_EQ(inStr(from, text, sought), at) << from << text;
    EXPECT_EQ(inStrRev("a.b.c", "."), 4);
    EXPECT_EQ(inStrRev("a.b.c", ".", 3), 2);
    EXPECT_EQ(inStrRev("abc", "bc", 2), 0);

    const std::function<void()> invalid[] = {[] { mid("abc", 0); },          [] { mid("abc", 1, -2); },
                                             [] { leftOf("abc", -1); },      [] { rightOf("abc", -1); },
                                             [] { inStr(0, "abc", "a"); },   [] { inStrRev("abc", "a", 0); },
                                             [] { repeatChar(-1, ' '); }};
    for (std::size_t i = 0; i < std::size(invalid); ++i) EXPECT_EQ(errorNumberOf(invalid[i]), kErrInvalidArgument) << i;
}

TEST(TextHelpers, TrimCaseReplaceAndSplit) {
    EXPECT_EQ(trimSpaces("  -startup \t "), "-startup \t");  // spaces only
    EXPECT_EQ(trimLeftSpaces("  a "), "a ");
    EXPECT_EQ(trimRightSpaces("  a "), "  a");
    EXPECT_EQ(lowerCase("-STARTUP Ä"), "-startup Ä");
    EXPECT_EQ(replaceAll("Stone Bridge", " ", "_"), "Stone_Bridge");
    EXPECT_EQ(replaceAll("aaa", "aa", "b"), "ba");
    EXPECT_EQ(splitText("a,b,,c", ","), (std::vector<Text>{"a", "b", "", "c"}));
    EXPECT_TRUE(splitText("", ",").empty());
    EXPECT_EQ(splitText("a\r\nb\r\n", "\r\n"), (std::vector<Text>{"a", "b", ""}));
}

TEST(TextHelpers, LeadingValueNeverFails) {
    const std::pair<const char*, double> rows[] = {{"42abc", 42}, {" 1 2", 12}, {"abc", 0},    {"", 0},
                                                   {"-3.5e2x", -350}, {"&H1a", 26}, {"1e999999", 0}};
    for (const auto& [text, value] : rows) EXPECT_EQ(leadingValue(text), value) << text;
}

}  // namespace
}  // namespace tw
