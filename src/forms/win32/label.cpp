#include "forms/label.h"

#include <algorithm>

#include "forms/text_metrics.h"
#include "forms/win32/native_control.h"
#include "forms/win32/text_layout.h"
#include "forms/win32/win32_values.h"

namespace tw::forms {

namespace {

std::string withoutMnemonics(const std::string& text) {
    std::string shown;
    shown.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) ++i;
        shown.push_back(text[i]);
    }
    return shown;
}

// An empty auto-sized label keeps this width rather than shrinking to nothing.
constexpr int kEmptyWidthPixels = 3;

}  // namespace

Label::Label(Container& owner, std::string name, int index)
    : Control(owner, std::move(name), index, win32::windowless(owner), 1215, 255) {
    NativeControl& native = win32::nativeOf(*this);
    // Painted line by line with the cell height the label is sized by; never as markup.
    native.paint = [this](HDC dc, const RECT& bounds) {
        NativeControl& self = win32::nativeOf(*this);
        if (m_opaque) FillRect(dc, &bounds, win32::solidBrush(m_backColor));
        const std::string shown = m_useMnemonic ? withoutMnemonics(m_caption) : m_caption;
        if (shown.empty()) return;
        HGDIOBJ old = SelectObject(dc, win32::fontHandle(font(), self.dpi()));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, self.enabled ? foreColor() : GetSysColor(COLOR_GRAYTEXT));
        const int width = bounds.right - bounds.left;
        const win32::CellMetrics cell = win32::cellMetrics(dc);
        int y = bounds.top;
        for (const std::wstring& line : win32::layoutLines(dc, win32::screenLines(shown), m_wordWrap ? width : 0)) {
            const int lineWidth = win32::lineWidth(dc, line);
            int x = bounds.left;
            if (m_alignment == Alignment::Right) x = bounds.right - lineWidth;
            if (m_alignment == Alignment::Center) x = bounds.left + (width - lineWidth) / 2;
            ExtTextOutW(dc, x, y, 0, nullptr, line.data(), static_cast<UINT>(line.size()), nullptr);
            y += cell.lineHeight;
        }
        SelectObject(dc, old);
    };
}

void Label::setCaption(const std::string& caption) {
    m_caption = caption;
    showCaption();
}

void Label::showCaption() {
    win32::nativeOf(*this).invalidate();
    fitToCaption();
}

void Label::setAutoSize(bool autoSize) {
    m_autoSize = autoSize;
    fitToCaption();
}

void Label::setAlignment(Alignment alignment) {
    m_alignment = alignment;
    win32::nativeOf(*this).invalidate();
}

void Label::setWordWrap(bool wordWrap) {
    m_wordWrap = wordWrap;
    win32::nativeOf(*this).invalidate();
    fitToCaption();
}

void Label::setBackColor(Colour colour) {
    m_backColor = colour;
    applyBackground();
}

void Label::setOpaque(bool opaque) {
    m_opaque = opaque;
    applyBackground();
}

void Label::applyBackground() { win32::nativeOf(*this).invalidate(); }

void Label::setUseMnemonic(bool useMnemonic) {
    m_useMnemonic = useMnemonic;
    showCaption();
}

void Label::fontChanged() { fitToCaption(); }

void Label::fitToCaption() {
    if (!m_autoSize) return;
    const std::string shown = m_useMnemonic ? withoutMnemonics(m_caption) : m_caption;
    const int lineHeight = forms::textExtent(font(), " ").height();
    if (m_wordWrap) {
        // The width stays; the height takes as many lines as the wrapped caption needs.
        const Size extent = forms::textExtent(font(), shown, std::max(1, twipsToPixels(width())));
        move(left(), top(), width(), pixelsToTwips(std::max(extent.height(), lineHeight)));
        return;
    }
    if (shown.empty()) {
        move(left(), top(), pixelsToTwips(kEmptyWidthPixels), pixelsToTwips(lineHeight));
        return;
    }
    const Size extent = forms::textExtent(font(), shown);
    move(left(), top(), pixelsToTwips(extent.width()), pixelsToTwips(extent.height()));
}

Size Label::textExtent(const std::string& caption) const {
    const Size pixels = forms::textExtent(font(), caption);
    return {pixelsToTwips(pixels.width()), pixelsToTwips(pixels.height())};
}

void Label::copyFrom(const Label& source) {
    copyCommonFrom(source);
    m_autoSize = false;  // the caption goes in at the copied size first
    m_useMnemonic = source.m_useMnemonic;
    setAlignment(source.m_alignment);
    setWordWrap(source.m_wordWrap);
    m_backColor = source.m_backColor;
    m_opaque = source.m_opaque;
    applyBackground();
    setCaption(source.m_caption);
    m_autoSize = source.m_autoSize;
}

}  // namespace tw::forms
