#pragma once
// Drawing a picture on a device context: at its own size or stretched over a rectangle.

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "forms/picture.h"

namespace tw::forms::win32 {

void paintPicture(HDC dc, const Picture& picture, const RECT& target, bool smooth);

}  // namespace tw::forms::win32
