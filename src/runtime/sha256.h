#pragma once
// SHA-256 of a byte string, for names derived from paths: no cryptographic library needs to
// be loaded for it.

#include <array>
#include <cstdint>
#include <string_view>

namespace tw {

std::array<std::uint8_t, 32> sha256(std::string_view bytes);

}  // namespace tw
