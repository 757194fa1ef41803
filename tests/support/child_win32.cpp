// The test child the command runner's tests start on Windows, where there is no shell:
//   child values <file>  the seven TOWERWATCH_* values, each NUL-ended, into file
//   child touch <file>   creates file
//   child sleep          sleeps until killed
//   child tree <file>    starts two sleeping children, writes their ids into file, exits
//   child leak <handle>  writes "leaked" through a handle value it may have inherited
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <cwchar>
#include <string>

namespace {

std::string utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string result(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), size, nullptr,
                        nullptr);
    return result;
}

bool writeFile(const wchar_t* path, const std::string& bytes) {
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size();
    CloseHandle(file);
    return ok;
}

std::string variable(const wchar_t* name) {
    std::wstring value(32768, L'\0');
    const DWORD length = GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
    value.resize(length);
    return utf8(value);
}

int values(const wchar_t* path) {
    std::string bytes;
    for (const wchar_t* name : {L"TOWERWATCH_SERVER", L"TOWERWATCH_PLACE", L"TOWERWATCH_NEW_OWNER",
                                L"TOWERWATCH_OLD_OWNER", L"TOWERWATCH_DATE", L"TOWERWATCH_DATE_ISO",
                                L"TOWERWATCH_ALERT"})
        bytes += variable(name) + '\0';
    return writeFile(path, bytes) ? 0 : 1;
}

int tree(const wchar_t* path) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::string ids;
    for (int i = 0; i < 2; ++i) {
        std::wstring line = L"\"" + std::wstring(self) + L"\" sleep";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                            &startup, &process))
            return 1;
        ids += std::to_string(process.dwProcessId) + "\n";
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    return writeFile(path, ids) ? 0 : 1;
}

}  // namespace

int main() {
    int count = 0;
    wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!args || count < 2) return 2;
    const std::wstring verb = args[1];
    if (verb == L"sleep") {
        Sleep(INFINITE);
        return 0;
    }
    if (count != 3) return 2;
    if (verb == L"values") return values(args[2]);
    if (verb == L"touch") return writeFile(args[2], {}) ? 0 : 1;
    if (verb == L"tree") return tree(args[2]);
    if (verb == L"leak") {
        const auto handle = reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(std::wcstoull(args[2], nullptr, 10)));
        DWORD written = 0;
        return WriteFile(handle, "leaked", 6, &written, nullptr) ? 0 : 1;
    }
    return 2;
}
