#pragma once
// Text measured the way the program's layouts expect: each line takes the font's full cell
// height (the OS/2 "win" ascent plus descent, rounded each on its own), so a Tahoma 8.25 pt
// line is 13 pixels (195 twips) whatever the face's own line spacing says. Labels draw
// with the same numbers they are sized by.

#include <string>

#include "forms/units.h"

namespace tw::forms {

// Width of the widest line and height of all lines, in pixels, of program text in the font
// (CR LF, a lone CR or a lone LF start a line). When wrapWidth > 0 the lines are wrapped at
// spaces to fit that many pixels (a single word longer than that stays whole).
Size textExtent(const Font& font, const std::string& text, int wrapWidth = 0);

}  // namespace tw::forms
