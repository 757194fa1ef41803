#include "platform/files.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <random>
#include <string_view>

#include "platform/win32/wide.h"

namespace tw::platform {
namespace {

using win32::utf8;
using win32::widePath;

// A temporary file is named "<target>.tw-temp.<writer's process id>.<six random letters>".
constexpr std::string_view kTempMarker = ".tw-temp.";
constexpr size_t kRandomLetters = 6;
// FILETIME counts 100 ns steps.
constexpr long long kAbandonedTicks = 3600LL * 10000000LL;

class Handle {
public:
    explicit Handle(HANDLE handle) : m_handle(handle) {}
    ~Handle() {
        if (valid()) ::CloseHandle(m_handle);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool valid() const { return m_handle != INVALID_HANDLE_VALUE && m_handle != nullptr; }
    HANDLE get() const { return m_handle; }
    // Closes now; false when the close failed (a write the system had not finished).
    bool close() {
        const bool ok = ::CloseHandle(m_handle) != 0;
        m_handle = INVALID_HANDLE_VALUE;
        return ok;
    }

private:
    HANDLE m_handle;
};

long long ticks(const FILETIME& time) {
    return static_cast<long long>((static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
}

bool writeAll(HANDLE file, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0) return false;
        done += written;
    }
    return true;
}

bool readAt(HANDLE file, long long offset, char* into, DWORD room, DWORD& got) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset & 0xffffffff);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    if (::ReadFile(file, into, room, &got, &at)) return true;
    got = 0;
    return ::GetLastError() == ERROR_HANDLE_EOF;
}

std::optional<long long> sizeOf(HANDLE file) {
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file, &size)) return std::nullopt;
    return size.QuadPart;
}

bool cutBackTo(HANDLE file, long long size) {
    LARGE_INTEGER at{};
    at.QuadPart = size;
    return ::SetFilePointerEx(file, at, nullptr, FILE_BEGIN) && ::SetEndOfFile(file);
}

std::string randomLetters() {
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    thread_local std::mt19937 random{std::random_device{}()};
    std::string out;
    for (size_t i = 0; i < kRandomLetters; ++i) out.push_back(kLetters[random() % (sizeof kLetters - 1)]);
    return out;
}

// The writer's process id when the name is one of our temporary names, else 0.
DWORD temporaryFileWriter(std::string_view name) {
    const size_t marker = name.rfind(kTempMarker);
    if (marker == std::string_view::npos || marker == 0) return 0;
    const std::string_view rest = name.substr(marker + kTempMarker.size());
    const size_t dot = rest.find('.');
    if (dot == 0 || dot == std::string_view::npos || dot > 10 || rest.size() - dot - 1 != kRandomLetters) return 0;
    unsigned long long pid = 0;
    for (const char c : rest.substr(0, dot)) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return 0;
        pid = pid * 10 + static_cast<unsigned>(c - '0');
    }
    for (const char c : rest.substr(dot + 1))
        if (!std::isalnum(static_cast<unsigned char>(c))) return 0;
    return pid > 0xffffffffULL ? 0 : static_cast<DWORD>(pid);
}

// A process that cannot be opened for lack of rights still runs.
bool processRuns(DWORD pid) {
    const HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, pid);
    if (!process) return ::GetLastError() == ERROR_ACCESS_DENIED;
    const bool running = ::WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    ::CloseHandle(process);
    return running;
}

std::string knownFolder(const wchar_t* variable, const char* fallback) {
    std::string folder = win32::environmentText(variable);
    if (folder.empty()) folder = fallback;
    while (folder.size() > 3 && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
    return folder;
}

}  // namespace

// Windows has no creation mask: a new file takes its folder's inherited access list.
std::uint32_t processUmask() { return 0; }

