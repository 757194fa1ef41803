#pragma once
// Telling UTF-8 text from Windows-1252 text, and where its characters begin. Program text is
// bytes; a document may be written in either encoding, and whatever cuts or measures text
// by characters must not split a UTF-8 sequence.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tw {

// Well-formed UTF-8: no stray continuation byte, no overlong form, no surrogate, nothing
// past U+10FFFF, no sequence cut short at the end.
bool isValidUtf8(std::string_view bytes);

// Byte offsets where the characters of `text` begin, followed by text.size(): one per code
// point for valid UTF-8, one per byte otherwise. Character k (0-based) is the bytes from
// entry k up to entry k + 1.
std::vector<std::size_t> characterStarts(std::string_view text);

// The longest beginning of `text` of at most `maxBytes` bytes that ends between two of its
// characters (as characterStarts counts them): valid UTF-8 loses the whole sequence that
// would cross the bound, other text is cut at the bound itself.
std::string_view leadingCharactersWithin(std::string_view text, std::size_t maxBytes);

// The character Windows-1252 gives a byte (0x80 to 0x9F have their own table; the five
// unassigned ones keep their C1 code points, as the platform's own conversion does).
char32_t windows1252CodePoint(unsigned char byte);

// The text as UTF-8: valid UTF-8 stands as it is, anything else is read as Windows-1252.
std::string toUtf8(std::string_view bytes);

}  // namespace tw
