#include "app/shades.h"

#include <algorithm>
#include <cmath>

namespace tw {

namespace {

// Hue in hundredths of a degree (kNoHue for greys), saturation and value in 0..65535: the
// precision the pictures were first shaded with, so the shades stay the same to the last bit.
constexpr int kFull = 65535;
constexpr int kNoHue = 65535;

struct Hsv {
    int hue = kNoHue;
    int saturation = 0;
    int value = 0;
};

int roundHalfAway(float x) { return static_cast<int>(std::lround(x)); }

Hsv toHsv(forms::Colour colour) {
    const float r = forms::redOf(colour) * 257 / float(kFull);
    const float g = forms::greenOf(colour) * 257 / float(kFull);
    const float b = forms::blueOf(colour) * 257 / float(kFull);
    const float max = std::max({r, g, b});
    const float delta = max - std::min({r, g, b});
    Hsv hsv;
    hsv.value = roundHalfAway(max * kFull);
    if (delta == 0) return hsv;
    hsv.saturation = roundHalfAway(delta / max * kFull);
    float hue = r == max ? (g - b) / delta : g == max ? 2.0f + (b - r) / delta : 4.0f + (r - g) / delta;
    hue *= 60.0f;
    if (hue < 0.0f) hue += 360.0f;
    hsv.hue = roundHalfAway(hue * 100.0f);
    return hsv;
}

// 16 bits a channel down to 8: the nearest of the 256 levels (each 257 apart).
int eightBits(float channel) { return (roundHalfAway(channel * kFull) * 2 + 257) / 514; }

forms::Colour fromHsv(const Hsv& hsv) {
    if (hsv.saturation == 0 || hsv.hue == kNoHue) {
        const int grey = eightBits(hsv.value / float(kFull));
        return forms::rgb(grey, grey, grey);
    }
    const float h = hsv.hue == 36000 ? 0.0f : hsv.hue / 6000.0f;
    const float s = hsv.saturation / float(kFull);
    const float v = hsv.value / float(kFull);
    const int sector = static_cast<int>(h);
    const float f = h - float(sector);
    const float p = v * (1.0f - s);
    const float q = v * (1.0f - s * f);
    const float t = v * (1.0f - s * (1.0f - f));
    float r = v, g = t, b = p;
    switch (sector) {
    case 1: r = q, g = v, b = p; break;
    case 2: r = p, g = v, b = t; break;
    case 3: r = p, g = q, b = v; break;
    case 4: r = t, g = p, b = v; break;
    case 5: r = v, g = p, b = q; break;
    default: break;
    }
    return forms::rgb(eightBits(r), eightBits(g), eightBits(b));
}

}  // namespace

forms::Colour lighterShade(forms::Colour colour, int factor) {
    Hsv hsv = toHsv(colour);
    const unsigned v = unsigned(factor) * unsigned(hsv.value) / 100;
    hsv.value = static_cast<int>(std::min<unsigned>(v, kFull));
    if (v > kFull) hsv.saturation = std::max(0, hsv.saturation - static_cast<int>(v - kFull));
    return fromHsv(hsv);
}

forms::Colour darkerShade(forms::Colour colour, int factor) {
    Hsv hsv = toHsv(colour);
    hsv.value = hsv.value * 100 / factor;
    return fromHsv(hsv);
}

}  // namespace tw
