#include "forms/win32/gdiplus_surface.h"

#include <memory>

#include "platform/win32/wide.h"
#include "runtime/utf8.h"

namespace tw::forms::win32 {
namespace {

using namespace Gdiplus;

Color toColor(Colour colour) {
    return Color(255, static_cast<BYTE>(redOf(colour)), static_cast<BYTE>(greenOf(colour)),
                 static_cast<BYTE>(blueOf(colour)));
}

PointF toPointF(Point p) { return PointF(static_cast<REAL>(p.x), static_cast<REAL>(p.y)); }

std::unique_ptr<Gdiplus::Pen> toPen(const Pen& pen) {
    auto result = std::make_unique<Gdiplus::Pen>(toColor(pen.colour), static_cast<REAL>(pen.width));
    if (pen.dashed) result->SetDashStyle(DashStyleDash);
    return result;
}

std::unique_ptr<Brush> toBrush(const Fill& fill) {
    if (fill.stops.empty()) return std::make_unique<SolidBrush>(toColor(fill.colour));
    // GDI+ wants the first stop at 0 and the last at 1; the ends carry on outward.
    std::vector<Color> colours;
    std::vector<REAL> positions;
    if (fill.stops.front().at > 0) {
        colours.push_back(toColor(fill.stops.front().colour));
        positions.push_back(0);
    }
    for (const Fill::Stop& stop : fill.stops) {
        colours.push_back(toColor(stop.colour));
        positions.push_back(static_cast<REAL>(std::clamp(stop.at, 0.0, 1.0)));
    }
    if (fill.stops.back().at < 1) {
        colours.push_back(toColor(fill.stops.back().colour));
        positions.push_back(1);
    }
    auto brush = std::make_unique<LinearGradientBrush>(toPointF(fill.from), toPointF(fill.to), colours.front(),
                                                       colours.back());
    brush->SetInterpolationColors(colours.data(), positions.data(), static_cast<INT>(colours.size()));
    return brush;
}

std::wstring wideText(const std::string& text) { return platform::win32::wide(toUtf8(text)); }

// The font as GDI's font mapper finds it for the windows, at 96 pixels to the inch, so a
// picture's text measures as a label's does; the generic sans face when none is found.
std::unique_ptr<Gdiplus::Font> toFont(const Font& font) {
    LOGFONTW log{};
    log.lfHeight = -static_cast<LONG>(font.size * 96 / 72 + 0.5);
    log.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    log.lfUnderline = font.underline ? TRUE : FALSE;
    log.lfCharSet = DEFAULT_CHARSET;
    const std::wstring face = wideText(font.name).substr(0, LF_FACESIZE - 1);
    face.copy(log.lfFaceName, face.size());
    HDC screen = GetDC(nullptr);
    auto result = std::make_unique<Gdiplus::Font>(screen, &log);
    ReleaseDC(nullptr, screen);
    if (result->GetLastStatus() == Ok) return result;
    INT style = font.bold ? FontStyleBold : FontStyleRegular;
    if (font.underline) style |= FontStyleUnderline;
    return std::make_unique<Gdiplus::Font>(FontFamily::GenericSansSerif(), static_cast<REAL>(font.size), style,
                                           UnitPoint);
}

// Outlines are drawn half a pixel up and left of what is asked, with pixel centres on whole
// coordinates: an outline at x.5 then covers pixel x exactly, as fills cover [left, right).
class StrokeOffset {
public:
    explicit StrokeOffset(Graphics& graphics) : m_graphics(graphics) {
        m_graphics.GetTransform(&m_saved);
        m_graphics.TranslateTransform(-0.5f, -0.5f, MatrixOrderAppend);
    }
    ~StrokeOffset() { m_graphics.SetTransform(&m_saved); }
    StrokeOffset(const StrokeOffset&) = delete;
    StrokeOffset& operator=(const StrokeOffset&) = delete;

private:
    Graphics& m_graphics;
    Matrix m_saved;
};

}  // namespace

void ensureGdiplus() {
    static const bool started = [] {
        GdiplusStartupInput input;
        ULONG_PTR token = 0;
        return GdiplusStartup(&token, &input, nullptr) == Ok;
    }();
    (void)started;
}

GdiplusSurface::GdiplusSurface(Graphics& graphics) : m_graphics(graphics) {
    // Pixel centres on whole coordinates: a rectangle from 0 to 10 covers pixels 0 to 9.
    m_graphics.SetPixelOffsetMode(PixelOffsetModeNone);
    m_graphics.SetSmoothingMode(SmoothingModeNone);
    m_graphics.SetTextRenderingHint(TextRenderingHintAntiAliasGridFit);
}

void GdiplusSurface::setAntialiasing(bool on) {
    m_graphics.SetSmoothingMode(on ? SmoothingModeAntiAlias : SmoothingModeNone);
}

void GdiplusSurface::setScale(double factor) {
    m_graphics.ResetTransform();
    m_graphics.ScaleTransform(static_cast<REAL>(factor), static_cast<REAL>(factor));
}

void GdiplusSurface::drawLine(Point from, Point to, const Pen& pen) {
    const StrokeOffset offset(m_graphics);
    m_graphics.DrawLine(toPen(pen).get(), toPointF(from), toPointF(to));
}

void GdiplusSurface::drawPolyline(const std::vector<Point>& points, const Pen& pen) {
    if (points.size() < 2) return;
    std::vector<PointF> line;
    line.reserve(points.size());
    for (Point p : points) line.push_back(toPointF(p));
    const StrokeOffset offset(m_graphics);
    m_graphics.DrawLines(toPen(pen).get(), line.data(), static_cast<INT>(line.size()));
}

void GdiplusSurface::fillAndStroke(GraphicsPath& path, const std::optional<Fill>& fill,
                                   const std::optional<Pen>& outline) {
    if (fill) m_graphics.FillPath(toBrush(*fill).get(), &path);
    if (!outline) return;
    const StrokeOffset offset(m_graphics);
    m_graphics.DrawPath(toPen(*outline).get(), &path);
}

void GdiplusSurface::drawRect(const Rect& rect, const std::optional<Fill>& fill, const std::optional<Pen>& outline,
                              double radius) {
    const RectF r(static_cast<REAL>(rect.left), static_cast<REAL>(rect.top), static_cast<REAL>(rect.width),
                  static_cast<REAL>(rect.height));
    if (radius <= 0) {
        if (fill) m_graphics.FillRectangle(toBrush(*fill).get(), r);
        if (!outline) return;
        const StrokeOffset offset(m_graphics);
        m_graphics.DrawRectangle(toPen(*outline).get(), r);
        return;
    }
    const REAL d = static_cast<REAL>(std::min({radius * 2, rect.width, rect.height}));
    GraphicsPath path;
    path.AddArc(r.X, r.Y, d, d, 180, 90);
    path.AddArc(r.X + r.Width - d, r.Y, d, d, 270, 90);
    path.AddArc(r.X + r.Width - d, r.Y + r.Height - d, d, d, 0, 90);
    path.AddArc(r.X, r.Y + r.Height - d, d, d, 90, 90);
    path.CloseFigure();
    fillAndStroke(path, fill, outline);
}

void GdiplusSurface::drawPath(const Path& path, const std::optional<Fill>& fill, const std::optional<Pen>& outline) {
    GraphicsPath gpath;
    PointF current;
    for (const Path::Element& e : path.elements()) {
        switch (e.kind) {
        case Path::Kind::Move:
            gpath.StartFigure();
            current = toPointF(e.points[0]);
            break;
        case Path::Kind::Line: {
            const PointF to = toPointF(e.points[0]);
            gpath.AddLine(current, to);
            current = to;
            break;
        }
        case Path::Kind::Cubic: {
            const PointF to = toPointF(e.points[2]);
            gpath.AddBezier(current, toPointF(e.points[0]), toPointF(e.points[1]), to);
            current = to;
            break;
        }
        case Path::Kind::Close: gpath.CloseFigure(); break;
        }
    }
    fillAndStroke(gpath, fill, outline);
}

void GdiplusSurface::drawText(const std::string& text, const Rect& rect, const Font& font, Colour colour,
                              Alignment horizontal, VerticalAlignment vertical) {
    // Laid out as textWidth measures, without the padding the default format adds at each end.
    StringFormat format(StringFormat::GenericTypographic());
    format.SetAlignment(horizontal == Alignment::Right    ? StringAlignmentFar
                        : horizontal == Alignment::Center ? StringAlignmentCenter
                                                          : StringAlignmentNear);
    format.SetLineAlignment(vertical == VerticalAlignment::Center ? StringAlignmentCenter : StringAlignmentNear);
    format.SetFormatFlags(StringFormatFlagsNoWrap);  // clipped to the rectangle, as before
    const RectF r(static_cast<REAL>(rect.left), static_cast<REAL>(rect.top), static_cast<REAL>(rect.width),
                  static_cast<REAL>(rect.height));
    const std::wstring wide = wideText(text);
    SolidBrush brush(toColor(colour));
    m_graphics.DrawString(wide.c_str(), static_cast<INT>(wide.size()), toFont(font).get(), r, &format, &brush);
}

int GdiplusSurface::textWidth(const std::string& text, const Font& font) {
    const std::wstring wide = wideText(text);
    if (wide.empty()) return 0;
    RectF bounds;
    m_graphics.MeasureString(wide.c_str(), static_cast<INT>(wide.size()), toFont(font).get(), PointF(0, 0),
                             StringFormat::GenericTypographic(), &bounds);
    return static_cast<int>(bounds.Width + 0.5f);
}

int GdiplusSurface::textHeight(const Font& font) {
    return static_cast<int>(toFont(font)->GetHeight(&m_graphics) + 0.5f);
}

int GdiplusSurface::textAscent(const Font& font) {
    auto gdiFont = toFont(font);
    FontFamily family;
    gdiFont->GetFamily(&family);
    const INT style = gdiFont->GetStyle();
    const REAL lineSpacing = family.GetLineSpacing(style);
    if (lineSpacing <= 0) return 0;
    // The line's height in pixels shared out as the family's design shares it.
    return static_cast<int>(gdiFont->GetHeight(&m_graphics) * family.GetCellAscent(style) / lineSpacing + 0.5f);
}

}  // namespace tw::forms::win32
