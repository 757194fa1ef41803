#include "platform/instance.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "event_loop_wait.h"
#include "platform/files.h"
#include "temp_folder.h"

namespace tw::platform {
namespace {

using Claim = SingleInstance::Claim;

// Sets or clears a variable for the length of a scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : m_name(name) {
        if (const char* old = std::getenv(name)) m_old = old;
        value ? ::setenv(name, value, 1) : ::unsetenv(name);
    }
    ~ScopedEnv() { m_old ? ::setenv(m_name, m_old->c_str(), 1) : ::unsetenv(m_name); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

// The account files of another user are given to; nothing when the test cannot chown.
std::optional<uid_t> otherAccount() {
    if (::geteuid() != 0) return std::nullopt;
    const passwd* nobody = ::getpwnam("nobody");
    return nobody ? std::optional(nobody->pw_uid) : std::nullopt;
}

TEST(SingleInstance, LaterCopyAsksTheRunningOneToShowItself) {
    tw::testing::TempFolder temp;
    const std::string name = instanceName(temp / "config/towerwatch");
    int requests = 0;
    std::vector<std::string> tokens;
    SingleInstance running(name, {temp.path(), {}});
    running.onShowRequested = [&](const std::string& token) { ++requests; tokens.push_back(token); };
    ASSERT_EQ(running.claim(), Claim::OnlyCopy);
    EXPECT_EQ(SingleInstance(name, {temp.path(), {}}).claim(), Claim::AnotherRuns);
    EXPECT_TRUE(tw::testing::runUntil([&] { return requests == 1; }));
    // The launcher's activation token goes along as it was; one that could end or split the
    // request line, or an overlong one, is left out and the window is still asked for.
    const std::string longest(SingleInstance::kMaxActivationTokenBytes, 't');
    for (const std::string& token : {std::string("kwin-17_TIME:42"), longest, longest + "t",
                                    std::string("two words"), std::string("line\nshow evil")}) {
        EXPECT_EQ(SingleInstance(name, {temp.path(), {}}).claim(token), Claim::AnotherRuns);
    }
    ASSERT_TRUE(tw::testing::runUntil([&] { return requests == 6; }));
    std::sort(tokens.begin(), tokens.end());  // the requests may be read in any order
    EXPECT_EQ(tokens, (std::vector<std::string>{"", "", "", "", "kwin-17_TIME:42", longest}));
    // Without a usable folder the program still runs, unguarded, and says why.
    SingleInstance nowhere(name, {{}, "no folder"});
    EXPECT_EQ(nowhere.claim(), Claim::Unguarded);
    EXPECT_EQ(nowhere.problem(), "no folder");
    SingleInstance missing(name, {temp / "missing", {}});
    EXPECT_EQ(missing.claim(), Claim::Unguarded);
    EXPECT_NE(missing.problem().find(temp / "missing"), std::string::npos);
}

TEST(SingleInstance, LockLivesInAFolderOnlyThisUserCanUse) {
    tw::testing::TempFolder temp;
    const ScopedEnv noRuntime("XDG_RUNTIME_DIR", nullptr);
    const ScopedEnv tmp("TMPDIR", temp.path().c_str());
    const std::string own = temp / ("towerwatch-" + std::to_string(::getuid()));
    const std::string name = instanceName(temp / "config/towerwatch");

    // Another account got there first with the predictable name in the temporary folder and
    // holds the lock: it is not ours to use, and this copy still is the only one.
    const std::string planted = temp / (name + ".lock");
    const int foreign = ::open(planted.c_str(), O_RDWR | O_CREAT, 0666);
    ASSERT_GE(foreign, 0);
    ASSERT_EQ(::flock(foreign, LOCK_EX | LOCK_NB), 0);
    if (const auto other = otherAccount()) {
        ASSERT_EQ(::fchown(foreign, *other, *other), 0);
    }
    const InstanceFolder made = instanceFolder();
    EXPECT_EQ(made.path, own);
    EXPECT_TRUE(made.problem.empty()) << made.problem;
    struct stat st {};
    ASSERT_EQ(::lstat(own.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0700u);
    EXPECT_EQ(SingleInstance(name, made).claim(), Claim::OnlyCopy);
    ::close(foreign);

    // The folder must be a folder of this user's that nobody else may enter, else there is
    // no safe place and the reason names it.
    std::filesystem::remove_all(own);
    std::filesystem::create_directory(temp / "elsewhere");
    std::filesystem::create_directory_symlink(temp / "elsewhere", own);
    EXPECT_TRUE(instanceFolder().path.empty());
    EXPECT_NE(instanceFolder().problem.find("symbolic link"), std::string::npos);
    std::filesystem::remove(own);
    ASSERT_EQ(::mkdir(own.c_str(), 0755), 0);
    ASSERT_EQ(::chmod(own.c_str(), 0755), 0);
    EXPECT_TRUE(instanceFolder().path.empty());
    EXPECT_NE(instanceFolder().problem.find("open to other users"), std::string::npos);

    // $XDG_RUNTIME_DIR is used when it is such a folder, and passed over when it is not.
    const ScopedEnv runtime("XDG_RUNTIME_DIR", (temp / "elsewhere").c_str());
    ASSERT_EQ(::chmod((temp / "elsewhere").c_str(), 0700), 0);
    EXPECT_EQ(instanceFolder().path, temp / "elsewhere");
    ASSERT_EQ(::chmod((temp / "elsewhere").c_str(), 0777), 0);
    EXPECT_TRUE(instanceFolder().path.empty()) << "falls back to the temporary folder's, still open to others";
}

TEST(SingleInstance, FilesOfAnotherAccountAreNeverUsed) {
    const auto other = otherAccount();
    if (!other) GTEST_SKIP() << "only root can give a file to another account";
    tw::testing::TempFolder temp;
    const ScopedEnv noRuntime("XDG_RUNTIME_DIR", nullptr);
    const ScopedEnv tmp("TMPDIR", temp.path().c_str());
    const std::string own = temp / ("towerwatch-" + std::to_string(::getuid()));
    const std::string name = instanceName(temp / "config/towerwatch");

    ASSERT_EQ(::mkdir(own.c_str(), 0700), 0);
    ASSERT_EQ(::chown(own.c_str(), *other, *other), 0);
    EXPECT_TRUE(instanceFolder().path.empty());
    EXPECT_NE(instanceFolder().problem.find("another user"), std::string::npos);

    // In a folder of our own, a lock file someone else owns (only root could have put it there).
    ASSERT_EQ(::chown(own.c_str(), ::getuid(), ::getgid()), 0);
    ASSERT_TRUE(writeFileAtomically(own + "/" + name + ".lock", ""));
    ASSERT_EQ(::chown((own + "/" + name + ".lock").c_str(), *other, *other), 0);
    SingleInstance instance(name, instanceFolder());
    EXPECT_EQ(instance.claim(), Claim::Unguarded);
    EXPECT_NE(instance.problem().find("not this user's own"), std::string::npos);
}

}  // namespace
}  // namespace tw::platform
