#include "runtime/conversions.h"

#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

#include "runtime/runtime_error.h"
#include "runtime/text.h"

namespace tw {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Accepts [sign] digits [. digits] [e [sign] digits], or &H hex digits; nothing else.
bool parseNumber(const std::string& s, double& out) {
    if (s.size() > 2 && s[0] == '&' && (s[1] == 'H' || s[1] == 'h')) {
        if (s.size() > 2 + 8) return false;
        unsigned long value = 0;
        for (size_t i = 2; i < s.size(); ++i) {
            const char c = s[i];
            int digit;
            if (isDigit(c)) digit = c - '0';
            else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
            else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
            else return false;
            value = value * 16 + static_cast<unsigned long>(digit);
        }
        out = static_cast<double>(value);
        return true;
    }
    size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    size_t digits = 0;
    while (i < s.size() && isDigit(s[i])) ++i, ++digits;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && isDigit(s[i])) ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
        size_t expDigits = 0;
        while (i < s.size() && isDigit(s[i])) ++i, ++expDigits;
        if (expDigits == 0) return false;
    }
    if (i != s.size()) return false;
    out = std::strtod(s.c_str(), nullptr);
    return true;
}

double roundHalfEven(double value) {
    const double floor = std::floor(value);
    const double diff = value - floor;
    if (diff < 0.5) return floor;
    if (diff > 0.5) return floor + 1;
    return std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
}

template <class Int>
Int roundToInt(double value) {
    if (!std::isfinite(value)) throw RuntimeError(kErrOverflow);
    const double rounded = roundHalfEven(value);
    if (rounded < static_cast<double>(std::numeric_limits<Int>::min()) ||
        rounded > static_cast<double>(std::numeric_limits<Int>::max()))
        throw RuntimeError(kErrOverflow);
    return static_cast<Int>(rounded);
}

}  // namespace

double toDouble(std::string_view text) {
    double value = 0;
    if (!parseNumber(trimSpaces(text), value)) throw RuntimeError(kErrTypeMismatch);
    if (!std::isfinite(value)) throw RuntimeError(kErrOverflow);
    return value;
}

std::int16_t roundToInt16(double value) { return roundToInt<std::int16_t>(value); }
std::int32_t roundToInt32(double value) { return roundToInt<std::int32_t>(value); }

std::int16_t toInt16(std::string_view text) { return roundToInt16(toDouble(text)); }
std::int32_t toInt32(std::string_view text) { return roundToInt32(toDouble(text)); }

}  // namespace tw
