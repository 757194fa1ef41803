#pragma once
// What a picture is on Windows: its pixels, 32 bits each, premultiplied ARGB from the top
// row down, as GDI+ draws on them. A serial number tells pictures apart for the icon cache.

#include <cstdint>
#include <vector>

#include "forms/picture.h"

namespace tw::forms {

struct PictureData {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // width * height, row after row
    std::uint64_t serial = 0;
};

namespace win32 {
// A premultiplied pixel with its colour divided back out of its opacity (straight ARGB),
// as icons and the recolouring take it.
inline std::uint32_t straightArgb(std::uint32_t premultiplied) {
    const std::uint32_t alpha = premultiplied >> 24;
    if (alpha == 0) return 0;
    if (alpha == 255) return premultiplied;
    auto channel = [&](int shift) {
        const std::uint32_t c = (((premultiplied >> shift) & 0xFF) * 255 + alpha / 2) / alpha;
        return c > 255 ? 255u : c;
    };
    return (alpha << 24) | (channel(16) << 16) | (channel(8) << 8) | channel(0);
}

// A cursor of the picture with its hot spot (-1: the centre); made anew, the caller's to keep.
void* cursorFrom(const Picture& picture, int hotX, int hotY);

// An empty picture for no pixels; takes the next serial number.
Picture pictureFrom(int width, int height, std::vector<std::uint32_t> premultipliedPixels);
}  // namespace win32

}  // namespace tw::forms
