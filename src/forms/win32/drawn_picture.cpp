#include "forms/drawn_picture.h"

#include "forms/win32/gdiplus_surface.h"
#include "forms/win32/picture_data.h"

namespace tw::forms {

Picture drawPicture(int width, int height, const std::function<void(DrawingSurface&)>& draw) {
    if (width <= 0 || height <= 0) return Picture();
    win32::ensureGdiplus();
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    {
        // The bitmap draws straight into our pixels: no copy, no device context.
        Gdiplus::Bitmap bitmap(width, height, width * 4, PixelFormat32bppPARGB,
                               reinterpret_cast<BYTE*>(pixels.data()));
        Gdiplus::Graphics graphics(&bitmap);
        win32::GdiplusSurface surface(graphics);
        draw(surface);
    }
    return win32::pictureFrom(width, height, std::move(pixels));
}

Picture mapPixels(const Picture& picture, const std::function<Rgba(Rgba)>& recolour) {
    if (picture.isNull()) return picture;
    std::vector<std::uint32_t> pixels = picture.data()->pixels;
    for (std::uint32_t& p : pixels) {
        const std::uint32_t straight = win32::straightArgb(p);
        auto channel = [&](int shift) { return static_cast<int>((straight >> shift) & 0xFF); };
        const Rgba c = recolour({channel(16), channel(8), channel(0), channel(24)});
        const int alpha = std::clamp(c.alpha, 0, 255);
        auto pre = [&](int v) { return static_cast<std::uint32_t>((std::clamp(v, 0, 255) * alpha + 127) / 255); };
        p = (static_cast<std::uint32_t>(alpha) << 24) | (pre(c.red) << 16) | (pre(c.green) << 8) | pre(c.blue);
    }
    return win32::pictureFrom(picture.width(), picture.height(), std::move(pixels));
}

}  // namespace tw::forms
