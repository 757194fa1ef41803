#include "forms/shape.h"

#include <algorithm>
#include <cstdlib>

#include <QPainter>
#include <QWidget>

#include "forms/qt/native_control.h"
#include "forms/qt/qt_values.h"

namespace tw::forms {

namespace {

class ShapeWidget : public QWidget {
public:
    explicit ShapeWidget(QWidget* parent) : QWidget(parent) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

    Shape::Kind kind = Shape::Rectangle;
    QColor fill;
    bool filled = false;
    QColor border = Qt::black;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing, kind != Shape::Rectangle);
        painter.setPen(QPen(border, 1));
        painter.setBrush(filled ? QBrush(fill) : QBrush(Qt::NoBrush));
        // The outline lies inside the control's box.
        QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
        switch (kind) {
        case Shape::Rectangle: painter.drawRect(box); break;
        case Shape::RoundedRectangle: {
            const double radius = std::min(box.width(), box.height()) / 4;
            painter.drawRoundedRect(box, radius, radius);
            break;
        }
        case Shape::Circle: {
            const double side = std::min(box.width(), box.height());
            QRectF circle(0, 0, side, side);
            circle.moveCenter(box.center());
            painter.drawEllipse(circle);
            break;
        }
        }
    }
};

class LineWidget : public QWidget {
public:
    explicit LineWidget(QWidget* parent) : QWidget(parent) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

    bool rising = false;
    QColor colour = Qt::black;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setPen(QPen(colour, 0));
        const int right = width() - 1;
        const int bottom = height() - 1;
        if (rising)
            painter.drawLine(0, bottom, right, 0);
        else
            painter.drawLine(0, 0, right, bottom);
    }
};

}  // namespace

Shape::Shape(Container& owner, std::string name, int index)
    : Control(owner, std::move(name), index, qt::nativeControl(new ShapeWidget(qt::surfaceOf(owner))),
              1215, 1215) {
    repaint();
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

void Shape::repaint() {
    auto* shape = static_cast<ShapeWidget*>(qt::widgetOf(*this));
    if (!shape) return;
    shape->kind = m_kind;
    shape->fill = toQColor(m_fillColor);
    shape->filled = m_filled;
    shape->border = toQColor(m_borderColor);
    shape->update();
}

void Shape::copyFrom(const Shape& source) {
    copyCommonFrom(source);
    m_kind = source.m_kind;
    m_fillColor = source.m_fillColor;
    m_filled = source.m_filled;
    m_borderColor = source.m_borderColor;
    repaint();
}

Line::Line(Container& owner, std::string name, int index)
    : Control(owner, std::move(name), index, qt::nativeControl(new LineWidget(qt::surfaceOf(owner))),
              1215, 0) {
    applyGeometry();
    repaint();
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
    QWidget* line = qt::widgetOf(*this);
    if (!line) return;
    // One pixel more than the span, so both end points are drawn.
    line->setGeometry(twipsToPixels(left()), twipsToPixels(top()), twipsToPixels(width()) + 1,
                      twipsToPixels(height()) + 1);
}

void Line::setBorderColor(Colour colour) {
    m_borderColor = colour;
    repaint();
}

void Line::repaint() {
    auto* line = static_cast<LineWidget*>(qt::widgetOf(*this));
    if (!line) return;
    line->rising = m_rising;
    line->colour = toQColor(m_borderColor);
    line->update();
}

void Line::copyFrom(const Line& source) {
    copyCommonFrom(source);
    m_rising = source.m_rising;
    m_reversed = source.m_reversed;
    m_borderColor = source.m_borderColor;
    repaint();
}

}  // namespace tw::forms
