#include "platform/files.h"

#include <gtest/gtest.h>

#include <string>

#include "../support/temp_folder.h"

namespace tw::platform {
namespace {

using namespace std::string_literals;
using tw::testing::TempFolder;

TEST(Files, AtomicWriteReplacesTheWholeFileAndAFailedOneLeavesNothing) {
    TempFolder temp;
    const std::string path = temp / "server-info.xml";
    ASSERT_TRUE(writeFileAtomically(path, "first\0second"s));
    EXPECT_EQ(readWholeFile(path), "first\0second"s);
    ASSERT_TRUE(writeFileAtomically(path, "new copy"));
    EXPECT_EQ(readWholeFile(path), "new copy");
    EXPECT_EQ(readFilePart(path, 4, 2), "co");
    EXPECT_EQ(readFilePart(path, 40, 2), "");
    EXPECT_EQ(fileStamp(path).value_or(FileStamp{}).size, 8);

    EXPECT_FALSE(writeFileAtomically(temp / "missing/x", "a"));
    EXPECT_FALSE(readWholeFile(temp / "missing/x").has_value());
    EXPECT_FALSE(fileExists(temp.path())) << "a folder is not a file";
    EXPECT_FALSE(writeFileAtomically(temp.path(), "a")) << "nor is it replaced by one";
    EXPECT_FALSE(fileStamp(temp.path()).has_value());
}

TEST(Files, AppendedLinesStandOnTheirOwn) {
    TempFolder temp;
    const std::string path = temp / "Stone_Bridge.log";
    ASSERT_TRUE(appendLine(path, "a\r\n"));
    ASSERT_TRUE(appendLine(path, "b\r\n"));
    EXPECT_EQ(readWholeFile(path), "a\r\nb\r\n");
    // Earlier appends cut short before their line end, or between its CR and LF.
    for (const auto& [cut, ended] : {std::pair{"a\r\nhal", "a\r\nhal\r\n"}, std::pair{"a\r", "a\r\n"}}) {
        ASSERT_TRUE(writeFileAtomically(path, cut));
        ASSERT_TRUE(appendLine(path, "c\r\n"));
        EXPECT_EQ(readWholeFile(path), std::string(ended) + "c\r\n");
    }
    EXPECT_FALSE(appendLine(temp / "missing/x.log", "a\r\n"));
}

// A user whose name, and so profile folder, is not ASCII; and the start-up sweep there.
TEST(Files, FolderWithNonAsciiLettersAndTheSweepOfAGoneWriter) {
    TempFolder temp;
    const std::string folder = temp / "J\xC3\xB8rgen \xC3\x85se/\xE5\xA1\x94";
    ASSERT_TRUE(makeFolders(folder));
    ASSERT_TRUE(makeFolders(folder)) << "a folder that is there";
    const std::string path = folder + "/server-info.xml";
    ASSERT_TRUE(writeFileAtomically(path, "<servers/>"));
    ASSERT_TRUE(writeFileAtomically(path, "<servers></servers>"));
    ASSERT_TRUE(appendLine(folder + "/Stone_Bridge.log", "a\r\n"));
    EXPECT_EQ(readWholeFile(path), "<servers></servers>");
    EXPECT_TRUE(fileExists(folder + "/Stone_Bridge.log"));

    // No process has this number.
    const std::string gone = path + ".tw-temp.999999999.AbC123";
    const std::string mine = path + ".tw-temp.12x.AbC123";
    ASSERT_TRUE(writeFileAtomically(gone, "stale"));
    ASSERT_TRUE(writeFileAtomically(mine, "not ours"));
    removeStaleTemporaryFiles(folder);
    EXPECT_FALSE(fileExists(gone));
    EXPECT_TRUE(fileExists(mine)) << "not a name the writer makes";
    EXPECT_TRUE(fileExists(path));
    EXPECT_TRUE(removeFile(path));
    EXPECT_FALSE(removeFile(path));
}

}  // namespace
}  // namespace tw::platform
