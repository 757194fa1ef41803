#include "forms/qt/qt_values.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include <QGuiApplication>
#include <QTextDocument>

#include "platform/qt/text_codec.h"

namespace tw::forms {

namespace {

std::optional<QCursor>& pointerCursor() {
    static std::optional<QCursor> cursor;
    return cursor;
}

}  // namespace

QColor toQColor(Colour colour) {
    return QColor(redOf(colour), greenOf(colour), blueOf(colour));
}

void setSurfaceColour(QPalette& palette, Colour colour) {
    const QColor surface = toQColor(colour);
    palette.setColor(QPalette::Window, surface);
    const QColor text = QGuiApplication::palette().color(QPalette::Active, QPalette::WindowText);
    // Where the desktop's text reads well it is kept (also after an earlier surface needed
    // black or white); the form sets its colour again when the desktop's palette changes.
    const bool readsWell = std::abs(text.lightness() - surface.lightness()) >= 100;
    const QColor readable = surface.lightness() >= 128 ? QColor(Qt::black) : QColor(Qt::white);
    for (auto group : {QPalette::Active, QPalette::Inactive})
        palette.setColor(group, QPalette::WindowText,
                         readsWell ? QGuiApplication::palette().color(group, QPalette::WindowText) : readable);
}

Colour fromQColor(const QColor& colour) {
    return rgb(colour.red(), colour.green(), colour.blue());
}

QFont toQFont(const Font& font) {
    QFont qfont(platform::toQString(font.name));
    qfont.setStyleHint(QFont::SansSerif);
    const double pixels = std::isfinite(font.size) ? font.size * 96.0 / 72.0 : 11.0;
    qfont.setPixelSize(std::clamp(static_cast<int>(std::lround(pixels)), 1, 500));
    qfont.setBold(font.bold);
    qfont.setUnderline(font.underline);
    qfont.setItalic(false);
    return qfont;
}

QString plainToolTip(const std::string& text) {
    const QString plain = platform::toQString(text);
    // Qt guesses whether a tooltip is rich text; a guild name such as "<Keepers>" must not
    // be taken for markup.
    if (!Qt::mightBeRichText(plain)) return plain;
    return QStringLiteral("<p style='white-space:pre'>") + plain.toHtmlEscaped() +
           QStringLiteral("</p>");
}

QCursor customPointer() {
    return pointerCursor() ? *pointerCursor() : QCursor(Qt::PointingHandCursor);
}

void setCustomPointer(std::optional<QCursor> cursor) { pointerCursor() = std::move(cursor); }

}  // namespace tw::forms
