#pragma once
// Painted decorations: a shape (rectangle, circle, rounded rectangle; outlined, optionally
// filled) and a line. Neither takes the mouse: clicks go to what lies beneath.

#include <string>

#include "forms/control.h"

namespace tw::forms {

class Shape : public Control {
public:
    enum Kind { Rectangle, Circle, RoundedRectangle };

    Shape(Container& owner, std::string name, int index = -1);

    Kind kind() const { return m_kind; }
    void setKind(Kind kind);
    Colour fillColor() const { return m_fillColor; }
    void setFillColor(Colour colour);
    bool filled() const { return m_filled; }
    void setFilled(bool filled);
    Colour borderColor() const { return m_borderColor; }
    void setBorderColor(Colour colour);

    void copyFrom(const Shape& source);

private:
    void repaint();

    Kind m_kind = Rectangle;
    Colour m_fillColor = kBlack;
    bool m_filled = false;
    Colour m_borderColor = kBlack;
};

class Line : public Control {
public:
    Line(Container& owner, std::string name, int index = -1);

    // End points in twips, relative to the container.
    void setPoints(int x1, int y1, int x2, int y2);
    int x1() const;
    int y1() const;
    int x2() const;
    int y2() const;
    Colour borderColor() const { return m_borderColor; }
    void setBorderColor(Colour colour);

    void copyFrom(const Line& source);

protected:
    void applyGeometry() override;

private:
    void repaint();

    // The line runs from the box's top-left to its bottom-right, or from its bottom-left to
    // its top-right when rising.
    bool m_rising = false;
    bool m_reversed = false;  // the first point given is the right/bottom one
    Colour m_borderColor = kBlack;
};

}  // namespace tw::forms
