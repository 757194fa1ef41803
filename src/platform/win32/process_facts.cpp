#include "platform/process_facts.h"

#include <windows.h>
#include <shellapi.h>

#include <vector>

#include "platform/files.h"
#include "platform/user_locale.h"
#include "platform/win32/wide.h"

namespace tw::platform {
namespace {

using win32::utf8;
using win32::wide;

std::wstring modulePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        if (path.size() >= 32768) return {};
        path.resize(path.size() * 2);
    }
}

struct VersionResource {
    std::string productName;
    int major = 0, minor = 0, revision = 0;
};

VersionResource readVersionResource() {
    VersionResource out;
    const std::wstring path = modulePath();
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0) return out;
    std::vector<unsigned char> block(size);
    if (!::GetFileVersionInfoW(path.c_str(), 0, size, block.data())) return out;
    void* data = nullptr;
    UINT length = 0;
    if (::VerQueryValueW(block.data(), L"\\", &data, &length) && length >= sizeof(VS_FIXEDFILEINFO)) {
        const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(data);
        out.major = HIWORD(fixed->dwProductVersionMS);
        out.minor = LOWORD(fixed->dwProductVersionMS);
        out.revision = HIWORD(fixed->dwProductVersionLS);
    }
    struct Translation {
        WORD language, codePage;
    };
    if (::VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &data, &length) && length >= sizeof(Translation)) {
        const auto* first = static_cast<const Translation*>(data);
        wchar_t query[64];
        ::wsprintfW(query, L"\\StringFileInfo\\%04x%04x\\ProductName", first->language, first->codePage);
        if (::VerQueryValueW(block.data(), query, &data, &length) && length > 0)
            out.productName = utf8(std::wstring(static_cast<const wchar_t*>(data), length - 1));
    }
    return out;
}

const VersionResource& versionResource() {
    static const VersionResource resource = readVersionResource();
    return resource;
}

// A folder the program may keep its files in: a file can be made there.
bool isWritableFolder(const std::string& folder) {
    if (folder.empty()) return false;
    const std::wstring probe = win32::widePath(folder) + L"\\.tw-write-probe." + std::to_wstring(::GetCurrentProcessId());
    const HANDLE file = ::CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    ::CloseHandle(file);
    return true;
}

std::string withBackslash(std::string folder) {
    while (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
    return folder + "\\";
}

}  // namespace

std::string ProcessFacts::commandLine() const {
    int count = 0;
    LPWSTR* arguments = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (!arguments) return {};
    std::string joined;
    for (int i = 1; i < count; ++i) joined += (i > 1 ? " " : "") + utf8(arguments[i]);
    ::LocalFree(arguments);
    return joined;
}

std::string ProcessFacts::executablePath() const { return utf8(modulePath()); }

std::string ProcessFacts::programFolder() const {
    const std::string exe = executablePath();
    const size_t slash = exe.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : withBackslash(exe.substr(0, slash));
}

std::string ProcessFacts::exeName() const {
    const std::string exe = executablePath();
    return withoutExtension(exe.substr(exe.find_last_of("\\/") + 1));
}

std::string ProcessFacts::productName() const {
    const VersionResource& resource = versionResource();
    return resource.productName.empty() ? "Towerwatch" : resource.productName;
}
// An executable without tw_windows_resources linked in reports version 0.0.0.
int ProcessFacts::versionMajor() const { return versionResource().major; }
int ProcessFacts::versionMinor() const { return versionResource().minor; }
int ProcessFacts::versionRevision() const { return versionResource().revision; }

LocalDateTime ProcessFacts::now() const { return localNow(); }

std::chrono::steady_clock::time_point ProcessFacts::steadyNow() const { return std::chrono::steady_clock::now(); }

DatePatterns ProcessFacts::datePatterns() const { return userDatePatterns(); }

std::string appPath(const ProcessFacts& facts) {
    const std::string folder = facts.programFolder();
    if (isWritableFolder(folder)) return withBackslash(folder);
    // Installed under Program Files: the files are kept per user.
    const std::string data = userDataFolder() + "\\Towerwatch";
    makeFolders(data);
    return withBackslash(data);
}

}  // namespace tw::platform
