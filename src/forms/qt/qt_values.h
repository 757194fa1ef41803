#pragma once
// Turns the window system's plain values into Qt's: colours, fonts, tooltips, cursors.
// Used by the controls and forms of this layer.

#include <optional>
#include <string>

#include <QColor>
#include <QPalette>
#include <QCursor>
#include <QFont>
#include <QString>

#include "forms/units.h"

namespace tw::forms {

QColor toQColor(Colour colour);
// Sets the palette's Window to `colour` and, where the window system's own text colour would
// not stand out on it (a dark desktop's light text on our light surfaces), the text the
// controls inherit to black or white.
void setSurfaceColour(QPalette& palette, Colour colour);
Colour fromQColor(const QColor& colour);

// A QFont for the font at 96 DPI (pixel size), falling back to the default sans face when
// the family is not installed.
QFont toQFont(const Font& font);

// Tooltip text that Qt shows as written, never as rich text.
QString plainToolTip(const std::string& text);

// The cursor of mouse pointer 99: the one set here, or Qt's pointing hand when none is.
QCursor customPointer();
void setCustomPointer(std::optional<QCursor> cursor);

}  // namespace tw::forms
