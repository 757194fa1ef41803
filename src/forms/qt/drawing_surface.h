#pragma once
// The drawing surface over a QPainter that the caller has begun on a device and keeps
// alive while the surface is used.

#include <QPainter>

#include "forms/drawing_surface.h"

namespace tw::forms::qt {

class PainterSurface : public DrawingSurface {
public:
    explicit PainterSurface(QPainter& painter);

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
    void usePenAndFill(const std::optional<Fill>& fill, const std::optional<Pen>& outline);

    QPainter& m_painter;
};

}  // namespace tw::forms::qt
