#include "platform/instance_lock.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "runtime/sha256.h"

namespace tw::platform {
namespace {

// Empty when the path is a folder of this user's, not a link, that nobody else may enter;
// else what is wrong with it.
std::string privateFolderProblem(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return path + " cannot be read";
    if (S_ISLNK(st.st_mode)) return path + " is a symbolic link";
    if (!S_ISDIR(st.st_mode)) return path + " is not a folder";
    if (st.st_uid != ::getuid()) return path + " belongs to another user";
    if ((st.st_mode & 077) != 0) return path + " is open to other users";
    return {};
}

std::string withoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

// "." parts, doubled and trailing slashes gone, and each ".." takes the part before it.
std::string cleanPath(const std::string& path) {
    const bool absolute = !path.empty() && path.front() == '/';
    std::vector<std::string> parts;
    for (size_t start = 0; start <= path.size();) {
        size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        const std::string part = path.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty() && parts.back() != "..") parts.pop_back();
            else if (!absolute) parts.push_back(part);
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string clean = absolute ? "/" : "";
    for (size_t i = 0; i < parts.size(); ++i) clean += (i ? "/" : "") + parts[i];
    return clean.empty() ? "." : clean;
}

// $TMPDIR or /tmp, links resolved; "" when it does not exist.
std::string temporaryFolder() {
    const char* tmp = std::getenv("TMPDIR");
    const std::string folder = cleanPath(tmp && *tmp ? tmp : "/tmp");
    char resolved[PATH_MAX];
    return ::realpath(folder.c_str(), resolved) ? std::string(resolved) : std::string();
}

std::string hexDigits(const unsigned char* bytes, size_t count) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (size_t i = 0; i < count; ++i) {
        hex += kDigits[bytes[i] >> 4];
        hex += kDigits[bytes[i] & 15];
    }
    return hex;
}

}  // namespace

std::string instanceName(const std::string& settingsFolder) {
    const auto hash = sha256(settingsFolder);
    return "towerwatch-" + std::to_string(::getuid()) + "-" + hexDigits(hash.data(), 8);
}

InstanceFolder instanceFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime == '/') {
        const std::string folder = withoutTrailingSlashes(runtime);
        if (privateFolderProblem(folder).empty()) return {folder, {}};
    }
    const std::string folder =
        withoutTrailingSlashes(temporaryFolder()) + "/towerwatch-" + std::to_string(::getuid());
    // A folder someone else made first under this name is refused below, never used.
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return {{}, folder + " cannot be made"};
    std::string problem = privateFolderProblem(folder);
    if (!problem.empty()) return {{}, std::move(problem)};
    return {folder, {}};
}

struct NativeLock {
    int fd = -1;
};

InstanceLock::InstanceLock(std::string path) : m_path(std::move(path)), m_native(std::make_unique<NativeLock>()) {}

InstanceLock::~InstanceLock() {
    if (m_native->fd >= 0) ::close(m_native->fd);
}

InstanceLock::Take InstanceLock::take() {
    int& fd = m_native->fd;
    if (fd >= 0) return Take::Held;
    fd = ::open(m_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        m_problem = m_path + " cannot be opened";
        return Take::Failed;
    }
    // Whoever owns the lock file can hold it against us: only our own is used.
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::getuid()) {
        ::close(fd);
        fd = -1;
        m_problem = m_path + " is not this user's own file";
        return Take::Failed;
    }
    int locked;
    do locked = ::flock(fd, LOCK_EX | LOCK_NB);
    while (locked != 0 && errno == EINTR);
    if (locked == 0) return Take::Held;
    const int error = errno;
    ::close(fd);
    fd = -1;
    if (error != EWOULDBLOCK) {
        m_problem = m_path + " cannot be locked";
        return Take::Failed;
    }
    return Take::HeldElsewhere;
}

}  // namespace tw::platform
