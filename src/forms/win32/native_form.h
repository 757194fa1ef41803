#pragma once
// What a form is on Windows: a top-level window of the program's own class, which is also
// the surface its controls sit on, and the state of a modal showing.

#include <memory>
#include <vector>

#include "forms/form.h"
#include "forms/win32/native_control.h"

namespace tw::forms {

struct DrawnLine {
    int x1, y1, x2, y2;  // twips
    Colour colour;
};

struct NativeForm : NativeControl {
    explicit NativeForm(Form& form);
    ~NativeForm() override;

    Form& form;
    std::vector<DrawnLine> lines;
    // Set while the form is shown modal: the flag its loop waits on, and the windows it
    // disabled, to be enabled again before it goes.
    std::shared_ptr<bool> modalDone;
    std::vector<HWND> disabledByModal;
    // The state asked for while hidden, applied when shown.
    WindowState pendingState = WindowState::Normal;

    // Ends a modal showing: the windows it disabled are enabled again.
    void endModal();

private:
    bool formMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void paintLines(HDC dc);
};

namespace win32 {

inline HWND windowOf(const Form& form) { return form.native().hwnd; }

// Gives Tab, Esc, Enter and the & accelerators their meaning in the program's forms; true
// when the message was one of those and has been handled.
bool dialogMessage(MSG& message);
// Waits for and handles one message as the program's loops do; false once the loop must
// end (WM_QUIT, posted again for the outer loop).
bool handleNextMessage();

}  // namespace win32

}  // namespace tw::forms
