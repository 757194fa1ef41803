#include "forms/paint_box.h"

#include "forms/container.h"
#include "forms/win32/gdiplus_surface.h"
#include "forms/win32/native_control.h"

namespace tw::forms {

PaintBox::PaintBox(Container& owner, std::string name, int width, int height)
    : Control(owner, std::move(name), -1, win32::childWindow(owner, win32::surfaceClass(), 0), width, height) {
    NativeControl& native = win32::nativeOf(*this);
    native.paint = [this](HDC dc, const RECT&) {
        win32::ensureGdiplus();
        Gdiplus::Graphics graphics(dc);
        win32::GdiplusSurface surface(graphics);
        // The form draws in logical pixels; the window may sit on a screen of another DPI.
        const int dpi = win32::nativeOf(*this).dpi();
        if (dpi != 96) surface.setScale(dpi / 96.0);
        if (onPaint) onPaint(surface);
    };
    native.mouseMoved = [this](int x, int y) {
        const int dpi = win32::nativeOf(*this).dpi();
        if (onMouseMove) onMouseMove(x * 96 / dpi, y * 96 / dpi);
    };
    native.mouseLeft = [this] {
        if (onMouseLeave) onMouseLeave();
    };
}

void PaintBox::refresh() { win32::nativeOf(*this).invalidate(); }

}  // namespace tw::forms
