#pragma once
// The program speaks UTF-8; Windows' own calls speak UTF-16. Every conversion happens here,
// at the edge, so a folder with non-ASCII letters works the same as any other.

#include <string>

namespace tw::platform::win32 {

std::wstring wide(const std::string& utf8);
std::string utf8(const std::wstring& text);
// A path as the wide calls take it: UTF-16 with backslashes.
std::wstring widePath(const std::string& utf8Path);
// An environment variable's value as UTF-8; "" when unset.
std::string environmentText(const wchar_t* name);

}  // namespace tw::platform::win32
