#include "forms/image.h"

#include "forms/win32/gdiplus_surface.h"
#include "forms/win32/native_control.h"
#include "forms/win32/picture_data.h"
#include "forms/win32/picture_painting.h"
#include "forms/win32/win32_values.h"

namespace tw::forms {

void win32::paintPicture(HDC dc, const Picture& picture, const RECT& target, bool smooth) {
    if (picture.isNull()) return;
    ensureGdiplus();
    const PictureData& data = *picture.data();
    // Only read: GDI+ takes the buffer as writable, but drawing from it never writes.
    Gdiplus::Bitmap bitmap(data.width, data.height, data.width * 4, PixelFormat32bppPARGB,
                           reinterpret_cast<BYTE*>(const_cast<std::uint32_t*>(data.pixels.data())));
    Gdiplus::Graphics graphics(dc);
    graphics.SetInterpolationMode(smooth ? Gdiplus::InterpolationModeHighQualityBicubic
                                         : Gdiplus::InterpolationModeNearestNeighbor);
    graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    graphics.DrawImage(&bitmap, Gdiplus::Rect(target.left, target.top, target.right - target.left,
                                              target.bottom - target.top));
}

Image::Image(Container& owner, std::string name, int index)
    : Control(owner, std::move(name), index, win32::windowless(owner), 480, 480) {
    win32::nativeOf(*this).paint = [this](HDC dc, const RECT& bounds) {
        if (m_picture.isNull()) return;
        RECT target = bounds;
        if (!m_stretch) {
            const int dpi = win32::nativeOf(*this).dpi();
            target.right = target.left + win32::scaledPixels(m_picture.width(), dpi);
            target.bottom = target.top + win32::scaledPixels(m_picture.height(), dpi);
        }
        const bool sameSize = target.right - target.left == m_picture.width() &&
                              target.bottom - target.top == m_picture.height();
        win32::paintPicture(dc, m_picture, target, !sameSize);
    };
}

void Image::setPicture(const Picture& picture) {
    m_picture = picture;
    win32::nativeOf(*this).invalidate();
    fitToPicture();
}

void Image::setStretch(bool stretch) {
    m_stretch = stretch;
    win32::nativeOf(*this).invalidate();
    fitToPicture();
}

void Image::fitToPicture() {
    if (m_stretch || m_picture.isNull()) return;
    move(left(), top(), pixelsToTwips(m_picture.width()), pixelsToTwips(m_picture.height()));
}

void Image::copyFrom(const Image& source) {
    copyCommonFrom(source);
    setStretch(source.m_stretch);
    setPicture(source.m_picture);
}

}  // namespace tw::forms
