#pragma once
// Turns the window system's plain values into Qt's: colours, fonts, tooltips, cursors.
// Used by the controls and forms of this layer.

#include <optional>
#include <string>

#include <QColor>
#include <QCursor>
#include <QFont>
#include <QString>

#include "forms/units.h"

namespace tw::forms {

QColor toQColor(Colour colour);
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
