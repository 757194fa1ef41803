#include "platform/registry.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "platform/process_facts.h"

namespace tw::platform {
namespace {

const std::string kKey = "Software\\Vexlor\\Towerwatch";

// HKEY_CURRENT_USER redirected, for this process, to a key of the test's own: the prefix's
// real settings are never read or written.
class RedirectedUserKey : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, m_name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_key,
                                    nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(::RegOverridePredefKey(HKEY_CURRENT_USER, m_key), ERROR_SUCCESS);
    }
    void TearDown() override {
        ::RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        if (!m_key) return;
        ::RegCloseKey(m_key);
        ::RegDeleteTreeA(HKEY_CURRENT_USER, m_name.c_str());
    }
    // The bytes and type stored, read past the store under test.
    std::pair<DWORD, std::string> raw(const std::string& key, const std::string& name) {
        char data[1024];
        DWORD size = sizeof data;
        DWORD type = 0;
        if (::RegGetValueA(m_key, key.c_str(), name.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &type, data, &size) !=
            ERROR_SUCCESS)
            return {0, "<missing>"};
        return {type, std::string(data, size)};
    }

    std::string m_name = "Software\\Towerwatch tests " + std::to_string(::GetCurrentProcessId());
    HKEY m_key = nullptr;
    std::unique_ptr<Registry> reg = makeSystemRegistry();
};

TEST_F(RedirectedUserKey, ReadingCreatesNothingAndTextIsStoredWithItsNul) {
    EXPECT_FALSE(reg->keyExists(kKey));
    EXPECT_FALSE(reg->queryValue(kKey, "Realm").has_value());
    EXPECT_FALSE(reg->deleteValue(kKey, "Realm"));
    HKEY made = nullptr;
    EXPECT_NE(::RegOpenKeyExA(m_key, "Software\\Vexlor", 0, KEY_READ, &made), ERROR_SUCCESS)
        << "reading must not create the key";

    ASSERT_TRUE(reg->setValue(kKey, "Realm", {REG_SZ, "2"}));
    ASSERT_TRUE(reg->setValue(kKey, "realm", {REG_SZ, "3"})) << "names compare without case";
    ASSERT_TRUE(reg->setValue(kKey + "\\", "Count", dwordValue(7)));
    EXPECT_TRUE(reg->keyExists("software\\vexlor"));
    EXPECT_EQ(raw(kKey, "Realm"), (std::pair<DWORD, std::string>{REG_SZ, std::string("3\0", 2)}));
    EXPECT_EQ(reg->queryValue(kKey, "REALM"), (RegistryValue{REG_SZ, "3"}));
    EXPECT_EQ(reg->queryValue(kKey, "Count"), dwordValue(7));
    const std::string large(5000, 'x');
    ASSERT_TRUE(reg->setValue(kKey, "Large", {REG_SZ, large}));
    EXPECT_EQ(reg->queryValue(kKey, "Large"), (RegistryValue{REG_SZ, large}));

    EXPECT_TRUE(reg->deleteValue(kKey, "Realm"));
    EXPECT_FALSE(reg->queryValue(kKey, "Realm").has_value());
    EXPECT_FALSE(reg->setValue("", "Realm", {REG_SZ, "1"}));
}

TEST_F(RedirectedUserKey, RunValueQuotesTheProgramAndIsRemovedAgain) {
    const std::string program = ProcessFacts().executablePath();
    ASSERT_TRUE(reg->setValue(kRunKey, kAutostartValueName, {REG_SZ, program + " -startup"}));
    EXPECT_EQ(raw(kRunKey, "Towerwatch"),
              (std::pair<DWORD, std::string>{REG_SZ, "\"" + program + "\" -startup" + std::string(1, '\0')}));
    EXPECT_EQ(reg->queryValue(kRunKey, "towerwatch"), (RegistryValue{REG_SZ, program + " -startup"}));
    ASSERT_TRUE(reg->setValue(kRunKey, "Other", {REG_SZ, "x"}));
    EXPECT_TRUE(reg->deleteValue(kRunKey, kAutostartValueName));
    EXPECT_FALSE(reg->deleteValue(kRunKey, kAutostartValueName));
    EXPECT_FALSE(reg->queryValue(kRunKey, kAutostartValueName).has_value());
    EXPECT_EQ(reg->queryValue(kRunKey, "Other"), (RegistryValue{REG_SZ, "x"}));
}

}  // namespace
}  // namespace tw::platform
