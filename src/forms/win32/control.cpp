#include "forms/control.h"

#include "forms/container.h"
#include "forms/win32/native_control.h"
#include "forms/win32/win32_values.h"

namespace tw::forms {

Control::Control(Container& owner, std::string name, int index, std::unique_ptr<NativeControl> native,
                 int width, int height)
    : m_owner(owner),
      m_name(std::move(name)),
      m_index(index),
      m_native(std::move(native)),
      m_width(width),
      m_height(height),
      m_font(owner.childFont()) {
    m_native->control = this;
    if (!m_native->hwnd) m_native->clicked = [this] { click(); };
    m_native->relayout = [this] {
        applyGeometry();
        if (m_native->hwnd)
            SendMessageW(m_native->hwnd, WM_SETFONT,
                         reinterpret_cast<WPARAM>(win32::fontHandle(m_font, m_native->dpi())), TRUE);
        fontChanged();
    };
    if (m_native->hwnd)
        SendMessageW(m_native->hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(win32::fontHandle(m_font, m_native->dpi())),
                     FALSE);
    applyGeometry();
    setVisible(true);
}

Control::~Control() = default;

void Control::setLeft(int twips) { move(twips, m_top); }
void Control::setTop(int twips) { move(m_left, twips); }
void Control::setWidth(int twips) { move(m_left, m_top, twips, m_height); }
void Control::setHeight(int twips) { move(m_left, m_top, m_width, twips); }

void Control::move(int left, int top, int width, int height) {
    m_left = left;
    m_top = top;
    if (width >= 0) m_width = width;
    if (height >= 0) m_height = height;
    applyGeometry();
}

void Control::applyGeometry() {
    NativeControl& native = *m_native;
    const int dpi = native.dpi();
    const int x = win32::twipsAt(m_left, dpi);
    const int y = win32::twipsAt(m_top, dpi);
    const RECT bounds{x, y, x + win32::twipsAt(m_width, dpi), y + win32::twipsAt(m_height, dpi)};
    if (EqualRect(&bounds, &native.bounds)) return;
    if (native.hwnd) {
        native.bounds = bounds;
        SetWindowPos(native.hwnd, nullptr, bounds.left, bounds.top, bounds.right - bounds.left,
                     bounds.bottom - bounds.top, SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    native.invalidate();  // where it was
    native.bounds = bounds;
    native.invalidate();
    if (!native.toolTip.empty()) win32::updateToolTip(native);
}

void Control::setVisible(bool visible) {
    m_visible = visible;
    NativeControl& native = *m_native;
    if (native.hwnd) {
        ShowWindow(native.hwnd, visible ? SW_SHOWNA : SW_HIDE);
    } else if (native.shown != visible) {
        native.shown = visible;
        native.invalidate();
    }
}

void Control::setEnabled(bool enabled) {
    m_enabled = enabled;
    m_native->enabled = enabled;
    if (m_native->hwnd)
        EnableWindow(m_native->hwnd, enabled);
    else
        m_native->invalidate();
}

// The dialog manager tabs through child windows in their z-order: the control goes right
// under `previous`. Windowless labels take no focus here and have no place in it.
void Control::followInTabOrder(const Control& previous) {
    const HWND window = m_native->hwnd;
    const HWND before = previous.m_native->hwnd;
    if (!window || !before || window == before || GetParent(window) != GetParent(before)) return;
    SetWindowPos(window, before, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

// Kept for the program's own use; the Windows build tells screen readers nothing more yet.
void Control::setAccessible(AccessibleRole role, const std::string& name) {
    m_accessibleRole = role;
    m_accessibleName = name;
}

void Control::setToolTipText(const std::string& text) {
    m_toolTip = text;
    m_native->toolTip = win32::screenText(text);
    win32::updateToolTip(*m_native);
}

void Control::setForeColor(Colour colour) {
    m_foreColor = colour;
    applyForeColor();
}

void Control::applyForeColor() { m_native->invalidate(); }

void Control::setFont(const Font& font) {
    if (font == m_font) return;
    m_font = font;
    if (m_native->hwnd)
        SendMessageW(m_native->hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(win32::fontHandle(font, m_native->dpi())),
                     TRUE);
    else
        m_native->invalidate();
    fontChanged();
}

void Control::setMousePointer(int pointer) {
    m_mousePointer = pointer;
    m_native->customPointer = pointer == kCustomPointer;
}

void Control::bringToFront() {
    if (m_native->hwnd)
        SetWindowPos(m_native->hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    else if (m_native->parent)
        m_native->parent->raiseWindowless(m_native.get());
}

void Control::setFocus() {
    if (m_native->hwnd) SetFocus(m_native->hwnd);
}

void Control::click() {
    // A copy: the handler may unload this very control.
    const auto handler = onClick;
    if (handler) handler();
}

void Control::copyCommonFrom(const Control& source) {
    move(source.m_left, source.m_top, source.m_width, source.m_height);
    setEnabled(source.m_enabled);
    setTag(source.m_tag);
    setToolTipText(source.m_toolTip);
    setAccessible(source.m_accessibleRole, source.m_accessibleName);
    setForeColor(source.m_foreColor);
    setFont(source.m_font);
    setMousePointer(source.m_mousePointer);
}

}  // namespace tw::forms
