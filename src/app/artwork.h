#pragma once
// The program's own pictures, drawn in code so the executable carries them without any
// image file: the program icon, its tinted tray alert variants and its faded stale look, the
// three realm pictures, the pointing-hand cursor and the donation button. Need the window
// system to be up.

#include "forms/picture.h"
#include "forms/units.h"

namespace tw {

struct HotSpot {
    int x = 0;
    int y = 0;
};

forms::Picture programIcon();                 // 32 x 32: a watchtower on a shield
forms::Picture programIcon(int size);         // the same at size x size (the menu's icons)
forms::Picture alertIcon(forms::Colour tint); // 16 x 16: the same, the shield in the tint
forms::Picture staleIcon();                   // 32 x 32: the program icon faded to grey
forms::Picture hammerPicture();               // 13 x 13: Midgard
forms::Picture cupPicture();                  // 13 x 13: Albion
forms::Picture treePicture();                 // 13 x 13: Hibernia
forms::Picture handCursor();                  // 32 x 32, pointing up-left
HotSpot handCursorHotSpot();                  // the fingertip: (5, 0)
forms::Picture donateButtonPicture();         // 62 x 31, reads "Donate"

}  // namespace tw
