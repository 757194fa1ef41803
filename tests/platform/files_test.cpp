#include "platform/files.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>

#include <cstdlib>
#include <filesystem>

namespace tw::platform {
namespace {

class FilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/tw-files-XXXXXX";
        m_dir = ::mkdtemp(pattern);
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }
    std::string m_dir;
};

TEST_F(FilesTest, AtomicWriteReplacesWholeFileAndLeavesNoTemporary) {
    const std::string path = m_dir + "/server-info.xml";
    ASSERT_TRUE(writeFileAtomically(path, std::string("first\0second", 12)));
    ASSERT_TRUE(writeFileAtomically(path, "new"));
    EXPECT_EQ(readWholeFile(path), "new");
    int entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(m_dir)) ++entries;
    EXPECT_EQ(entries, 1);
}

TEST_F(FilesTest, FailedWriteKeepsThePreviousCopy) {
    const std::string path = m_dir + "/cache.txt";
    ASSERT_TRUE(writeFileAtomically(path, "old copy"));
    // A file size limit makes the write fail part-way, as a full disk would, even for root.
    ::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 4;
    ::setrlimit(RLIMIT_FSIZE, &small);
    const bool wrote = writeFileAtomically(path, "a much longer new copy");
    ::setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_FALSE(wrote);
    EXPECT_EQ(readWholeFile(path), "old copy");
    int entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(m_dir)) ++entries;
    EXPECT_EQ(entries, 1);
}

TEST_F(FilesTest, WriteIntoMissingFolderFailsCleanly) {
    EXPECT_FALSE(writeFileAtomically(m_dir + "/missing/x", "a"));
    EXPECT_FALSE(readWholeFile(m_dir + "/missing/x").has_value());
    EXPECT_FALSE(fileExists(m_dir));  // a folder is not a file
}

TEST_F(FilesTest, AppendCreatesThenExtends) {
    const std::string path = m_dir + "/Lancelot_Lake.log";
    ASSERT_TRUE(appendToFile(path, "a\r\n"));
    ASSERT_TRUE(appendToFile(path, "b\r\n"));
    EXPECT_EQ(readWholeFile(path), "a\r\nb\r\n");
}

TEST_F(FilesTest, MakeFoldersCreatesParents) {
    EXPECT_TRUE(makeFolders(m_dir + "/a/b/c"));
    EXPECT_TRUE(makeFolders(m_dir + "/a/b/c"));
    ::setenv("XDG_CONFIG_HOME", (m_dir + "/cfg/").c_str(), 1);
    EXPECT_EQ(userConfigFolder(), m_dir + "/cfg");
    ::setenv("XDG_CONFIG_HOME", "relative", 1);  // not absolute: ignored
    EXPECT_NE(userConfigFolder(), "relative");
    ::unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
}  // namespace tw::platform
