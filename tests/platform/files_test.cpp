#include "platform/files.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "../support/file_size_limit.h"
#include "../support/temp_folder.h"

namespace tw::platform {
namespace {

class FilesTest : public ::testing::Test {
protected:
    int entries() const {
        int count = 0;
        for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(m_dir.path())) ++count;
        return count;
    }
    tw::testing::TempFolder m_dir;
};

TEST_F(FilesTest, AtomicWriteReplacesTheWholeFileOrLeavesTheOldCopy) {
    const std::string path = m_dir / "server-info.xml";
    ASSERT_TRUE(writeFileAtomically(path, std::string("first\0second", 12)));
    ASSERT_TRUE(writeFileAtomically(path, "old copy"));
    EXPECT_EQ(readWholeFile(path), "old copy");
    bool wrote = true;
    {
        const tw::testing::ScopedFileSizeLimit fullDisk(4);
        wrote = writeFileAtomically(path, "a much longer new copy");
    }
    EXPECT_FALSE(wrote);
    EXPECT_EQ(readWholeFile(path), "old copy");
    EXPECT_EQ(entries(), 1) << "no temporary file left behind";

    EXPECT_FALSE(writeFileAtomically(m_dir / "missing/x", "a"));
    EXPECT_FALSE(readWholeFile(m_dir / "missing/x").has_value());
    EXPECT_FALSE(fileExists(m_dir.path()));  // a folder is not a file
}

TEST_F(FilesTest, AppendedLinesStandOnTheirOwnAndAFailedAppendLeavesNoPartBehind) {
    const std::string path = m_dir / "Stone_Bridge.log";
    ASSERT_TRUE(appendLine(path, "a\r\n"));
    ASSERT_TRUE(appendLine(path, "b\r\n"));
    EXPECT_EQ(readWholeFile(path), "a\r\nb\r\n");
    // Earlier appends cut short before their line end, or between its CR and LF.
    for (const auto& [cut, ended] : {std::pair{"a\r\nhal", "a\r\nhal\r\n"}, std::pair{"a\r", "a\r\n"}}) {
        ASSERT_TRUE(writeFileAtomically(path, cut));
        ASSERT_TRUE(appendLine(path, "c\r\n"));
        EXPECT_EQ(readWholeFile(path), std::string(ended) + "c\r\n");
    }
    // The disk fills up part-way through the line end and the line.
    ASSERT_TRUE(writeFileAtomically(path, "a\r\nhal"));
    bool appended = true;
    {
        const tw::testing::ScopedFileSizeLimit fullDisk(9);
        appended = appendLine(path, "a longer line\r\n");
    }
    EXPECT_FALSE(appended);
    EXPECT_EQ(readWholeFile(path), "a\r\nhal");
    EXPECT_FALSE(appendLine(m_dir / "missing/x.log", "a\r\n"));
}

TEST_F(FilesTest, MakeFoldersCreatesParentsAndOnlyAnAbsoluteConfigHomeCounts) {
    EXPECT_TRUE(makeFolders(m_dir / "a/b/c"));
    EXPECT_TRUE(makeFolders(m_dir / "a/b/c"));
    ::setenv("XDG_CONFIG_HOME", (m_dir / "cfg/").c_str(), 1);
    EXPECT_EQ(userConfigFolder(), m_dir / "cfg");
    ::setenv("XDG_CONFIG_HOME", "relative", 1);
    EXPECT_NE(userConfigFolder(), "relative");
    ::unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
}  // namespace tw::platform
