#pragma once
// What a picture is on Qt: a pixmap. Qt code turns its pixmaps into pictures and back here.

#include <QIcon>
#include <QPixmap>

#include "forms/picture.h"

namespace tw::forms {

struct PictureData {
    QPixmap pixmap;
};

namespace qt {

// An empty picture for a null pixmap.
Picture pictureFrom(QPixmap pixmap);
// A null pixmap, or a null icon, for an empty picture.
QPixmap pixmapOf(const Picture& picture);
QIcon iconOf(const Picture& picture);

}  // namespace qt

}  // namespace tw::forms
