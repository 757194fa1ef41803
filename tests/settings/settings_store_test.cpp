#include "settings/settings_store.h"

#include <gtest/gtest.h>

#include "platform/services.h"

namespace tw {
namespace {

using namespace std::string_literals;
using platform::RegistryValue;

const std::string kKey = "Software\\Vexlor\\Towerwatch";

class SettingsStoreTest : public ::testing::Test {
protected:
    platform::ScopedServices services;
    void store(const std::string& name, const RegistryValue& value) {
        ASSERT_TRUE(services.registry.setValue(kKey, name, value));
    }
};

TEST_F(SettingsStoreTest, EmptyRegistryGivesEachReaderItsOwnDefaultAndCreatesNoKey) {
    EXPECT_EQ(ReadSetting("UpdateTime", "0"), "0");
    EXPECT_EQ(ReadSetting("UpdateTime", "2"), "2");
    EXPECT_EQ(ReadSetting("MonitorServer", ""), "");
    EXPECT_EQ(ReadSetting("MonitorServer", "None"), "None");
    EXPECT_EQ(ReadSetting("LastUpdate", "Never updated"), "Never updated");
    EXPECT_FALSE(services.registry.keyExists(kKey));
    EXPECT_TRUE(services.registry.keys.empty());

    WriteSetting("Realm", "2");
    EXPECT_TRUE(services.registry.keyExists(kKey));
    EXPECT_EQ(services.registry.queryValue(kKey, "Realm"), (RegistryValue{platform::REG_SZ, "2"}));
    EXPECT_EQ(ReadSetting("Realm", "0"), "2");
    EXPECT_EQ(ReadSetting("ServerSet", "0"), "0") << "a missing value in an existing key";
}

TEST_F(SettingsStoreTest, StoredTextIsReadUpToItsFirstNulAndOtherTypesGiveTheDefault) {
    store("Empty", {platform::REG_SZ, ""});
    store("WithNul", {platform::REG_SZ, "Gaheris\0junk after"s});
    store("LeadingNul", {platform::REG_SZ, "\0hidden"s});
    store("Number", platform::dwordValue(1));
    store("Binary", {platform::REG_BINARY, "1"});
    store("Expandable", {2, "1"});

    EXPECT_EQ(ReadSetting("Empty", "default"), "");
    EXPECT_EQ(ReadSetting("WithNul", "default"), "Gaheris");
    EXPECT_EQ(ReadSetting("LeadingNul", "default"), "");
    EXPECT_EQ(ReadSetting("Number", "0"), "0");
    EXPECT_EQ(ReadSetting("Binary", "0"), "0");
    EXPECT_EQ(ReadSetting("Expandable", "0"), "0");

    WriteSetting("Typed", "x\0y"s);
    EXPECT_EQ(ReadSetting("Typed", ""), "x");
}

TEST_F(SettingsStoreTest, FailedWriteIsSilentAndKeepsTheOldValue) {
    WriteSetting("SystemTray", "1");
    services.registry.failWrites = true;
    EXPECT_NO_THROW(WriteSetting("SystemTray", "0"));
    EXPECT_EQ(ReadSetting("SystemTray", "x"), "1");
}

TEST_F(SettingsStoreTest, KeyFollowsTheProductName) {
    services.processFacts.product = "Watchtower";
    WriteSetting("Realm", "3");
    EXPECT_TRUE(services.registry.keyExists("Software\\Vexlor\\Watchtower"));
    EXPECT_FALSE(services.registry.keyExists(kKey));
    EXPECT_EQ(ReadSetting("Realm", "0"), "3");
}

}  // namespace
}  // namespace tw
