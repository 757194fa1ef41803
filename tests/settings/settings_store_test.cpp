#include "settings/settings_store.h"

#include <gtest/gtest.h>

#include "platform/services.h"
#include "settings/option_values.h"

namespace tw {
namespace {

using namespace std::string_literals;
using platform::RegistryValue;

const std::string kKey = "Software\\Vexlor\\Towerwatch";

TEST(SettingsStore, ReadingNeverCreatesTheKeyAndAnythingButTextGivesTheDefault) {
    platform::ScopedServices services;
    EXPECT_EQ(ReadSetting("UpdateTime", "2"), "2");
    EXPECT_TRUE(services.registry.keys.empty());

    WriteSetting("Realm", "2");
    EXPECT_EQ(services.registry.queryValue(kKey, "Realm"), (RegistryValue{platform::REG_SZ, "2"}));
    EXPECT_EQ(ReadSetting("ServerSet", "0"), "0") << "a missing value in an existing key";

    const std::pair<const char*, RegistryValue> stored[] = {
        {"Empty", {platform::REG_SZ, ""}},
        {"WithNul", {platform::REG_SZ, "Stormreach\0junk after"s}},
        {"LeadingNul", {platform::REG_SZ, "\0hidden"s}},
        {"Number", platform::dwordValue(1)},
        {"Binary", {platform::REG_BINARY, "1"}},
        {"Expandable", {2, "1"}},
    };
    for (const auto& [name, value] : stored) ASSERT_TRUE(services.registry.setValue(kKey, name, value));
    EXPECT_EQ(ReadSetting("Empty", "default"), "");
    EXPECT_EQ(ReadSetting("WithNul", "default"), "Stormreach");
    EXPECT_EQ(ReadSetting("LeadingNul", "default"), "");
    for (const char* name : {"Number", "Binary", "Expandable"}) EXPECT_EQ(ReadSetting(name, "0"), "0") << name;
}

TEST(SettingsStore, FailedWriteIsSilentAndTheKeyFollowsTheProductName) {
    platform::ScopedServices services;
    WriteSetting("SystemTray", "1");
    services.registry.failWrites = true;
    EXPECT_NO_THROW(WriteSetting("SystemTray", "0"));
    EXPECT_EQ(ReadSetting("SystemTray", "x"), "1");

    services.registry.failWrites = false;
    services.processFacts.product = "Watchtower";
    WriteSetting("Realm", "3");
    EXPECT_TRUE(services.registry.keyExists("Software\\Vexlor\\Watchtower"));
    EXPECT_EQ(services.registry.queryValue(kKey, "Realm"), std::nullopt);
    EXPECT_EQ(ReadSetting("Realm", "0"), "3");
}

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
