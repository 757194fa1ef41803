#include "platform/registry.h"

#include <sys/stat.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "platform/files.h"
#include "temp_folder.h"

namespace tw::platform {
namespace {

const std::string kKey = "Software\\Vexlor\\Towerwatch";

RegistryValue text(const std::string& s) { return {REG_SZ, s}; }
using tw::testing::TempFolder;

class FileRegistryTest : public ::testing::Test {
protected:
    TempFolder temp;
    // Neither folder exists yet: the first write has to make them.
    std::string regPath = temp / "config/towerwatch/registry.reg";
    std::string desktopPath = temp / "config/autostart/towerwatch.desktop";
    FileRegistry reg{regPath, desktopPath};

    std::string regText() { return readWholeFile(regPath).value_or("<missing>"); }
};

TEST_F(FileRegistryTest, FirstWriteCreatesFoldersAndLaterWritesKeepOtherValues) {
    EXPECT_FALSE(reg.keyExists(kKey));
    EXPECT_FALSE(reg.queryValue(kKey, "Realm").has_value());
    EXPECT_FALSE(fileExists(regPath)) << "reading must not create the file";

    ASSERT_TRUE(reg.setValue(kKey, "Realm", text("2")));
    ASSERT_TRUE(reg.setValue(kKey, "ServerSet", text("1")));
    ASSERT_TRUE(reg.setValue(kKey, "Realm", text("3")));
    EXPECT_EQ(regText(),
              "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Vexlor\\Towerwatch]\n\"Realm\"=\"3\"\n\"ServerSet\"=\"1\"\n");

    FileRegistry other(regPath, desktopPath);  // a fresh reader sees the file, nothing cached
    EXPECT_TRUE(other.keyExists(kKey));
    EXPECT_EQ(other.queryValue(kKey, "ServerSet"), text("1"));
    EXPECT_TRUE(other.deleteValue(kKey, "Realm"));
    EXPECT_FALSE(reg.queryValue(kKey, "Realm").has_value());
    EXPECT_EQ(reg.queryValue(kKey, "ServerSet"), text("1"));
    EXPECT_FALSE(reg.deleteValue(kKey, "Realm"));
}

TEST_F(FileRegistryTest, StoreStaysPrivateAndALinkedStoreStaysLinked) {
    const auto mode = [](const std::string& path) {
        struct stat st {};
        return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0u;
    };
    ASSERT_TRUE(reg.setValue(kKey, "OnChange", text("notify https://hooks.example/t0ken")));
    EXPECT_EQ(mode(regPath), 0600u) << "the command line may carry a secret";
    ASSERT_EQ(::chmod(regPath.c_str(), 0640), 0);
    ASSERT_TRUE(reg.setValue(kKey, "LastUpdate", text("7/23/2003 2:05:10 PM")));
    EXPECT_EQ(mode(regPath), 0640u);

    // The store kept among the user's dotfiles, the settings folder holding a link to it.
    const std::string kept = temp / "dotfiles/towerwatch.reg";
    std::filesystem::create_directories(temp / "dotfiles");
    std::filesystem::rename(regPath, kept);
    std::filesystem::create_symlink(kept, regPath);
    ASSERT_TRUE(reg.setValue(kKey, "Realm", text("2")));
    EXPECT_TRUE(std::filesystem::is_symlink(regPath));
    EXPECT_NE(readWholeFile(kept).value_or("").find("\"Realm\"=\"2\""), std::string::npos);
    EXPECT_EQ(mode(kept), 0640u);
}

TEST_F(FileRegistryTest, StoreThatCannotBeReadIsNeverReplaced) {
    // A folder where the file should be, and a file far too large to be ours.
    std::filesystem::create_directories(regPath);
    EXPECT_FALSE(reg.setValue(kKey, "Realm", text("1")));
    EXPECT_TRUE(std::filesystem::is_directory(regPath));

    const std::string hugePath = temp / "huge.reg";
    const std::string huge = "REGEDIT4\n" + std::string(9u << 20, ';');
    ASSERT_TRUE(writeFileAtomically(hugePath, huge));
    FileRegistry hugeReg(hugePath, desktopPath);
    EXPECT_FALSE(hugeReg.queryValue(kKey, "Realm").has_value());
    EXPECT_FALSE(hugeReg.setValue(kKey, "Realm", text("1")));
    EXPECT_EQ(std::filesystem::file_size(hugePath), huge.size());
}

TEST_F(FileRegistryTest, RunValueIsTheAutostartEntryAndNotInTheRegFile) {
    EXPECT_TRUE(reg.keyExists(kRunKey));
    EXPECT_FALSE(reg.queryValue(kRunKey, "Towerwatch").has_value());
    EXPECT_FALSE(reg.deleteValue(kRunKey, "Towerwatch"));

    ASSERT_TRUE(reg.setValue(kRunKey, "Towerwatch", text("/opt/towerwatch/towerwatch -startup")));
    const std::string entry = readWholeFile(desktopPath).value_or("");
    EXPECT_EQ(entry.rfind("[Desktop Entry]\n", 0), 0u);
    for (const char* line : {"\nType=Application\n", "\nName=Towerwatch\n", "\nExec=/opt/towerwatch/towerwatch -startup\n"})
        EXPECT_NE(entry.find(line), std::string::npos) << line;
    EXPECT_FALSE(fileExists(regPath));
    EXPECT_EQ(reg.queryValue("software\\microsoft\\windows\\currentversion\\run", "TOWERWATCH"),
              text("/opt/towerwatch/towerwatch -startup"));

    // Other values of the Run key are ordinary values.
    ASSERT_TRUE(reg.setValue(kRunKey, "SomethingElse", text("x")));
    EXPECT_NE(regText().find("\"SomethingElse\"=\"x\""), std::string::npos);
    EXPECT_EQ(regText().find("Towerwatch\"="), std::string::npos);

    EXPECT_FALSE(reg.setValue(kRunKey, "Towerwatch", dwordValue(1)));
    EXPECT_TRUE(reg.deleteValue(kRunKey, "Towerwatch"));
    EXPECT_FALSE(fileExists(desktopPath));
    EXPECT_FALSE(reg.queryValue(kRunKey, "Towerwatch").has_value());
}

TEST_F(FileRegistryTest, HandEditedAutostartEntrySurvivesEverythingButSetAndDelete) {
    const std::string handEdited =
        "# mine\n[Desktop Entry]\nType=Application\nName=My watcher\nExec=/home/me/tw/towerwatch -startup\n"
        "X-Custom=keep me\n";
    ASSERT_TRUE(makeFolders(temp / "config/autostart"));
    ASSERT_TRUE(writeFileAtomically(desktopPath, handEdited));

    EXPECT_EQ(reg.queryValue(kRunKey, "Towerwatch"), text("/home/me/tw/towerwatch -startup"));
    ASSERT_TRUE(reg.setValue(kKey, "Realm", text("1")));
    ASSERT_TRUE(reg.setValue(kRunKey, "Other", text("1")));
    ASSERT_TRUE(reg.deleteValue(kRunKey, "Other"));
    EXPECT_EQ(readWholeFile(desktopPath), handEdited);
}

}  // namespace
}  // namespace tw::platform
