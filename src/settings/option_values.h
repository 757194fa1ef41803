#pragma once
// How the options dialog turns stored setting texts into list positions and tick states,
// and the command line of the start-with-the-desktop entry. Plain C++, no window.

#include <string>

namespace tw {

// The list position stored as decimal text, when it names an entry of a list of `count`
// entries; fallback (the first entry unless given) for anything else: text that is no
// number, a negative or too large position. A value edited by hand then cannot stop the
// dialog from opening.
int storedListIndex(const std::string& text, int count, int fallback = 0);

// 1 (ticked) when the stored text is the number 1, else 0 (clear), matching how start-up
// reads the same flags.
int storedCheckValue(const std::string& text);

// The Run value's command: the running executable's own path, then the start-up switch.
// Not the program folder: an installed copy keeps its files elsewhere, and the entry has to
// name the program itself.
std::string startupCommandLine(const std::string& executablePath);

}  // namespace tw
