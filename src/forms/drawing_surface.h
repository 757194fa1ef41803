#pragma once
// Where pictures and painted controls draw: lines, paths, rectangles and text in pixels, with
// (0, 0) the top left. Each window system implements it once; the program's own drawing sees
// only this. Coordinates are doubles so an outline can sit on a pixel's centre (x.5).

#include <optional>
#include <string>
#include <vector>

#include "forms/units.h"

namespace tw::forms {

struct Point {
    double x = 0;
    double y = 0;
};

struct Rect {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
};

struct Pen {
    Colour colour = kBlack;
    double width = 1;
    bool dashed = false;
};

// A solid colour, or, with stops, a linear gradient from `from` (at 0) to `to` (at 1).
struct Fill {
    struct Stop {
        double at = 0;
        Colour colour = kBlack;
    };
    Colour colour = kBlack;
    Point from;
    Point to;
    std::vector<Stop> stops;
};

// An outline of straight and cubic segments; several figures may follow each other.
class Path {
public:
    enum class Kind { Move, Line, Cubic, Close };
    struct Element {
        Kind kind;
        Point points[3];
    };

    void moveTo(Point p) { m_elements.push_back({Kind::Move, {p, {}, {}}}); }
    void lineTo(Point p) { m_elements.push_back({Kind::Line, {p, {}, {}}}); }
    void cubicTo(Point c1, Point c2, Point end) { m_elements.push_back({Kind::Cubic, {c1, c2, end}}); }
    void close() { m_elements.push_back({Kind::Close, {}}); }
    const std::vector<Element>& elements() const { return m_elements; }

private:
    std::vector<Element> m_elements;
};

enum class VerticalAlignment { Top, Center };

class DrawingSurface {
public:
    virtual ~DrawingSurface() = default;

    // Off at the start: edges fall on whole pixels.
    virtual void setAntialiasing(bool on) = 0;
    // Multiplies every later coordinate and pen width (a picture drawn on a grid of another size).
    virtual void setScale(double factor) = 0;

    virtual void drawLine(Point from, Point to, const Pen& pen) = 0;
    virtual void drawPolyline(const std::vector<Point>& points, const Pen& pen) = 0;
    // Either of fill and outline may be absent; a rectangle's corners are rounded by `radius`.
    virtual void drawRect(const Rect& rect, const std::optional<Fill>& fill, const std::optional<Pen>& outline,
                          double radius = 0) = 0;
    virtual void drawPath(const Path& path, const std::optional<Fill>& fill, const std::optional<Pen>& outline) = 0;

    // One line of text (the program's bytes) in the rectangle, aligned inside it.
    virtual void drawText(const std::string& text, const Rect& rect, const Font& font, Colour colour,
                          Alignment horizontal, VerticalAlignment vertical) = 0;
    // Pixels the text advances; a line's height and its baseline below the line's top.
    virtual int textWidth(const std::string& text, const Font& font) = 0;
    virtual int textHeight(const Font& font) = 0;
    virtual int textAscent(const Font& font) = 0;
};

// A solid fill of one colour.
inline Fill solidFill(Colour colour) {
    Fill fill;
    fill.colour = colour;
    return fill;
}

}  // namespace tw::forms
