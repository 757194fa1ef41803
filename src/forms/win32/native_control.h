#pragma once
// What a control is on Windows. Buttons, check boxes, lists, text boxes, scroll bars, frames
// and paint boxes are child windows. Labels, images, shapes and lines have no window of their
// own: the surface they sit on (a form or a frame) paints them, in order, over its own
// background, and hit-tests the mouse for them, so a transparent label shows whatever lies
// beneath it.

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "forms/container.h"
#include "forms/control.h"

namespace tw::forms {

struct NativeControl {
    NativeControl() = default;
    virtual ~NativeControl();
    NativeControl(const NativeControl&) = delete;
    NativeControl& operator=(const NativeControl&) = delete;

    // The child window, or null for a control its surface paints.
    HWND hwnd = nullptr;
    // The surface (form or frame) this control sits on; null for a form.
    NativeControl* parent = nullptr;
    Control* control = nullptr;

    // Where the control is on its parent, in pixels, and whether it is shown: kept for
    // both kinds, the windowless ones live on these alone.
    RECT bounds{};
    bool shown = true;
    bool enabled = true;
    // Windowless controls that take no mouse (shapes, lines) let clicks through.
    bool takesMouse = true;
    // Mouse pointer 99 over the control, looked up when the pointer is set.
    bool customPointer = false;

    // Draws the control inside `bounds` on a device context of its surface (windowless), or
    // on its own window's (painted child windows).
    std::function<void(HDC dc, const RECT& bounds)> paint;
    // A left click released over the control.
    std::function<void()> clicked;
    // The mouse over a painted child window, in its pixels, and leaving it.
    std::function<void(int x, int y)> mouseMoved;
    std::function<void()> mouseLeft;
    // Messages the parent window receives about this child (WM_COMMAND, WM_VSCROLL,
    // WM_CTLCOLOR*); true when handled, with the result.
    std::function<bool(UINT message, WPARAM, LPARAM, LRESULT& result)> parentMessage;
    // Messages of the control's own window, before their default handling.
    std::function<bool(UINT message, WPARAM, LPARAM, LRESULT& result)> ownMessage;
    // Puts geometry and font back at the window's DPI, after it moved to another monitor.
    std::function<void()> relayout;
    // The tooltip shown over the control, as the wide calls take it.
    std::wstring toolTip;

    // Surfaces only: their background, and their windowless children bottom first.
    COLORREF background = RGB(240, 240, 240);
    std::vector<NativeControl*> windowless;
    // Drawn over the background, under every control (the form's lines, the frame's edge).
    std::function<void(HDC dc)> paintUnder;
    // The windowless child holding the mouse button since it was pressed.
    NativeControl* pressed = nullptr;

    // Turns true when this side goes, for whoever must outlive it (tests watching a control).
    std::shared_ptr<bool> gone = std::make_shared<bool>(false);

    // Repaints the control soon.
    void invalidate();
    // The DPI of the window this control is on.
    int dpi() const;
    // The window this control's pixels live on: its own, or its surface's.
    HWND window() const;
    // A window's pixels inside `area`: its own painting, or the surface's.
    void render(HDC dc, const RECT& area);
    // Paints the surface's background, then its windowless children, clipped to `area`.
    void paintSurface(HDC dc, const RECT& area);
    // The topmost shown, mouse-taking windowless child at the point, or null.
    NativeControl* windowlessAt(POINT point) const;
    void raiseWindowless(NativeControl* child);
};

namespace win32 {

// The kinds of control make their native side with these; the control takes ownership.
// `className` and `style` of a child window; the window is made on the owner's surface.
std::unique_ptr<NativeControl> childWindow(Container& owner, const wchar_t* className, DWORD style,
                                           DWORD exStyle = 0);
// A control painted by its surface.
std::unique_ptr<NativeControl> windowless(Container& owner);

inline NativeControl& nativeOf(const Control& control) { return control.native(); }
inline HWND hwndOf(const Control& control) { return control.native().hwnd; }
inline NativeControl& surfaceOf(const Container& container) { return container.surface(); }
// The native side a child window was made for, or null.
NativeControl* nativeOfWindow(HWND hwnd);

// The class of the program's own windows: forms, frames, paint boxes.
const wchar_t* surfaceClass();
// Every native control on the surface and on the surfaces inside it, the windowless too.
void forEachNative(NativeControl& surface, const std::function<void(NativeControl&)>& visit);
// Shows the control's tooltip (empty: none) and keeps it over the control's bounds.
void updateToolTip(NativeControl& native);

}  // namespace win32

}  // namespace tw::forms
