#include "forms/qt/qt_values.h"

#include <algorithm>
#include <cmath>

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
