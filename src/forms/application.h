#pragma once
// Application-wide set-up of the window system: bundled fonts, the hand pointer and the
// message-box sink.

#include <QCursor>
#include <QPixmap>

namespace tw::forms {

// Adds /usr/share/wine/fonts/tahoma.ttf and tahomabd.ttf to the application when present
// (fontconfig does not index that folder). Without them "Tahoma" falls back to the default
// sans face. Call after the QApplication exists.
void registerBundledFonts();

// The hand cursor used for mouse pointer 99; Qt's pointing hand until a picture is set.
// Controls that already show pointer 99 switch to the new picture. A hot spot of -1 means
// the picture's centre.
void setCustomPointerPicture(const QPixmap& picture, int hotX = -1, int hotY = -1);
QCursor customPointer();

// Makes MsgBox show a modal QMessageBox: style 16 critical icon, 48 warning, 64
// information; title and text as given (plain text, CR LF line breaks).
void installMessageBoxSink();

}  // namespace tw::forms
