#pragma once
// Numbers read from stored text. Surrounding spaces are allowed; text that is not a number
// raises type mismatch (13), a number outside the target's range raises overflow (6).
// Fractions round half to even, as the program's stored-text conversions always have.

#include <cstdint>
#include <string_view>

namespace tw {

double toDouble(std::string_view text);
std::int16_t toInt16(std::string_view text);
std::int32_t toInt32(std::string_view text);

// Rounds half to even into a 16- or 32-bit integer; overflow (6) outside the range.
std::int16_t roundToInt16(double value);
std::int32_t roundToInt32(double value);

}  // namespace tw
