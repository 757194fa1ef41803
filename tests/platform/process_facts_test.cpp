#include "platform/process_facts.h"

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
    EXPECT_NE(folder.substr(0, folder.size() - 1).back(), folder.back());
    // Windows names the file with its extension.
    EXPECT_EQ(facts.executablePath().rfind(folder + facts.exeName(), 0), 0u);
    EXPECT_TRUE(std::filesystem::exists(facts.executablePath()));
}

}  // namespace
}  // namespace tw::platform
