#include "herald/realm_vocabulary.h"

#include <string>

#include <gtest/gtest.h>

#include "../support/error_number.h"

namespace tw {
namespace {

TEST(RealmVocabulary, ColoursAndPicturesIgnoreCaseButNotSpaces) {
    const struct {
        std::string realm;
        ColorValue color;
        RealmPicture picture;
    } rows[] = {
        {"Midgard", 8388608, RealmPicture::Hammer}, {"midgard", 0x800000, RealmPicture::Hammer},
        {"Albion", 128, RealmPicture::Cup},         {"aLbIoN", 0x80, RealmPicture::Cup},
        {"Hibernia", 32768, RealmPicture::Tree},    {" Midgard", 0, RealmPicture::None},
        {"Midgard ", 0, RealmPicture::None},        {"Neutral", 0, RealmPicture::None},
        {"", 0, RealmPicture::None},                {std::string("Albion\0", 7), 0, RealmPicture::None},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(RealmColor(row.realm), row.color) << row.realm;
        EXPECT_EQ(RealmImage(row.realm), row.picture) << row.realm;
    }
    EXPECT_EQ(RGB(0, 0, 128), 8388608u) << "red sits in the low byte";
}

TEST(RealmVocabulary, NumbersRunMidgardAlbionHibernia) {
    EXPECT_EQ(ReturnRealm(1), "Midgard");
    EXPECT_EQ(ReturnRealm(2), "Albion");
    EXPECT_EQ(ReturnRealm(3), "Hibernia");
    for (std::int16_t other : {0, 4, -1, 32767}) EXPECT_EQ(ReturnRealm(other), "") << other;

    EXPECT_EQ(ReturnTime(0), 15);
    EXPECT_EQ(ReturnTime(1), 30);
    EXPECT_EQ(ReturnTime(2), 60);
    for (std::int16_t other : {3, -1, 100}) EXPECT_EQ(ReturnTime(other), 0) << other;
}

TEST(FromHex, EveryCharacterIsOneDigitPlace) {
    const struct {
        std::string hex;
        double value;
    } rows[] = {
        {"1a", 26},        {"1A", 26},          {"FF", 255},      {"", 0},
        {"1g", 16},        {"g1", 1},           {"0", 0},         {"ffffffff", 4294967295.0},
        {" 1", 1},         {"1 ", 16},          {"10\r", 256},    {std::string("1\0", 2), 16},
        {"1fffffffffffff", 9007199254740991.0},
    };
    for (const auto& row : rows) EXPECT_EQ(FromHex(row.hex), row.value) << row.hex;
}

TEST(FromHex, TextsBeyondADoubleOrSixteenBitsOverflow) {
    EXPECT_EQ(FromHex(std::string(256, '0')), 0) << "the last place a double can hold";
    EXPECT_GT(FromHex("1" + std::string(255, '0')), 1e300);
    for (const std::string& hex : {std::string(256, 'f'), std::string(257, '0'), std::string(40000, '1')})
        EXPECT_EQ(testing::errorNumberOf([&] { FromHex(hex); }), kErrOverflow) << hex.size() << " digits";
}

}  // namespace
}  // namespace tw
