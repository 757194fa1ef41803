#include "runtime/utf8.h"

#include <gtest/gtest.h>

namespace tw {
namespace {

TEST(LeadingCharactersWithin, EndsBeforeACharacterThatWouldNotFitAndCutsOtherTextAtTheLimit) {
    const std::string dun = "D\xc3\xban";               // 2-byte "u acute"
    const std::string dash = "a\xe2\x80\x94z";          // 3-byte em dash
    const std::string castle = "x\xf0\x9f\x8f\xb0y";    // 4-byte character
    EXPECT_EQ(leadingCharactersWithin(dun, 10), dun);
    EXPECT_EQ(leadingCharactersWithin(dun, 4), dun);
    EXPECT_EQ(leadingCharactersWithin(dun, 3), "D\xc3\xba");
    EXPECT_EQ(leadingCharactersWithin(dun, 2), "D");
    EXPECT_EQ(leadingCharactersWithin(dash, 3), "a");
    EXPECT_EQ(leadingCharactersWithin(dash, 4), "a\xe2\x80\x94");
    for (std::size_t limit : {2u, 3u, 4u})
        EXPECT_EQ(leadingCharactersWithin(castle, limit), "x") << limit;
    EXPECT_EQ(leadingCharactersWithin(castle, 5), "x\xf0\x9f\x8f\xb0");
    EXPECT_EQ(leadingCharactersWithin(dun, 0), "");
    // Windows-1252 text: every byte is a character.
    EXPECT_EQ(leadingCharactersWithin("D\xfan Br\xe9", 2), "D\xfa");
    // Text that is not valid UTF-8 as a whole is not read as UTF-8 anywhere in it.
    EXPECT_EQ(leadingCharactersWithin("D\xc3\xban \xe9", 2), "D\xc3");
}

}  // namespace
}  // namespace tw
