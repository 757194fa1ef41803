#include "forms/frame.h"

#include <algorithm>

#include "forms/win32/native_control.h"
#include "forms/win32/text_layout.h"
#include "forms/win32/win32_values.h"

namespace tw::forms {

Frame::Frame(Container& owner, std::string name, int index)
    : Control(owner, std::move(name), index,
              win32::childWindow(owner, win32::surfaceClass(), WS_CLIPCHILDREN, WS_EX_CONTROLPARENT), 2415, 1215) {
    // The group box's etched edge, its top through the middle of the caption, which sits
    // on the frame's colour and breaks the edge.
    native().paintUnder = [this](HDC dc) {
        NativeControl& self = native();
        RECT client;
        GetClientRect(self.hwnd, &client);
        const int dpi = self.dpi();
        HGDIOBJ oldFont = SelectObject(dc, win32::fontHandle(font(), dpi));
        const std::wstring caption = win32::screenText(m_caption);
        const win32::CellMetrics cell = win32::cellMetrics(dc);
        RECT edge = client;
        edge.top = cell.lineHeight / 2;
        DrawEdge(dc, &edge, EDGE_ETCHED, BF_RECT);
        if (!caption.empty()) {
            const int inset = win32::scaledPixels(8, dpi);
            const int gap = win32::scaledPixels(2, dpi);
            const int width = win32::lineWidth(dc, caption);
            RECT text{inset, 0, std::min<LONG>(client.right - gap, inset + width + 2 * gap), cell.lineHeight};
            FillRect(dc, &text, win32::solidBrush(self.background));
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, IsWindowEnabled(self.hwnd) ? foreColor() : GetSysColor(COLOR_GRAYTEXT));
            text.left += gap;
            DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
                      DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOCLIP);
        }
        SelectObject(dc, oldFont);
    };
    setBackColor(m_backColor);
}

void Frame::setCaption(const std::string& caption) {
    m_caption = caption;
    native().invalidate();
}

void Frame::setBackColor(Colour colour) {
    m_backColor = colour;
    native().background = colour;  // the same byte order as Windows' own colour values
    // Check boxes on the frame take its colour when they paint again.
    if (HWND frame = native().hwnd) RedrawWindow(frame, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void Frame::copyFrom(const Frame& source) {
    copyCommonFrom(source);
    setCaption(source.m_caption);
    setBackColor(source.m_backColor);
}

}  // namespace tw::forms
