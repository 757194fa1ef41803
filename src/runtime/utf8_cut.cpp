#include "runtime/utf8_cut.h"

#include "runtime/utf8.h"

namespace tw {

std::string_view utf8PrefixWithin(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) return text;
    std::size_t end = maxBytes;
    // In valid UTF-8 only continuation bytes have the top bits 10; a character starts at the
    // first byte that is not one.
    if (isValidUtf8(text))
        while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return text.substr(0, end);
}

}  // namespace tw
