#include "platform/process_facts.h"

#include <stdlib.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "platform/files.h"
#include "temp_folder.h"

namespace tw::platform {
namespace {

using namespace std::string_literals;
using tw::testing::TempFolder;

TEST(ProcessFactsText, CommandLineFoldersAndNames) {
    struct Row { std::string cmdline, expected; };
    const Row rows[] = {
        {"/opt/tw/towerwatch\0"s, ""},
        {"/opt/tw/towerwatch\0  -STARTUP \0"s, "  -STARTUP "},
        {"/opt/tw/towerwatch\0-startup\0extra\0"s, "-startup extra"},
        {"/opt/tw/towerwatch\0\0-startup\0"s, " -startup"},
        {"/opt/tw/towerwatch\0no-trailing-nul"s, "no-trailing-nul"},
        {"", ""},
    };
    for (const Row& row : rows) EXPECT_EQ(joinedArguments(row.cmdline), row.expected);
    EXPECT_EQ(folderWithSlash("/opt/tw///"), "/opt/tw/");
    EXPECT_EQ(folderWithSlash("/"), "/");
    EXPECT_EQ(withoutExtension("towerwatch"), "towerwatch");
    EXPECT_EQ(withoutExtension("tower.watch.bin"), "tower.watch");
    EXPECT_EQ(withoutExtension(".hidden"), ".hidden");
}

TEST(ProcessFactsText, ProgramReplacedWhileRunningMeansTheFileNowAtItsPath) {
    TempFolder temp;
    const std::string program = temp / "towerwatch";
    ASSERT_TRUE(writeFileAtomically(program, "the upgraded program"));
    EXPECT_EQ(liveProgramPath(program + " (deleted)"), program);
    EXPECT_EQ(liveProgramPath(program), program);
    ASSERT_TRUE(writeFileAtomically(program + " (deleted)", "a program named so"));
    EXPECT_EQ(liveProgramPath(program + " (deleted)"), program + " (deleted)");
}

TEST(ProcessFactsReal, DescribesThisTestProgram) {
    ProcessFacts facts;
    const std::string folder = facts.programFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder.substr(0, folder.size() - 1).back(), '/');
    EXPECT_EQ(facts.executablePath(), folder + facts.exeName());
    EXPECT_TRUE(std::filesystem::exists(facts.executablePath()));
}

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
