#pragma once
// The measuring behind text_metrics.h on Qt's fonts and strings, for the widgets that draw
// text with the same numbers they are sized by.

#include <QFont>
#include <QSize>
#include <QString>
#include <QStringList>

namespace tw::forms {

struct CellMetrics {
    int ascent = 0;      // pixels from a line's top to its baseline
    int lineHeight = 0;  // pixels from one line's top to the next
};

CellMetrics cellMetrics(const QFont& font);

// The text split at its line breaks ("\n") and, when wrapWidth > 0, wrapped at spaces so
// each line fits that many pixels (a single word longer than that stays whole).
QStringList layoutLines(const QFont& font, const QString& text, int wrapWidth = 0);

// Width of the widest line and height of all lines, in pixels.
QSize textExtent(const QFont& font, const QString& text, int wrapWidth = 0);

}  // namespace tw::forms
