#include "forms/win32/native_control.h"

#include <windowsx.h>

#include <algorithm>
#include <commctrl.h>

#include "forms/win32/win32_values.h"
#include "platform/event_loop.h"

namespace tw::forms {

namespace {

const wchar_t* const kNativeProperty = L"Towerwatch.Native";
// Child window ids stay clear of IDOK and IDCANCEL, which Esc and Enter send to a form.
int nextChildId() {
    static int id = 1000;
    return ++id;
}

HINSTANCE instance() { return GetModuleHandleW(nullptr); }

NativeControl* nativeOfSurface(HWND hwnd) {
    return reinterpret_cast<NativeControl*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

// Paints through a bitmap of the client area, clipped to the dirty part, so a repaint never
// shows the background alone and every painter works in the window's own coordinates.
void paintBuffered(HWND hwnd, NativeControl& native) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    const RECT area = ps.rcPaint;
    RECT client;
    GetClientRect(hwnd, &client);
    if (area.right > area.left && area.bottom > area.top && client.right > 0 && client.bottom > 0) {
        HDC buffer = CreateCompatibleDC(dc);
        HBITMAP bitmap = CreateCompatibleBitmap(dc, client.right, client.bottom);
        HGDIOBJ old = SelectObject(buffer, bitmap);
        IntersectClipRect(buffer, area.left, area.top, area.right, area.bottom);
        native.render(buffer, area);
        SelectClipRgn(buffer, nullptr);
        BitBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, buffer, area.left, area.top,
               SRCCOPY);
        SelectObject(buffer, old);
        DeleteObject(bitmap);
        DeleteDC(buffer);
    }
    EndPaint(hwnd, &ps);
}

POINT pointOf(LPARAM lParam) { return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

// Messages about a child arrive at its parent; the child's own side answers them.
bool passToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    HWND child = reinterpret_cast<HWND>(lParam);
    if (!child) return false;
    NativeControl* native = win32::nativeOfWindow(child);
    return native && native->parentMessage && native->parentMessage(message, wParam, lParam, result);
}

LRESULT CALLBACK surfaceProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    NativeControl* native = nativeOfSurface(hwnd);
    if (!native) return DefWindowProcW(hwnd, message, wParam, lParam);
    LRESULT result = 0;
    if (native->ownMessage && native->ownMessage(message, wParam, lParam, result)) return result;

    switch (message) {
    case WM_ERASEBKGND:
        return 1;  // painted with everything else
    case WM_PAINT:
        paintBuffered(hwnd, *native);
        return 0;
    case WM_PRINTCLIENT: {
        // Another's device context (a window printed whole): painted as on screen.
        RECT client;
        GetClientRect(hwnd, &client);
        native->render(reinterpret_cast<HDC>(wParam), client);
        return 0;
    }
    case WM_COMMAND:
    case WM_VSCROLL:
    case WM_HSCROLL:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC:
        if (passToChild(message, wParam, lParam, result)) return result;
        if (message == WM_CTLCOLORSTATIC || message == WM_CTLCOLORBTN) {
            // Check boxes and the like sit on the surface's own colour.
            SetBkColor(reinterpret_cast<HDC>(wParam), native->background);
            HBRUSH brush = win32::solidBrush(native->background);
            return reinterpret_cast<LRESULT>(brush);
        }
        break;
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT && reinterpret_cast<HWND>(wParam) == hwnd) {
            POINT point;
            GetCursorPos(&point);
            ScreenToClient(hwnd, &point);
            const NativeControl* under = native->windowlessAt(point);
            const bool custom = under ? under->customPointer : native->customPointer;
            SetCursor(custom ? win32::customCursor() : LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW)));
            return TRUE;
        }
        break;
    case WM_MOUSEMOVE:
        if (native->mouseMoved) {
            TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, hwnd, 0};
            TrackMouseEvent(&track);
            const POINT point = pointOf(lParam);
            native->mouseMoved(point.x, point.y);
        }
        return 0;
    case WM_MOUSELEAVE:
        if (native->mouseLeft) native->mouseLeft();
        return 0;
    case WM_LBUTTONDOWN:
        native->pressed = native->windowlessAt(pointOf(lParam));
        if (!native->pressed && native->clicked) native->pressed = native;
        if (native->pressed) SetCapture(hwnd);
        return 0;
    case WM_LBUTTONUP: {
        NativeControl* pressed = native->pressed;
        native->pressed = nullptr;
        if (GetCapture() == hwnd) ReleaseCapture();
        if (!pressed) return 0;
        const POINT point = pointOf(lParam);
        RECT client;
        GetClientRect(hwnd, &client);
        const bool over = pressed == native ? PtInRect(&client, point) != FALSE
                                            : native->windowlessAt(point) == pressed;
        // The handler may unload the very control, or the form: nothing is read after it.
        if (over && pressed->clicked) {
            const auto handler = pressed->clicked;
            handler();
        }
        return 0;
    }
    case WM_CAPTURECHANGED:
        native->pressed = nullptr;
        return 0;
    case WM_NCDESTROY:
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        native->hwnd = nullptr;
        break;
    default:
        break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK childSubclass(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                               DWORD_PTR data) {
    auto* native = reinterpret_cast<NativeControl*>(data);
    LRESULT result = 0;
    if (native->ownMessage && native->ownMessage(message, wParam, lParam, result)) return result;
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, &childSubclass, 1);
        RemovePropW(hwnd, kNativeProperty);
        native->hwnd = nullptr;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

