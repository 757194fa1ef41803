#include "forms/shape.h"

#include <algorithm>
#include <cstdlib>

#include "forms/win32/gdiplus_surface.h"
#include "forms/win32/native_control.h"
#include "forms/win32/win32_values.h"

namespace tw::forms {

namespace {

// A circle of four cubic arcs, the usual quarter-circle approximation.
Path circlePath(double cx, double cy, double r) {
    constexpr double k = 0.5522847498;
    Path path;
    path.moveTo({cx + r, cy});
    path.cubicTo({cx + r, cy + k * r}, {cx + k * r, cy + r}, {cx, cy + r});
    path.cubicTo({cx - k * r, cy + r}, {cx - r, cy + k * r}, {cx - r, cy});
    path.cubicTo({cx - r, cy - k * r}, {cx - k * r, cy - r}, {cx, cy - r});
    path.cubicTo({cx + k * r, cy - r}, {cx + r, cy - k * r}, {cx + r, cy});
    path.close();
    return path;
}

}  // namespace

Shape::Shape(Container& owner, std::string name, int index)
    : Control(owner, std::move(name), index, win32::windowless(owner), 1215, 1215) {
    NativeControl& native = win32::nativeOf(*this);
    native.takesMouse = false;
    native.paint = [this](HDC dc, const RECT& bounds) {
        win32::ensureGdiplus();
        Gdiplus::Graphics graphics(dc);
        win32::GdiplusSurface gdiplus(graphics);
        DrawingSurface& surface = gdiplus;
        surface.setAntialiasing(m_kind != Rectangle);
        Pen pen;
        pen.colour = m_borderColor;
        pen.width = win32::scaledPixels(1, win32::nativeOf(*this).dpi());
        const std::optional<Fill> fill = m_filled ? std::optional<Fill>(solidFill(m_fillColor)) : std::nullopt;
        // The outline lies inside the control's box.
        const Rect box{bounds.left + 0.5, bounds.top + 0.5, bounds.right - bounds.left - 1.0,
                       bounds.bottom - bounds.top - 1.0};
        switch (m_kind) {
        case Rectangle: surface.drawRect(box, fill, pen); break;
        case RoundedRectangle: surface.drawRect(box, fill, pen, std::min(box.width, box.height) / 4); break;
        case Circle: {
            const double side = std::min(box.width, box.height);
            surface.drawPath(circlePath(box.left + box.width / 2, box.top + box.height / 2, side / 2), fill, pen);
            break;
        }
        }
    };
}

void Shape::setKind(Kind kind) {
    m_kind = kind;
    repaint();
}

void Shape::setFillColor(Colour colour) {
    m_fillColor = colour;
    repaint();
}

void Shape::setFilled(bool filled) {
    m_filled = filled;
    repaint();
}

void Shape::setBorderColor(Colour colour) {
    m_borderColor = colour;
    repaint();
}

void Shape::repaint() { win32::nativeOf(*this).invalidate(); }

void Shape::copyFrom(const Shape& source) {
    copyCommonFrom(source);
    m_kind = source.m_kind;
    m_fillColor = source.m_fillColor;
    m_filled = source.m_filled;
    m_borderColor = source.m_borderColor;
    repaint();
}

Line::Line(Container& owner, std::string name, int index)
    : Control(owner, std::move(name), index, win32::windowless(owner), 1215, 0) {
    NativeControl& native = win32::nativeOf(*this);
    native.takesMouse = false;
    native.paint = [this](HDC dc, const RECT& bounds) {
        HPEN pen = CreatePen(PS_SOLID, 1, m_borderColor);
        HGDIOBJ old = SelectObject(dc, pen);
        const int right = bounds.right - 1;
        const int bottom = bounds.bottom - 1;
        const POINT from{bounds.left, m_rising ? bottom : bounds.top};
        const POINT to{right, m_rising ? bounds.top : bottom};
        MoveToEx(dc, from.x, from.y, nullptr);
        LineTo(dc, to.x, to.y);
        SetPixel(dc, to.x, to.y, m_borderColor);  // GDI leaves the last point out
        SelectObject(dc, old);
        DeleteObject(pen);
    };
    applyGeometry();
}

void Line::setPoints(int x1, int y1, int x2, int y2) {
    m_reversed = x2 < x1 || (x2 == x1 && y2 < y1);
    m_rising = (x2 - x1 >= 0) != (y2 - y1 >= 0) && x1 != x2 && y1 != y2;
    move(std::min(x1, x2), std::min(y1, y2), std::abs(x2 - x1), std::abs(y2 - y1));
    repaint();
}

int Line::x1() const { return m_reversed ? left() + width() : left(); }
int Line::x2() const { return m_reversed ? left() : left() + width(); }
int Line::y1() const {
    const bool firstAtBottom = m_rising != m_reversed;
    return firstAtBottom ? top() + height() : top();
}
int Line::y2() const {
    const bool firstAtBottom = m_rising != m_reversed;
    return firstAtBottom ? top() : top() + height();
}

void Line::applyGeometry() {
    NativeControl& native = win32::nativeOf(*this);
    const int dpi = native.dpi();
    const int x = win32::twipsAt(left(), dpi);
    const int y = win32::twipsAt(top(), dpi);
    // One pixel more than the span, so both end points are drawn.
    const RECT bounds{x, y, x + win32::twipsAt(width(), dpi) + 1, y + win32::twipsAt(height(), dpi) + 1};
    if (EqualRect(&bounds, &native.bounds)) return;
    native.invalidate();
    native.bounds = bounds;
    native.invalidate();
}

void Line::setBorderColor(Colour colour) {
    m_borderColor = colour;
    repaint();
}

void Line::repaint() { win32::nativeOf(*this).invalidate(); }

void Line::copyFrom(const Line& source) {
    copyCommonFrom(source);
    m_rising = source.m_rising;
    m_reversed = source.m_reversed;
    m_borderColor = source.m_borderColor;
    repaint();
}

}  // namespace tw::forms