bool fileExists(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesW(widePath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::optional<FileStamp> fileStamp(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(widePath(path).c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::nullopt;
    const long long size = static_cast<long long>((static_cast<unsigned long long>(data.nFileSizeHigh) << 32) |
                                                  data.nFileSizeLow);
    return FileStamp{size, ticks(data.ftLastWriteTime) * 100};
}

std::optional<std::string> readWholeFile(const std::string& path) {
    return readFilePart(path, 0, static_cast<size_t>(-1));
}

std::optional<std::string> readFilePart(const std::string& path, long long offset, size_t most) {
    if (offset < 0) return std::nullopt;
    // Others may go on writing, renaming or removing it while it is read, as on Linux.
    Handle file(::CreateFileW(widePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid() || ::GetFileType(file.get()) != FILE_TYPE_DISK) return std::nullopt;
    const auto size = sizeOf(file.get());
    if (!size) return std::nullopt;
    const long long there = std::max(0LL, *size - offset);
    std::string bytes(static_cast<size_t>(std::min<unsigned long long>(static_cast<unsigned long long>(there), most)), '\0');
    size_t done = 0;
    char more[65536];
    // A file that grows meanwhile is read on to its end through a small buffer.
    while (done < most) {
        const bool intoBytes = done < bytes.size();
        char* const into = intoBytes ? bytes.data() + done : more;
        const size_t room = std::min<size_t>(intoBytes ? bytes.size() - done : std::min(sizeof more, most - done), 1u << 30);
        DWORD got = 0;
        if (!readAt(file.get(), offset + static_cast<long long>(done), into, static_cast<DWORD>(room), got))
            return std::nullopt;
        if (got == 0) break;
        if (!intoBytes) bytes.append(more, got);
        done += got;
    }
    bytes.resize(done);
    return bytes;
}

bool writeFileAtomically(const std::string& path, const std::string& bytes, NewFileAccess) {
    // A new file takes its folder's access list: the user's profile folders are the user's own.
    const std::wstring target = widePath(path);
    const std::wstring temp =
        widePath(path + std::string(kTempMarker) + std::to_string(::GetCurrentProcessId()) + "." + randomLetters());
    Handle file(::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return false;
    bool ok = writeAll(file.get(), bytes) && ::FlushFileBuffers(file.get());
    ok = file.close() && ok;
    if (ok) {
        const DWORD attributes = ::GetFileAttributesW(target.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            ok = false;
        } else if (attributes != INVALID_FILE_ATTRIBUTES) {
            // Keeps the target's attributes and access list; the old copy stays whole on failure.
            ok = ::ReplaceFileW(target.c_str(), temp.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr);
        } else {
            ok = ::MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
        }
    }
    if (!ok) ::DeleteFileW(temp.c_str());
    return ok;
}

void removeStaleTemporaryFiles(const std::string& folder) {
    WIN32_FIND_DATAW found{};
    const std::wstring pattern = widePath(folder) + L"\\*";
    const HANDLE search = ::FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    FILETIME nowTime{};
    ::GetSystemTimeAsFileTime(&nowTime);
    const long long abandoned = ticks(nowTime) - kAbandonedTicks;
    do {
        const std::string name = utf8(found.cFileName);
        const DWORD writer = temporaryFileWriter(name);
        if (writer == 0 || writer == ::GetCurrentProcessId()) continue;
        if (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) continue;
        if (processRuns(writer) && ticks(found.ftLastWriteTime) > abandoned) continue;
        ::DeleteFileW((widePath(folder) + L"\\" + found.cFileName).c_str());
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
}

bool appendLine(const std::string& path, const std::string& line) {
    Handle file(::CreateFileW(widePath(path).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return false;
    const auto size = sizeOf(file.get());
    if (!size) return false;
    // The line end an unterminated last line needs first: CR LF, or only LF after a lone CR.
    std::string bytes = line;
    char last = '\n';
    DWORD got = 0;
    if (*size > 0 && readAt(file.get(), *size - 1, &last, 1, got) && got == 1 && last != '\n')
        bytes = (last == '\r' ? "\n" : "\r\n") + line;
    LARGE_INTEGER end{};
    end.QuadPart = *size;
    // One write for the line end and the line, so a failure cuts both back.
    bool ok = ::SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN) && writeAll(file.get(), bytes);
    if (!ok) cutBackTo(file.get(), *size);
    return file.close() && ok;
}

bool removeFile(const std::string& path) { return ::DeleteFileW(widePath(path).c_str()) != 0; }

bool makeFolders(const std::string& path) {
    const std::wstring full = widePath(path);
    for (size_t slash = full.find(L'\\', 1);; slash = full.find(L'\\', slash + 1)) {
        const std::wstring part = full.substr(0, slash);
        // "C:" and a share's name are not folders to make.
        if (!part.empty() && part.back() != L':' && part != L"\\") ::CreateDirectoryW(part.c_str(), nullptr);
        if (slash == std::wstring::npos) break;
    }
    const DWORD attributes = ::GetFileAttributesW(full.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string userConfigFolder() { return knownFolder(L"APPDATA", "C:\\"); }

std::string userDataFolder() { return knownFolder(L"LOCALAPPDATA", "C:\\"); }

}  // namespace tw::platform
