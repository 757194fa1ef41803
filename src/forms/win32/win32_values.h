#pragma once
// Turns the window system's plain values into Windows' own: pixels at a window's DPI, fonts,
// screen text, the hand cursor.

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <string>
#include <vector>

#include "forms/units.h"

namespace tw::forms::win32 {

// 1440 twips to the inch; at 96 DPI exactly the program's twipsToPixels.
int twipsAt(int twips, int dpi);
int pixelsToTwipsAt(int pixels, int dpi);
// Logical pixels (96 to the inch) at the DPI.
int scaledPixels(int pixels, int dpi);

// The font at the DPI; handles are made once and kept for the program's life.
HFONT fontHandle(const Font& font, int dpi);

// Program text as the wide calls show it: valid UTF-8 as such, anything else as Windows-1252.
std::wstring screenText(const std::string& bytes);
// Text from the screen, as UTF-8.
std::string programText(const std::wstring& text);
// The text's lines: CR LF, a lone CR or a lone LF each start one.
std::vector<std::wstring> screenLines(const std::string& bytes);

// The cursor of mouse pointer 99: the one set, or the system's hand.
HCURSOR customCursor();
void setCustomCursor(HCURSOR cursor);

// A brush of the colour, made once and kept.
HBRUSH solidBrush(COLORREF colour);

// The DPI of a window (96 when the system cannot say).
int windowDpi(HWND hwnd);

}  // namespace tw::forms::win32
