#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <string_view>

namespace tw::platform {
namespace {

// A temporary file is named "<target>.tw-temp.<writer's process id>.<six random letters>".
constexpr std::string_view kTempMarker = ".tw-temp.";
constexpr std::string_view kRandomPart = "XXXXXX";
// The links followed before a chain counts as a loop, as the system counts them.
constexpr int kMaxLinkHops = 40;
constexpr time_t kAbandonedSeconds = 3600;

bool writeAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

std::string homeFolder() {
    const char* home = std::getenv("HOME");
    return home && *home ? home : "/tmp";
}

std::string envFolder(const char* name, const std::string& fallback) {
    const char* value = std::getenv(name);
    std::string folder = value && *value == '/' ? value : fallback;
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folder;
}

// The line end an unterminated last line needs before more lines follow it: CR LF, or only
// LF after a lone CR. Nothing when the file is empty, ends in LF or cannot be read.
std::string pendingLineEnd(int fd, off_t size) {
    char last = '\n';
    if (size <= 0 || ::pread(fd, &last, 1, size - 1) != 1) return {};
    if (last == '\n') return {};
    return last == '\r' ? "\n" : "\r\n";
}

// Best effort: when the file cannot be cut back either, the caller still reports the failure.
template <typename Truncate>
void cutBack(Truncate truncate) {
    while (truncate() != 0 && errno == EINTR) {
    }
}

std::string folderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

// The file a write to the path replaces: the path itself, or the end of the chain of links
// it starts (which need not exist yet). Nothing for a loop or an unreadable link.
std::optional<std::string> linkEnd(std::string path) {
    for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
        char target[PATH_MAX];
        const ssize_t n = ::readlink(path.c_str(), target, sizeof target);
        if (n <= 0 || static_cast<size_t>(n) == sizeof target) return std::nullopt;
        const std::string next(target, static_cast<size_t>(n));
        path = next.front() == '/' ? next : folderOf(path) + "/" + next;
    }
    return std::nullopt;
}

mode_t replacementMode(const std::string& target, NewFileAccess access) {
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0) return st.st_mode & 07777;
    return access == NewFileAccess::OwnerOnly ? 0600 : 0666 & ~processUmask();
}

// Best effort: a file system that cannot sync folders still has the rename.
void syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

mode_t readUmask() {
    // The process's status tells the mask without setting it, which would race with any
    // other thread creating a file meanwhile.
    constexpr std::string_view kField = "\nUmask:";
    if (const auto status = readWholeFile("/proc/self/status")) {
        const size_t at = status->find(kField);
        if (at != std::string::npos)
            return static_cast<mode_t>(std::strtoul(status->c_str() + at + kField.size(), nullptr, 8));
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

// The writer's process id when the name is one of our temporary names, else 0.
pid_t temporaryFileWriter(std::string_view name) {
    const size_t marker = name.rfind(kTempMarker);
    if (marker == std::string_view::npos || marker == 0) return 0;
    const std::string_view rest = name.substr(marker + kTempMarker.size());
    const size_t dot = rest.find('.');
    if (dot == 0 || dot == std::string_view::npos || dot > 9 || rest.size() - dot - 1 != kRandomPart.size()) return 0;
    pid_t pid = 0;
    for (const char c : rest.substr(0, dot)) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return 0;
        pid = pid * 10 + (c - '0');
    }
    for (const char c : rest.substr(dot + 1))
        if (!std::isalnum(static_cast<unsigned char>(c))) return 0;
    return pid;
}

bool processRuns(pid_t pid) { return ::kill(pid, 0) == 0 || errno == EPERM; }

}  // namespace

std::uint32_t processUmask() {
    static const mode_t mask = readUmask();
    return mask;
}

bool fileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::optional<FileStamp> fileStamp(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    return FileStamp{static_cast<long long>(st.st_size),
                     static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec};
}

std::optional<std::string> readWholeFile(const std::string& path) {
    return readFilePart(path, 0, static_cast<size_t>(-1));
}

std::optional<std::string> readFilePart(const std::string& path, long long offset, size_t most) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    struct stat st {};
    if (offset < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    // One read into a buffer of the size the file has now; a file that grows meanwhile is
    // read on to its end through a small buffer, so a long file is not held twice while its
    // buffer grows. One that shrinks is cut at what was there.
    const long long there = std::max(0LL, static_cast<long long>(st.st_size) - offset);
    std::string bytes(static_cast<size_t>(std::min<unsigned long long>(static_cast<unsigned long long>(there), most)), '\0');
    size_t done = 0;
    bool ok = true;
    char more[65536];
    while (done < most) {
        const bool intoBytes = done < bytes.size();
        char* const into = intoBytes ? bytes.data() + done : more;
        const size_t room = intoBytes ? bytes.size() - done : std::min(sizeof more, most - done);
        const ssize_t n = ::pread(fd, into, room, static_cast<off_t>(offset + static_cast<long long>(done)));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) ok = false;
        if (n <= 0) break;
        if (!intoBytes) bytes.append(more, static_cast<size_t>(n));
        done += static_cast<size_t>(n);
    }
    ::close(fd);
    if (!ok) return std::nullopt;
    bytes.resize(done);
    return bytes;
}

bool writeFileAtomically(const std::string& path, const std::string& bytes, NewFileAccess access) {
    const std::optional<std::string> target = linkEnd(path);
    if (!target) return false;
    std::string temp = *target + std::string(kTempMarker) + std::to_string(::getpid()) + "." + std::string(kRandomPart);
    // Made for the owner alone; the final bits come only once the bytes are in, and are
    // synced with them.
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = writeAll(fd, bytes) && ::fchmod(fd, replacementMode(*target, access)) == 0 && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (ok && ::rename(temp.c_str(), target->c_str()) == 0) {
        syncFolder(folderOf(*target));
        return true;
    }
    ::unlink(temp.c_str());
    return false;
}

void removeStaleTemporaryFiles(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    const time_t abandoned = std::time(nullptr) - kAbandonedSeconds;
    while (const dirent* entry = ::readdir(dir)) {
        const pid_t writer = temporaryFileWriter(entry->d_name);
        struct stat st {};
        if (writer <= 0 || writer == ::getpid()) continue;
        if (::fstatat(::dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
        if (!S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) continue;
        if (processRuns(writer) && st.st_mtim.tv_sec > abandoned) continue;
        ::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
    ::closedir(dir);
}

bool appendLine(const std::string& path, const std::string& line) {
    // Read access is wanted only to look at the last byte; a write-only file is still appended to.
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
    if (fd < 0 && errno == EACCES) fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    const off_t size = regular ? st.st_size : 0;
    // One write for the line end and the line, so a failure undoes both.
    const std::string bytes = (regular ? pendingLineEnd(fd, size) : std::string()) + line;
    bool ok = writeAll(fd, bytes);
    // A full disk or a size limit may have let part of the line through: cut it off again,
    // or the next line would join it and the reader would drop both.
    if (!ok && regular) cutBack([&] { return ::ftruncate(fd, size); });
    if (::close(fd) != 0) {
        if (ok && regular) cutBack([&] { return ::truncate(path.c_str(), size); });
        ok = false;
    }
    return ok;
}

bool removeFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

bool makeFolders(const std::string& path) {
    for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (!part.empty() && ::mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) return false;
        if (slash == std::string::npos) break;
    }
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string userConfigFolder() { return envFolder("XDG_CONFIG_HOME", homeFolder() + "/.config"); }

std::string userDataFolder() { return envFolder("XDG_DATA_HOME", homeFolder() + "/.local/share"); }

}  // namespace tw::platform
