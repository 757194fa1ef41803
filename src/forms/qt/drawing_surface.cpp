#include "forms/qt/drawing_surface.h"

#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainterPath>
#include <QPolygonF>

#include "forms/qt/qt_values.h"
#include "platform/qt/text_codec.h"

namespace tw::forms::qt {

namespace {

QPointF toQPoint(Point p) { return {p.x, p.y}; }

QRectF toQRect(const Rect& r) { return {r.left, r.top, r.width, r.height}; }

QPen toQPen(const Pen& pen) {
    return QPen(toQColor(pen.colour), pen.width, pen.dashed ? Qt::DashLine : Qt::SolidLine);
}

QBrush toQBrush(const Fill& fill) {
    if (fill.stops.empty()) return QBrush(toQColor(fill.colour));
    QLinearGradient gradient(toQPoint(fill.from), toQPoint(fill.to));
    for (const Fill::Stop& stop : fill.stops) gradient.setColorAt(stop.at, toQColor(stop.colour));
    return QBrush(gradient);
}

}  // namespace

PainterSurface::PainterSurface(QPainter& painter) : m_painter(painter) {
    m_painter.setRenderHint(QPainter::Antialiasing, false);
}

void PainterSurface::setAntialiasing(bool on) { m_painter.setRenderHint(QPainter::Antialiasing, on); }

void PainterSurface::setScale(double factor) {
    m_painter.resetTransform();
    m_painter.scale(factor, factor);
}

void PainterSurface::drawLine(Point from, Point to, const Pen& pen) {
    m_painter.setPen(toQPen(pen));
    m_painter.drawLine(toQPoint(from), toQPoint(to));
}

void PainterSurface::drawPolyline(const std::vector<Point>& points, const Pen& pen) {
    QPolygonF line;
    line.reserve(static_cast<qsizetype>(points.size()));
    for (Point p : points) line << toQPoint(p);
    m_painter.setPen(toQPen(pen));
    m_painter.drawPolyline(line);
}

void PainterSurface::usePenAndFill(const std::optional<Fill>& fill, const std::optional<Pen>& outline) {
    m_painter.setPen(outline ? toQPen(*outline) : QPen(Qt::NoPen));
    m_painter.setBrush(fill ? toQBrush(*fill) : QBrush(Qt::NoBrush));
}

void PainterSurface::drawRect(const Rect& rect, const std::optional<Fill>& fill, const std::optional<Pen>& outline,
                              double radius) {
    // A fill alone is the painter's fillRect, which the pictures were first drawn with.
    if (!outline && fill && radius <= 0) {
        m_painter.fillRect(toQRect(rect), toQBrush(*fill));
        return;
    }
    usePenAndFill(fill, outline);
    if (radius > 0) m_painter.drawRoundedRect(toQRect(rect), radius, radius);
    else m_painter.drawRect(toQRect(rect));
}

void PainterSurface::drawPath(const Path& path, const std::optional<Fill>& fill, const std::optional<Pen>& outline) {
    QPainterPath qpath;
    for (const Path::Element& e : path.elements()) {
        switch (e.kind) {
        case Path::Kind::Move: qpath.moveTo(toQPoint(e.points[0])); break;
        case Path::Kind::Line: qpath.lineTo(toQPoint(e.points[0])); break;
        case Path::Kind::Cubic:
            qpath.cubicTo(toQPoint(e.points[0]), toQPoint(e.points[1]), toQPoint(e.points[2]));
            break;
        case Path::Kind::Close: qpath.closeSubpath(); break;
        }
    }
    usePenAndFill(fill, outline);
    m_painter.drawPath(qpath);
}

void PainterSurface::drawText(const std::string& text, const Rect& rect, const Font& font, Colour colour,
                              Alignment horizontal, VerticalAlignment vertical) {
    int flags = vertical == VerticalAlignment::Center ? Qt::AlignVCenter : Qt::AlignTop;
    flags |= horizontal == Alignment::Right ? Qt::AlignRight
             : horizontal == Alignment::Center ? Qt::AlignHCenter
                                                : Qt::AlignLeft;
    m_painter.setFont(toQFont(font));
    m_painter.setPen(toQColor(colour));
    m_painter.drawText(toQRect(rect), flags, platform::toQString(text));
}

int PainterSurface::textWidth(const std::string& text, const Font& font) {
    return QFontMetrics(toQFont(font), m_painter.device()).horizontalAdvance(platform::toQString(text));
}

int PainterSurface::textHeight(const Font& font) { return QFontMetrics(toQFont(font), m_painter.device()).height(); }

int PainterSurface::textAscent(const Font& font) { return QFontMetrics(toQFont(font), m_painter.device()).ascent(); }

}  // namespace tw::forms::qt
