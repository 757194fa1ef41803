#pragma once
// Units and plain values of the window system: twips, Windows colour values, fonts, text
// alignment and mouse pointers, which program logic can use freely.

#include <cstdint>
#include <string>

namespace tw::forms {

// 15 twips make one logical pixel (96 DPI); the window system scales for HiDPI screens.
inline constexpr int kTwipsPerPixel = 15;

// Nearest whole pixel (halves away from zero).
int twipsToPixels(int twips);
int pixelsToTwips(int px);

// A Windows colour value: red in the low byte, then green, then blue.
using Colour = std::uint32_t;

constexpr Colour rgb(int r, int g, int b) {
    return static_cast<Colour>(r & 0xFF) | (static_cast<Colour>(g & 0xFF) << 8) |
           (static_cast<Colour>(b & 0xFF) << 16);
}
constexpr int redOf(Colour c) { return static_cast<int>(c & 0xFF); }
constexpr int greenOf(Colour c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int blueOf(Colour c) { return static_cast<int>((c >> 16) & 0xFF); }

inline constexpr Colour kBlack = rgb(0, 0, 0);
inline constexpr Colour kWhite = rgb(255, 255, 255);
// The program's look: blue link text, and the grey of its rules and frames.
inline constexpr Colour kLinkBlue = rgb(0, 0, 255);
inline constexpr Colour kRuleGrey = rgb(160, 160, 176);
// The usual face colour of windows and buttons.
inline constexpr Colour kButtonFace = rgb(240, 240, 240);

// Point sizes are taken at 96 DPI: a font is drawn at size * 96 / 72 pixels, so layouts
// measured in twips come out the same on every screen.
struct Font {
    std::string name = "Tahoma";
    double size = 8.25;
    bool bold = false;
    bool underline = false;
    bool operator==(const Font&) const = default;
};

// The default face, bold, at this point size.
inline Font boldFont(double size) {
    Font font;
    font.size = size;
    font.bold = true;
    return font;
}

// A width and height, in the unit the function handing it out says.
class Size {
public:
    constexpr Size() = default;
    constexpr Size(int width, int height) : m_width(width), m_height(height) {}
    constexpr int width() const { return m_width; }
    constexpr int height() const { return m_height; }
    bool operator==(const Size&) const = default;

private:
    int m_width = 0;
    int m_height = 0;
};

enum class Alignment { Left, Right, Center };

enum MousePointer { kDefaultPointer = 0, kCustomPointer = 99 };

}  // namespace tw::forms
