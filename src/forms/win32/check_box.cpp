#include "forms/check_box.h"

#include "forms/win32/native_control.h"
#include "forms/win32/win32_values.h"
#include "runtime/runtime_error.h"

namespace tw::forms {

CheckBox::CheckBox(Container& owner, std::string name, int index)
    : Control(owner, std::move(name), index,
              win32::childWindow(owner, L"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP), 1215, 255) {
    native().parentMessage = [this](UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
        if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
            // The box has already toggled itself; the value follows it.
            const int now = SendMessageW(win32::hwndOf(*this), BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
            result = 0;
            if (now != m_value) {
                m_value = now;
                click();
            }
            return true;
        }
        if (message == WM_CTLCOLORSTATIC || message == WM_CTLCOLORBTN) {
            // On the colour of whatever it sits on, its text in the control's colour.
            const COLORREF background = native().parent ? native().parent->background : GetSysColor(COLOR_BTNFACE);
            HDC dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, foreColor());
            SetBkColor(dc, background);
            result = reinterpret_cast<LRESULT>(win32::solidBrush(background));
            return true;
        }
        return false;
    };
}

void CheckBox::setCaption(const std::string& caption) {
    m_caption = caption;
    if (HWND box = win32::hwndOf(*this)) SetWindowTextW(box, win32::screenText(caption).c_str());
}

void CheckBox::setValue(int value) {
    if (value != 0 && value != 1) throw RuntimeError(kErrInvalidPropertyValue);
    if (value == m_value) return;
    m_value = value;
    // BM_SETCHECK sends no notification: the program's change runs onClick here.
    if (HWND box = win32::hwndOf(*this)) SendMessageW(box, BM_SETCHECK, value == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
    click();
}

void CheckBox::copyFrom(const CheckBox& source) {
    copyCommonFrom(source);
    setCaption(source.m_caption);
    setValue(source.m_value);
}

}  // namespace tw::forms
