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
// An empty picture for no pixels; takes the next serial number.
Picture pictureFrom(int width, int height, std::vector<std::uint32_t> premultipliedPixels);
}  // namespace win32

}  // namespace tw::forms
