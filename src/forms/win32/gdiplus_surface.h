#pragma once
// The drawing surface over GDI+: the program's pictures, and the painted controls, draw
// through it on a bitmap or a window's device context.

#include <windows.h>
// GDI+ is written against the min and max of windows.h.
#include <algorithm>
using std::max;
using std::min;
#include <gdiplus.h>

#include "forms/drawing_surface.h"

namespace tw::forms::win32 {

// Starts GDI+ for the program the first time it is needed; it stays up until the end.
void ensureGdiplus();

class GdiplusSurface : public DrawingSurface {
public:
    explicit GdiplusSurface(Gdiplus::Graphics& graphics);

    void setAntialiasing(bool on) override;
    void setScale(double factor) override;
    void drawLine(Point from, Point to, const Pen& pen) override;
    void drawPolyline(const std::vector<Point>& points, const Pen& pen) override;
    void drawRect(const Rect& rect, const std::optional<Fill>& fill, const std::optional<Pen>& outline,
                  double radius) override;
    void drawPath(const Path& path, const std::optional<Fill>& fill, const std::optional<Pen>& outline) override;
    void drawText(const std::string& text, const Rect& rect, const Font& font, Colour colour,
                  Alignment horizontal, VerticalAlignment vertical) override;
    int textWidth(const std::string& text, const Font& font) override;
    int textHeight(const Font& font) override;
    int textAscent(const Font& font) override;

private:
    void fillAndStroke(Gdiplus::GraphicsPath& path, const std::optional<Fill>& fill,
                       const std::optional<Pen>& outline);

    Gdiplus::Graphics& m_graphics;
};

}  // namespace tw::forms::win32
