#pragma once
// Cutting text to a byte limit without cutting a character in two: a UTF-8 sequence split
// at the end makes the whole text invalid UTF-8, and it is then shown as Windows-1252.

#include <cstddef>
#include <string_view>

namespace tw {

// The longest prefix of `text` of at most `maxBytes` bytes that does not split a UTF-8
// sequence; for text that is not valid UTF-8, the first `maxBytes` bytes.
std::string_view utf8PrefixWithin(std::string_view text, std::size_t maxBytes);

}  // namespace tw
