#include "platform/win32/wide.h"

#include <windows.h>

namespace tw::platform::win32 {

std::wstring wide(const std::string& utf8Text) {
    if (utf8Text.empty()) return {};
    const int size = static_cast<int>(utf8Text.size());
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8Text.data(), size, nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    if (n > 0) ::MultiByteToWideChar(CP_UTF8, 0, utf8Text.data(), size, out.data(), n);
    return out;
}

std::string utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    if (n > 0) ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, out.data(), n, nullptr, nullptr);
    return out;
}

std::wstring widePath(const std::string& utf8Path) {
    std::wstring path = wide(utf8Path);
    for (wchar_t& c : path)
        if (c == L'/') c = L'\\';
    return path;
}

std::string environmentText(const wchar_t* name) {
    const DWORD n = ::GetEnvironmentVariableW(name, nullptr, 0);
    if (n == 0) return {};
    std::wstring value(n, L'\0');
    const DWORD got = ::GetEnvironmentVariableW(name, value.data(), n);
    value.resize(got < n ? got : 0);
    return utf8(value);
}

}  // namespace tw::platform::win32
