#pragma once
// Which links the program hands to the desktop. Page addresses come from a downloaded
// document that anyone on the way may have written, and the desktop's opener runs local
// programs and files for other schemes; so only web pages are opened, and mail links only
// when they are the program's own.

#include <string_view>

namespace tw {

enum class LinkSource {
    Document,  // text read from a download or a file: web pages only
    Program,   // the program's own constants: web pages and mailto: links
};

// True for an http:// or https:// address (scheme in any letter case) with a non-empty
// host, and, from the program itself, for a mailto: link with an address. Anything holding
// a blank or a control character is refused.
bool mayOpenLink(std::string_view url, LinkSource source);

}  // namespace tw
