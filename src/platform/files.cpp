#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

namespace tw::platform {
namespace {

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

}  // namespace

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

bool writeFileAtomically(const std::string& path, const std::string& bytes) {
    std::string temp = path + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) return false;
    bool ok = writeAll(fd, bytes) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    // Keep the usual permissions of a user file rather than mkstemp's 0600.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::chmod(temp.c_str(), 0666 & ~mask);
    if (ok && ::rename(temp.c_str(), path.c_str()) == 0) return true;
    ::unlink(temp.c_str());
    return false;
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
