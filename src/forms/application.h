#pragma once
// Application-wide set-up of the window system: bundled fonts, the hand pointer and the
// message-box sink.

#include "forms/picture.h"

namespace tw::forms {

// Adds /usr/share/wine/fonts/tahoma.ttf and tahomabd.ttf to the application when present
// (fontconfig does not index that folder). Without them "Tahoma" falls back to the default
// sans face. Call once the application object exists.
void registerBundledFonts();

// The hand cursor used for mouse pointer 99; the window system's pointing hand until a
// picture is set (an empty one goes back to it). Controls that already show pointer 99
// switch to the new picture. A hot spot of -1 means the picture's centre.
void setCustomPointerPicture(const Picture& picture, int hotX = -1, int hotY = -1);

// Makes MsgBox show a modal message box: style 16 critical icon, 48 warning, 64
// information; title and text as given (plain text, CR LF line breaks).
void installMessageBoxSink();

}  // namespace tw::forms
