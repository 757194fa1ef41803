#pragma once
// Application-wide set-up of the window system: bundled fonts, the hand pointer and the
// message-box sink; running a task later and at quit; how the next window shown asks for the
// focus.

#include <functional>
#include <string>

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

// Runs `task` from the event loop, after the handler running now has returned.
void runSoon(std::function<void()> task);
// Whether the application object, and with it every window, still exists.
bool applicationRunning();
// Runs `task` when the event loop is about to stop for good.
void whenQuitting(std::function<void()> task);

// The next form shown or shown again asks the desktop to activate it: with the launcher's
// activation token when there is one, else by asking for the user's attention. Only on Wayland,
// where a window cannot raise itself; elsewhere showing a form raises it as always.
void activateNextShownForm(const std::string& activationToken);

}  // namespace tw::forms
