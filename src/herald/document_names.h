#pragma once
// Keep, relic, owner and claimant names as the program takes them from the status document.
// A herald may send names of any length, and each goes on to the panel, the log, the
// notifications and the on-change command's environment, so it is bounded where it is read
// and nothing after that needs to cut it again.

#include <cstddef>
#include <string>
#include <string_view>

namespace tw {

constexpr std::size_t kMostNameBytes = 255;

// The name cut to at most kMostNameBytes, between two characters (a UTF-8 name never ends
// in part of a character); a shorter name unchanged.
std::string boundedName(std::string_view name);

}  // namespace tw
