#include "platform/process_facts.h"

#include <stdlib.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "platform/files.h"
#include "temp_folder.h"

namespace tw::platform {
namespace {

using tw::testing::TempFolder;

TEST(AppPath, WritableProgramFolderElseTheCreatedDataFolder) {
    TempFolder temp;
    const char* old = std::getenv("XDG_DATA_HOME");
    const std::optional<std::string> savedData = old ? std::optional<std::string>(old) : std::nullopt;
    ::setenv("XDG_DATA_HOME", (temp / "data").c_str(), 1);
    FakeProcessFacts facts;
    facts.folder = temp.path() + "//";
    EXPECT_EQ(appPath(facts), temp.slashed());
    EXPECT_FALSE(std::filesystem::exists(temp / "data")) << "no data folder needed";

    const std::string fileNotFolder = temp / "a-file";
    ASSERT_TRUE(writeFileAtomically(fileNotFolder, ""));
    for (const std::string& folder : {std::string(), temp / "missing/folder/", fileNotFolder + "/"}) {
        facts.folder = folder;
        EXPECT_EQ(appPath(facts), temp / "data/towerwatch/") << "program folder " << folder;
        EXPECT_TRUE(std::filesystem::is_directory(temp / "data/towerwatch"));
    }
    // Installed under a prefix the user may write to: still the data folder. A bin folder
    // without the desktop entry beside it is a portable copy.
    ASSERT_TRUE(makeFolders(temp / "prefix/bin") && makeFolders(temp / "prefix/share/applications"));
    facts.folder = temp / "prefix/bin/";
    EXPECT_EQ(appPath(facts), temp / "prefix/bin/");
    ASSERT_TRUE(writeFileAtomically(temp / "prefix/share/applications/" + kDesktopEntryId + ".desktop", ""));
    EXPECT_EQ(appPath(facts), temp / "data/towerwatch/");
    if (savedData) ::setenv("XDG_DATA_HOME", savedData->c_str(), 1);
    else ::unsetenv("XDG_DATA_HOME");
}

}  // namespace
}  // namespace tw::platform
