#pragma once
// What a form is on Qt: its top-level window, which is also the surface its controls sit
// on, and the event loop of a modal showing.

#include <memory>

#include <QEventLoop>
#include <QWidget>

#include "forms/form.h"
#include "forms/qt/native_control.h"

namespace tw::forms {

class FormWindow;

struct NativeForm : NativeControl {
    explicit NativeForm(Form& form);
    ~NativeForm() override;

    // The window's events, handed to the form.
    void userClosing();
    void windowHidden();
    void escapePressed();
    void enterPressed();

    Form& form;
    QEventLoop* modalLoop = nullptr;
    std::unique_ptr<FormWindow> window;
};

namespace qt {

inline QWidget* windowOf(const Form& form) { return form.native().widget.data(); }

}  // namespace qt

}  // namespace tw::forms
