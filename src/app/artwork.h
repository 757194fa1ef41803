#pragma once
// The program's own pictures, painted in code so the executable carries them without any
// image file: the program icon, its tinted tray alert variants and its faded stale look, the
// three realm pictures, the pointing-hand cursor and the donation button. Needs a
// QGuiApplication.

#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QPoint>

namespace tw {

QPixmap programIcon();                    // 32 x 32: a watchtower on a shield
QImage programIconImage(int size);        // the same at size x size (the menu's icons)
QPixmap alertIcon(const QColor& tint);    // 16 x 16: the same, the shield in the tint
QPixmap staleIcon();                      // 32 x 32: the program icon faded to grey
QPixmap hammerPicture();                  // 13 x 13: Midgard
QPixmap cupPicture();                     // 13 x 13: Albion
QPixmap treePicture();                    // 13 x 13: Hibernia
QPixmap handCursor();                     // 32 x 32, pointing up-left
QPoint handCursorHotSpot();               // the fingertip: (5, 0)
QPixmap donateButtonPicture();            // 62 x 31, reads "Donate"

}  // namespace tw
