#include "forms/button.h"

#include "forms/form.h"
#include "forms/win32/native_control.h"
#include "forms/win32/win32_values.h"

namespace tw::forms {

Button::Button(Container& owner, std::string name, int index)
    : Control(owner, std::move(name), index,
              win32::childWindow(owner, L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP), 1215, 375) {
    native().parentMessage = [this](UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
        if (message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED) return false;
        result = 0;
        click();
        return true;
    };
}

Button::~Button() {
    // A form must not keep answering Esc or Enter with a button that is gone.
    Form& form = owner().parentForm();
    if (form.cancelButton() == this) form.setCancelButton(nullptr);
    if (form.defaultButton() == this) form.setDefaultButton(nullptr);
}

void Button::setCaption(const std::string& caption) {
    m_caption = caption;
    // "&" stays as written: Windows underlines the letter and Alt with it clicks the button.
    if (HWND button = win32::hwndOf(*this)) SetWindowTextW(button, win32::screenText(caption).c_str());
}

void Button::setDefault(bool isDefault) {
    m_default = isDefault;
    Form& form = owner().parentForm();
    // One default button per form, as one cancel button.
    if (isDefault) {
        if (Button* previous = form.defaultButton(); previous && previous != this) previous->setDefault(false);
        form.setDefaultButton(this);
    } else if (form.defaultButton() == this) {
        form.setDefaultButton(nullptr);
    }
    if (HWND button = win32::hwndOf(*this))
        SendMessageW(button, BM_SETSTYLE, isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void Button::setCancel(bool isCancel) {
    m_cancel = isCancel;
    Form& form = owner().parentForm();
    if (isCancel) {
        if (Button* previous = form.cancelButton(); previous && previous != this) previous->m_cancel = false;
        form.setCancelButton(this);
    } else if (form.cancelButton() == this) {
        form.setCancelButton(nullptr);
    }
}

void Button::copyFrom(const Button& source) {
    copyCommonFrom(source);
    setCaption(source.m_caption);
}

}  // namespace tw::forms
