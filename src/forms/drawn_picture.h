#pragma once
// Pictures made by drawing: a transparent bitmap of the size asked, handed to `draw` as a
// surface, and a per-pixel recolouring of a picture. Need the application's window system
// to be up.

#include <functional>

#include "forms/drawing_surface.h"
#include "forms/picture.h"

namespace tw::forms {

// An empty picture, drawn by no one, when either side is 0 or less.
Picture drawPicture(int width, int height, const std::function<void(DrawingSurface&)>& draw);

// A pixel's colour with its opacity, not premultiplied.
struct Rgba {
    int red = 0;
    int green = 0;
    int blue = 0;
    int alpha = 255;
};

// Each pixel of `picture` replaced by what `recolour` makes of it; an empty picture stays empty.
Picture mapPixels(const Picture& picture, const std::function<Rgba(Rgba)>& recolour);

}  // namespace tw::forms