HWND toolTipWindow() {
    static HWND tip = [] {
        INITCOMMONCONTROLSEX init{sizeof(init), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&init);
        HWND hwnd = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                                    instance(), nullptr);
        if (hwnd) SendMessageW(hwnd, TTM_SETMAXTIPWIDTH, 0, 400);
        return hwnd;
    }();
    return tip;
}

TTTOOLINFOW toolInfo(NativeControl& native) {
    TTTOOLINFOW info{};
    info.cbSize = sizeof(info);
    info.uFlags = TTF_SUBCLASS;
    if (native.hwnd) {
        info.uFlags |= TTF_IDISHWND;
        info.hwnd = GetParent(native.hwnd);
        info.uId = reinterpret_cast<UINT_PTR>(native.hwnd);
    } else {
        info.hwnd = native.window();
        info.uId = reinterpret_cast<UINT_PTR>(&native);
        info.rect = native.bounds;
    }
    return info;
}

}  // namespace

NativeControl::~NativeControl() {
    *gone = true;
    for (NativeControl* child : windowless) child->parent = nullptr;
    if (!toolTip.empty() && toolTipWindow()) {
        TTTOOLINFOW info = toolInfo(*this);
        SendMessageW(toolTipWindow(), TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    }
    if (parent) {
        auto& siblings = parent->windowless;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
        if (parent->pressed == this) parent->pressed = nullptr;
        if (!hwnd && parent->hwnd && IsWindowVisible(parent->hwnd)) InvalidateRect(parent->hwnd, &bounds, FALSE);
    }
    if (!hwnd) return;
    HWND window = hwnd;
    // The control may go from inside one of its own window's handlers (a click that rebuilds
    // a list): the window stops reaching this side now, and goes once that handler returned.
    RemoveWindowSubclass(window, &childSubclass, 1);
    RemovePropW(window, kNativeProperty);
    if (nativeOfSurface(window) == this) SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    ShowWindow(window, SW_HIDE);
    if (GetParent(window) == nullptr || !platform::postToEventLoop([window] { DestroyWindow(window); }))
        DestroyWindow(window);
}

void NativeControl::invalidate() {
    // A hidden window is drawn whole when shown; asking for it here costs a trip to the
    // window manager per row when a list of thousands is built off screen.
    const HWND shownIn = window();
    if (!shownIn || !IsWindowVisible(shownIn)) return;
    if (hwnd) {
        InvalidateRect(hwnd, nullptr, FALSE);
    } else if (parent && parent->hwnd) {
        InvalidateRect(parent->hwnd, &bounds, FALSE);
    }
}

int NativeControl::dpi() const { return win32::windowDpi(window()); }

HWND NativeControl::window() const {
    if (hwnd) return hwnd;
    return parent ? parent->window() : nullptr;
}

void NativeControl::render(HDC dc, const RECT& area) {
    if (paint) {
        RECT client{};
        if (hwnd) GetClientRect(hwnd, &client);
        paint(dc, client);
    } else {
        paintSurface(dc, area);
    }
}

void NativeControl::paintSurface(HDC dc, const RECT& area) {
    HBRUSH brush = CreateSolidBrush(background);
    FillRect(dc, &area, brush);
    DeleteObject(brush);
    if (paintUnder) paintUnder(dc);
    for (NativeControl* child : windowless) {
        RECT overlap;
        if (!child->shown || !child->paint || !IntersectRect(&overlap, &area, &child->bounds)) continue;
        const int saved = SaveDC(dc);
        IntersectClipRect(dc, child->bounds.left, child->bounds.top, child->bounds.right, child->bounds.bottom);
        child->paint(dc, child->bounds);
        RestoreDC(dc, saved);
    }
}

NativeControl* NativeControl::windowlessAt(POINT point) const {
    for (auto it = windowless.rbegin(); it != windowless.rend(); ++it) {
        NativeControl* child = *it;
        if (child->shown && child->enabled && child->takesMouse && PtInRect(&child->bounds, point)) return child;
    }
    return nullptr;
}

void NativeControl::raiseWindowless(NativeControl* child) {
    auto it = std::find(windowless.begin(), windowless.end(), child);
    if (it == windowless.end()) return;
    windowless.erase(it);
    windowless.push_back(child);
    child->invalidate();
}

namespace win32 {

const wchar_t* surfaceClass() {
    static const wchar_t* name = [] {
        WNDCLASSEXW window{};
        window.cbSize = sizeof(window);
        window.style = CS_DBLCLKS;
        window.lpfnWndProc = &surfaceProcedure;
        window.hInstance = instance();
        window.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        window.lpszClassName = L"TowerwatchSurface";
        RegisterClassExW(&window);
        return L"TowerwatchSurface";
    }();
    return name;
}

std::unique_ptr<NativeControl> childWindow(Container& owner, const wchar_t* className, DWORD style,
                                           DWORD exStyle) {
    auto native = std::make_unique<NativeControl>();
    NativeControl& parent = owner.surface();
    native->parent = &parent;
    const bool own = className == surfaceClass();
    native->hwnd = CreateWindowExW(exStyle, className, L"", WS_CHILD | WS_CLIPSIBLINGS | style, 0, 0, 0, 0,
                                   parent.window(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(nextChildId())),
                                   instance(), own ? native.get() : nullptr);
    if (native->hwnd) {
        SetPropW(native->hwnd, kNativeProperty, native.get());
        if (!own) SetWindowSubclass(native->hwnd, &childSubclass, 1, reinterpret_cast<DWORD_PTR>(native.get()));
    }
    return native;
}

std::unique_ptr<NativeControl> windowless(Container& owner) {
    auto native = std::make_unique<NativeControl>();
    native->parent = &owner.surface();
    native->parent->windowless.push_back(native.get());
    return native;
}

NativeControl* nativeOfWindow(HWND hwnd) {
    return hwnd ? static_cast<NativeControl*>(GetPropW(hwnd, kNativeProperty)) : nullptr;
}

void forEachNative(NativeControl& surface, const std::function<void(NativeControl&)>& visit) {
    const std::vector<NativeControl*> children = surface.windowless;
    for (NativeControl* child : children) visit(*child);
    if (!surface.hwnd) return;
    std::vector<NativeControl*> windowed;
    EnumChildWindows(
        surface.hwnd,
        [](HWND child, LPARAM found) {
            if (NativeControl* native = nativeOfWindow(child))
                reinterpret_cast<std::vector<NativeControl*>*>(found)->push_back(native);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windowed));
    for (NativeControl* native : windowed) {
        visit(*native);
        const std::vector<NativeControl*> inner = native->windowless;
        for (NativeControl* child : inner) visit(*child);
    }
}

void updateToolTip(NativeControl& native) {
    HWND tip = toolTipWindow();
    if (!tip || !native.window()) return;
    TTTOOLINFOW info = toolInfo(native);
    SendMessageW(tip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    if (native.toolTip.empty()) return;
    info.lpszText = native.toolTip.data();
    SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

}  // namespace win32

}  // namespace tw::forms
