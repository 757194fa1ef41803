#include "forms/text_metrics.h"

#include <algorithm>

#include "forms/win32/text_layout.h"
#include "forms/win32/win32_values.h"

namespace tw::forms {

namespace win32 {

CellMetrics cellMetrics(HDC dc) {
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    // GDI's ascent and descent are the face's own "win" ones, each rounded on its own.
    return {metrics.tmAscent, metrics.tmAscent + metrics.tmDescent};
}

int lineWidth(HDC dc, const std::wstring& line) {
    SIZE size{};
    if (!line.empty()) GetTextExtentPoint32W(dc, line.data(), static_cast<int>(line.size()), &size);
    return size.cx;
}

std::vector<std::wstring> layoutLines(HDC dc, const std::vector<std::wstring>& paragraphs, int wrapWidth) {
    if (wrapWidth <= 0) return paragraphs;
    std::vector<std::wstring> lines;
    for (const std::wstring& paragraph : paragraphs) {
        std::wstring line;
        std::size_t start = 0;
        while (true) {
            const std::size_t end = std::min(paragraph.find(L' ', start), paragraph.size());
            const std::wstring word = paragraph.substr(start, end - start);
            const std::wstring candidate = line.empty() ? word : line + L' ' + word;
            if (!line.empty() && lineWidth(dc, candidate) > wrapWidth) {
                lines.push_back(line);
                line = word;
            } else {
                line = candidate;
            }
            if (end >= paragraph.size()) break;
            start = end + 1;
        }
        lines.push_back(line);
    }
    return lines;
}

SIZE linesExtent(HDC dc, const std::vector<std::wstring>& lines) {
    LONG widest = 0;
    for (const std::wstring& line : lines) widest = std::max<LONG>(widest, lineWidth(dc, line));
    return {widest, static_cast<LONG>(lines.size()) * cellMetrics(dc).lineHeight};
}

}  // namespace win32

Size textExtent(const Font& font, const std::string& text, int wrapWidth) {
    // Measured at 96 DPI: layouts are in logical pixels, the windows scale them.
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, win32::fontHandle(font, 96));
    const SIZE extent = win32::linesExtent(dc, win32::layoutLines(dc, win32::screenLines(text), wrapWidth));
    SelectObject(dc, old);
    DeleteDC(dc);
    return {static_cast<int>(extent.cx), static_cast<int>(extent.cy)};
}

}  // namespace tw::forms
