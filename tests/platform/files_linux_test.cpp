#include "platform/files.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <set>

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
    std::set<std::string> names(const std::string& folder) const {
        std::set<std::string> found;
        for (const auto& e : std::filesystem::directory_iterator(folder)) found.insert(e.path().filename().string());
        return found;
    }
    tw::testing::TempFolder m_dir;
};

mode_t modeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

TEST_F(FilesTest, AFullDiskLeavesTheOldCopyAndNoPartOfALine) {
    const std::string path = m_dir / "server-info.xml";
    ASSERT_TRUE(writeFileAtomically(path, "old copy"));
    bool wrote = true;
    {
        const tw::testing::ScopedFileSizeLimit fullDisk(4);
        wrote = writeFileAtomically(path, "a much longer new copy");
    }
    EXPECT_FALSE(wrote);
    EXPECT_EQ(readWholeFile(path), "old copy");
    EXPECT_EQ(entries(), 1) << "no temporary file left behind";

    // The disk fills up part-way through the line end and the line.
    const std::string log = m_dir / "Stone_Bridge.log";
    ASSERT_TRUE(writeFileAtomically(log, "a\r\nhal"));
    bool appended = true;
    {
        const tw::testing::ScopedFileSizeLimit fullDisk(9);
        appended = appendLine(log, "a longer line\r\n");
    }
    EXPECT_FALSE(appended);
    EXPECT_EQ(readWholeFile(log), "a\r\nhal");
}

TEST_F(FilesTest, ReplacedFileKeepsItsModeAndALinkKeepsLeadingToTheNewCopy) {
    // A store the user keeps private stays so; a new one is private from the start, and other
    // new files get what the creation mask allows.
    const std::string store = m_dir / "registry.reg";
    ASSERT_TRUE(writeFileAtomically(store, "token", NewFileAccess::OwnerOnly));
    EXPECT_EQ(modeOf(store), 0600u);
    ASSERT_EQ(::chmod(store.c_str(), 0640), 0);
    ASSERT_TRUE(writeFileAtomically(store, "new token", NewFileAccess::OwnerOnly));
    EXPECT_EQ(modeOf(store), 0640u);
    const std::string cache = m_dir / "server-info.xml";
    ASSERT_TRUE(writeFileAtomically(cache, "<servers/>"));
    EXPECT_EQ(modeOf(cache), 0666 & ~processUmask());
    ASSERT_EQ(::chmod(cache.c_str(), 0600), 0);
    ASSERT_TRUE(writeFileAtomically(cache, "<servers></servers>"));
    EXPECT_EQ(modeOf(cache), 0600u);

    // Settings kept in a dotfiles folder, reached through a relative link and a link to it.
    std::filesystem::create_directories(m_dir / "dotfiles");
    std::filesystem::create_directories(m_dir / "config");
    const std::string kept = m_dir / "dotfiles/towerwatch.reg";
    ASSERT_TRUE(writeFileAtomically(kept, "old", NewFileAccess::OwnerOnly));
    std::filesystem::create_symlink("../dotfiles/towerwatch.reg", m_dir / "config/hop.reg");
    std::filesystem::create_symlink("hop.reg", m_dir / "config/registry.reg");
    ASSERT_TRUE(writeFileAtomically(m_dir / "config/registry.reg", "new"));
    EXPECT_TRUE(std::filesystem::is_symlink(m_dir / "config/registry.reg"));
    EXPECT_TRUE(std::filesystem::is_symlink(m_dir / "config/hop.reg"));
    EXPECT_EQ(readWholeFile(kept), "new");
    EXPECT_EQ(modeOf(kept), 0600u);
    EXPECT_EQ(names(m_dir / "dotfiles"), std::set<std::string>{"towerwatch.reg"});
    EXPECT_EQ(names(m_dir / "config"), (std::set<std::string>{"hop.reg", "registry.reg"}));
    // A link whose file is not there yet gets it; a loop of links is refused.
    std::filesystem::create_symlink("../dotfiles/later.reg", m_dir / "config/later.reg");
    ASSERT_TRUE(writeFileAtomically(m_dir / "config/later.reg", "first"));
    EXPECT_EQ(readWholeFile(m_dir / "dotfiles/later.reg"), "first");
    std::filesystem::create_symlink("loop.reg", m_dir / "config/loop.reg");
    EXPECT_FALSE(writeFileAtomically(m_dir / "config/loop.reg", "x"));
}

TEST_F(FilesTest, StartUpSweepRemovesWhatAKilledWriterLeftAndNothingElse) {
    const std::string cache = m_dir / "server-info.xml";
    ASSERT_TRUE(writeFileAtomically(cache, "old copy"));
    const std::string large(4u << 20, 'x');
    const pid_t writer = ::fork();
    ASSERT_GE(writer, 0);
    if (writer == 0) {
        // Killed part-way through the new copy: past the size limit the system ends it.
        const rlimit noCore{0, 0};
        ::setrlimit(RLIMIT_CORE, &noCore);
        const rlimit oneMegabyte{1u << 20, 1u << 20};
        ::setrlimit(RLIMIT_FSIZE, &oneMegabyte);
        std::signal(SIGXFSZ, SIG_DFL);
        writeFileAtomically(cache, large);
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(writer, &status, 0), writer);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer was to be killed before its rename";
    std::set<std::string> left = names(m_dir.path());
    left.erase("server-info.xml");
    ASSERT_EQ(left.size(), 1u);

    // Beside it: names other programs make, the file of a writer that still runs (process 1,
    // and this one), and a link named like ours that leads to someone else's file.
    const std::set<std::string> others = {"server-info.xml.a1B2c3", "notes.tw-temp.txt", "server-info.xml.tw-temp.1.AbC123",
                                          "server-info.xml.tw-temp." + std::to_string(::getpid()) + ".Qw3rty",
                                          "server-info.xml.tw-temp.12x.Qw3rty", "foreign"};
    for (const std::string& name : others) ASSERT_TRUE(writeFileAtomically(m_dir / name, "not stale"));
    std::filesystem::create_symlink("foreign", m_dir / "registry.reg.tw-temp.999999999.AAAAAA");

    removeStaleTemporaryFiles(m_dir.path());
    std::set<std::string> expected = others;
    expected.insert({"server-info.xml", "registry.reg.tw-temp.999999999.AAAAAA"});
    EXPECT_EQ(names(m_dir.path()), expected);
    EXPECT_EQ(readWholeFile(cache), "old copy");
    EXPECT_EQ(readWholeFile(m_dir / "foreign"), "not stale");
}

TEST_F(FilesTest, OnlyAnAbsoluteConfigHomeCounts) {
    ::setenv("XDG_CONFIG_HOME", (m_dir / "cfg/").c_str(), 1);
    EXPECT_EQ(userConfigFolder(), m_dir / "cfg");
    ::setenv("XDG_CONFIG_HOME", "relative", 1);
    EXPECT_NE(userConfigFolder(), "relative");
    ::unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
}  // namespace tw::platform
