#pragma once
// The measuring behind text_metrics.h on a device context, for the controls that draw text
// with the same numbers they are sized by.

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <string>
#include <vector>

namespace tw::forms::win32 {

struct CellMetrics {
    int ascent = 0;      // pixels from a line's top to its baseline
    int lineHeight = 0;  // pixels from one line's top to the next
};

// Of the font selected into the context.
CellMetrics cellMetrics(HDC dc);
int lineWidth(HDC dc, const std::wstring& line);

// The lines, each wrapped at spaces when wrapWidth > 0 so it fits that many pixels (a single
// word longer than that stays whole).
std::vector<std::wstring> layoutLines(HDC dc, const std::vector<std::wstring>& lines, int wrapWidth);

// Width of the widest line and height of all lines, in pixels.
SIZE linesExtent(HDC dc, const std::vector<std::wstring>& lines);

}  // namespace tw::forms::win32
