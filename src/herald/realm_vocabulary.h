#pragma once
// The program's fixed realm vocabulary: colours, pictures and numbers of the three realms
// (Midgard 1, Albion 2, Hibernia 3, in that order everywhere), the update periods, and the
// hexadecimal reading used for chunk sizes. Everything else compares realm names as text.

#include <cstdint>
#include <string>

namespace tw {

// A Windows colour value: red in the low byte, green in the next, blue in the third.
using ColorValue = std::uint32_t;
constexpr ColorValue RGB(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return r | (g << 8) | (b << 16);
}

// Which picture holder a realm shows; the window maps them to imgHammer, imgCup, imgTree.
// None leaves an image without a picture.
enum class RealmPicture { None, Hammer, Cup, Tree };

// Letter case ignored, nothing trimmed: navy for Midgard, maroon for Albion, green for
// Hibernia, black (0) for any other text.
ColorValue RealmColor(const std::string& Realm);
RealmPicture RealmImage(const std::string& Realm);

// 1 "Midgard", 2 "Albion", 3 "Hibernia", anything else "".
std::string ReturnRealm(std::int16_t Index);

// Minutes between automatic updates for the update-frequency choice: 15, 30, 60, else 0.
std::int16_t ReturnTime(std::int16_t Index);

// Every character is one hexadecimal place, rightmost lowest; a character that is not a
// digit counts as 0 and still shifts the others; "" gives 0. A text longer than 32767
// characters, or a value beyond a double, raises overflow (6).
double FromHex(const std::string& Hex);

// A decimal digit (or text of digits) gives its value; a to f in either case 10 to 15;
// anything else 0.
std::int16_t ReturnHexChar(const std::string& HexChar);

}  // namespace tw
