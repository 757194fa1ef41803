#include "runtime/text.h"

#include <gtest/gtest.h>

#include "error_number.h"
#include "runtime/runtime_error.h"

namespace tw {
namespace {

using tw::testing::errorNumberOf;

TEST(TextHelpers, MidCountsFromOneAndStopsAtTheEnd) {
    EXPECT_EQ(mid("Caer Benowyc", 6), "Benowyc");
    EXPECT_EQ(mid("Caer Benowyc", 1, 4), "Caer");
    EXPECT_EQ(mid("abc", 3, 10), "c");
    EXPECT_EQ(mid("abc", 4), "");
    EXPECT_EQ(mid("abc", 2, 0), "");
}

TEST(TextHelpers, InvalidStartsAndLengthsRaiseInvalidArgument) {
    EXPECT_EQ(errorNumberOf([] { mid("abc", 0); }), kErrInvalidArgument);
    EXPECT_EQ(errorNumberOf([] { mid("abc", 1, -2); }), kErrInvalidArgument);
    EXPECT_EQ(errorNumberOf([] { leftOf("abc", -1); }), kErrInvalidArgument);
    EXPECT_EQ(errorNumberOf([] { rightOf("abc", -1); }), kErrInvalidArgument);
    EXPECT_EQ(errorNumberOf([] { inStr(0, "abc", "a"); }), kErrInvalidArgument);
    EXPECT_EQ(errorNumberOf([] { inStrRev("abc", "a", 0); }), kErrInvalidArgument);
    EXPECT_EQ(errorNumberOf([] { repeatChar(-1, ' '); }), kErrInvalidArgument);
}

TEST(TextHelpers, InStrFindsOneBasedPositionsOrZero) {
    EXPECT_EQ(inStr("<server name=\"A\">", "name"), 9);
    EXPECT_EQ(inStr(10, "<a><a>", "<a>"), 0);
    EXPECT_EQ(inStr(2, "<a><a>", "<a>"), 4);
    EXPECT_EQ(inStr("", "x"), 0);
    EXPECT_EQ(inStr(2, "abc", ""), 2);
    EXPECT_EQ(inStr(7, "abc", ""), 0);
    EXPECT_EQ(inStr("abc", "abcd"), 0);
    EXPECT_EQ(inStrRev("a.b.c", "."), 4);
    EXPECT_EQ(inStrRev("a.b.c", ".", 3), 2);
    EXPECT_EQ(inStrRev("abc", "bc", 2), 0);
}

TEST(TextHelpers, TrimmingTouchesSpacesOnly) {
    EXPECT_EQ(trimSpaces("  -startup \t "), "-startup \t");
    EXPECT_EQ(trimSpaces("   "), "");
    EXPECT_EQ(trimLeftSpaces("  a "), "a ");
    EXPECT_EQ(trimRightSpaces("  a "), "  a");
}

TEST(TextHelpers, CaseReplaceAndSplit) {
    EXPECT_EQ(lowerCase("-STARTUP Ä"), "-startup Ä");
    EXPECT_EQ(replaceAll("Lancelot Lake", " ", "_"), "Lancelot_Lake");
    EXPECT_EQ(replaceAll("aaa", "aa", "b"), "ba");
    EXPECT_EQ(splitText("a,b,,c", ","), (std::vector<Text>{"a", "b", "", "c"}));
    EXPECT_TRUE(splitText("", ",").empty());
    EXPECT_EQ(splitText("a\r\nb\r\n", "\r\n"), (std::vector<Text>{"a", "b", ""}));
}

TEST(TextHelpers, LeadingValueNeverFails) {
    EXPECT_EQ(leadingValue("42abc"), 42);
    EXPECT_EQ(leadingValue(" 1 2"), 12);
    EXPECT_EQ(leadingValue("abc"), 0);
    EXPECT_EQ(leadingValue(""), 0);
    EXPECT_EQ(leadingValue("-3.5e2x"), -350);
    EXPECT_EQ(leadingValue("&H1a"), 26);
    EXPECT_EQ(leadingValue("1e999999"), 0);
}

}  // namespace
}  // namespace tw
