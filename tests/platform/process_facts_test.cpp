#include "platform/process_facts.h"

#include <stdlib.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "platform/files.h"
#include "platform/services.h"
#include "temp_folder.h"

namespace tw::platform {
namespace {

using namespace std::string_literals;

TEST(ProcessFactsText, CommandLineIsTheArgumentsAfterTheProgramJoinedBySingleSpaces) {
    struct Row { std::string cmdline, expected; };
    const Row rows[] = {
        {"/opt/tw/towerwatch\0"s, ""},
        {"/opt/tw/towerwatch\0-startup\0"s, "-startup"},
        {"/opt/tw/towerwatch\0  -STARTUP \0"s, "  -STARTUP "},
        {"/opt/tw/towerwatch\0-startup\0extra\0"s, "-startup extra"},
        {"/opt/tw/towerwatch\0\0-startup\0"s, " -startup"},
        {"/opt/tw/towerwatch\0no-trailing-nul"s, "no-trailing-nul"},
        {"", ""},
    };
    for (const Row& row : rows) EXPECT_EQ(joinedArguments(row.cmdline), row.expected);
}

TEST(ProcessFactsText, FoldersEndInOneSlashAndNamesLoseOnlyTheirLastExtension) {
    EXPECT_EQ(folderWithSlash("/opt/tw"), "/opt/tw/");
    EXPECT_EQ(folderWithSlash("/opt/tw///"), "/opt/tw/");
    EXPECT_EQ(folderWithSlash("/"), "/");
    EXPECT_EQ(withoutExtension("towerwatch"), "towerwatch");
    EXPECT_EQ(withoutExtension("towerwatch.exe"), "towerwatch");
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
    EXPECT_EQ(folder.back(), '/');
    EXPECT_NE(folder.substr(0, folder.size() - 1).back(), '/');
    EXPECT_TRUE(std::filesystem::exists(folder + facts.exeName()));
    EXPECT_EQ(facts.executablePath(), folder + facts.exeName());
    EXPECT_EQ(facts.productName(), "Towerwatch");
    EXPECT_GE(facts.versionMajor(), 1);
    const LocalDateTime now = facts.now();
    EXPECT_GE(now.year, 2020);
    EXPECT_TRUE(now.month >= 1 && now.month <= 12);
    const DatePatterns patterns = facts.datePatterns();
    EXPECT_FALSE(patterns.shortDate.empty());
    EXPECT_FALSE(patterns.longTime.empty());
    EXPECT_FALSE(patterns.monthNames[11].empty());
}

class AppPathTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* old = std::getenv("XDG_DATA_HOME");
        if (old) savedData = old;
        ::setenv("XDG_DATA_HOME", (temp / "data").c_str(), 1);
    }
    void TearDown() override {
        if (savedData) ::setenv("XDG_DATA_HOME", savedData->c_str(), 1);
        else ::unsetenv("XDG_DATA_HOME");
    }
    TempFolder temp;
    std::optional<std::string> savedData;
    FakeProcessFacts facts;
};

TEST_F(AppPathTest, WritableProgramFolderIsUsedWithOneTrailingSlash) {
    facts.folder = temp.path() + "//";
    EXPECT_EQ(appPath(facts), temp.path() + "/");
    EXPECT_FALSE(std::filesystem::exists(temp / "data")) << "no data folder needed";
}

TEST_F(AppPathTest, UnusableProgramFolderFallsBackToTheCreatedDataFolder) {
    const std::string fileNotFolder = temp / "a-file";
    std::filesystem::create_directories(temp / "somewhere");
    std::FILE* f = std::fopen(fileNotFolder.c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    for (const std::string& folder : {std::string(), temp / "missing/folder/", fileNotFolder + "/"}) {
        facts.folder = folder;
        EXPECT_EQ(appPath(facts), temp / "data/towerwatch/") << "program folder " << folder;
        EXPECT_TRUE(std::filesystem::is_directory(temp / "data/towerwatch"));
    }
}

TEST(ScopedServicesTest, InstallsStandInsAndPutsBackThePreviousOnes) {
    ScopedServices outer;
    EXPECT_EQ(&registry(), &outer.registry);
    {
        ScopedServices inner;
        EXPECT_EQ(&registry(), &inner.registry);
        EXPECT_EQ(&shell(), &inner.shell);
        EXPECT_EQ(&notifyIconShell(), &inner.notifyIcons);
        EXPECT_EQ(&processFacts(), &inner.processFacts);
        shell().ShellExecute("", "mailto:someone@example.org", "", "C:\\", 1);
        EXPECT_EQ(inner.shell.calls.size(), 1u);
    }
    EXPECT_EQ(&registry(), &outer.registry);
    EXPECT_EQ(&shell(), &outer.shell);
    EXPECT_EQ(&notifyIconShell(), &outer.notifyIcons);
    EXPECT_EQ(&processFacts(), &outer.processFacts);
    EXPECT_TRUE(outer.shell.calls.empty());
}

}  // namespace
}  // namespace tw::platform
