#include "forms/text_box.h"

#include "forms/win32/native_control.h"
#include "forms/win32/win32_values.h"

namespace tw::forms {

TextBox::TextBox(Container& owner, std::string name, int index)
    : Control(owner, std::move(name), index,
              win32::childWindow(owner, L"EDIT", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE), 1215, 315) {
    native().parentMessage = [this](UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
        if (message != WM_COMMAND || HIWORD(wParam) != EN_CHANGE) return false;
        result = 0;
        if (m_setting) return true;
        HWND field = win32::hwndOf(*this);
        std::wstring typed(static_cast<std::size_t>(GetWindowTextLengthW(field)) + 1, L'\0');
        typed.resize(static_cast<std::size_t>(GetWindowTextW(field, typed.data(), static_cast<int>(typed.size()))));
        m_text = win32::programText(typed);
        return true;
    };
}

void TextBox::setText(const std::string& text) {
    m_text = text;
    HWND field = win32::hwndOf(*this);
    if (!field) return;
    m_setting = true;
    SetWindowTextW(field, win32::screenText(text).c_str());
    m_setting = false;
    // A long command shows its start.
    SendMessageW(field, EM_SETSEL, 0, 0);
    SendMessageW(field, EM_SCROLLCARET, 0, 0);
}

}  // namespace tw::forms
