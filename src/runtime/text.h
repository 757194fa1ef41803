#pragma once
// Text helpers with 1-based positions over byte strings, failing exactly where the
// program's procedures expect an invalid-argument error (5): a start below 1, a negative
// length or count.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tw {

using Text = std::string;

// Characters from `start` (1-based), at most `length` of them (all when length is -1).
// Start below 1 or length below -1 raise error 5; a start past the end gives "".
Text mid(std::string_view s, long long start, long long length = -1);
// First / last `count` characters; a negative count raises error 5.
Text leftOf(std::string_view s, long long count);
Text rightOf(std::string_view s, long long count);

// 1-based position of `find` in `s` at or after `start`, 0 when absent. Start below 1
// raises error 5. An empty `s` gives 0; an empty `find` gives `start` while it is within s.
long long inStr(long long start, std::string_view s, std::string_view find);
inline long long inStr(std::string_view s, std::string_view find) { return inStr(1, s, find); }
// Last 1-based position of `find` in `s` that begins at or before `start` (-1: the end).
// Start 0 or below -1 raises error 5.
long long inStrRev(std::string_view s, std::string_view find, long long start = -1);

// Blanks are spaces only, as the program's stored texts expect.
Text trimSpaces(std::string_view s);
Text trimLeftSpaces(std::string_view s);
Text trimRightSpaces(std::string_view s);

// ASCII letter case; other bytes unchanged.
inline char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
Text lowerCase(std::string_view s);
Text upperCase(std::string_view s);
// Equal but for ASCII letter case, as header names and registry names compare.
bool equalsIgnoringCase(std::string_view a, std::string_view b);
// The C0 controls and DEL: bytes no request line or opened link may carry.
inline bool isAsciiControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
}

// Every occurrence of `find` replaced, scanning left to right; an empty `find` changes nothing.
Text replaceAll(std::string_view s, std::string_view find, std::string_view with);

// Pieces between delimiters; "" splits into no pieces, an empty delimiter gives s whole.
std::vector<Text> splitText(std::string_view s, std::string_view delimiter);

// `count` copies of `ch`; a negative count raises error 5.
Text repeatChar(long long count, char ch);

// The number an ordinary reader sees at the start of s: blanks, tabs and line feeds are
// skipped, digits are read while they make a number, anything else stops the read. Never
// fails; "" and "abc" give 0. "&H" introduces hexadecimal.
double leadingValue(std::string_view s);

// Hashes string keys and string_view lookups alike, so a map keyed by std::string (with
// std::equal_to<>) can be asked with a view into a larger text without making a string.
struct StringViewHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
};

}  // namespace tw
