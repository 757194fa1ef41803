// The probe on Windows: the messages the user's keys and mouse send, and what the windows
// paint, read back from a bitmap.
#include "forms_probe.h"

#include <algorithm>
#include <cstdlib>

#include "forms/check_box.h"
#include "forms/combo_box.h"
#include "forms/menu.h"
#include "forms/scroll_bar.h"
#include "forms/text_metrics.h"
#include "forms/win32/native_form.h"
#include "forms/win32/native_menu.h"
#include "forms/win32/picture_data.h"
#include "platform/event_loop.h"
#include "platform/win32/message_filter.h"

#include <commctrl.h>

namespace tw::testing {
namespace {

using forms::NativeControl;

NativeControl& nativeOf(const forms::Control& control) { return control.native(); }
HWND windowOf(const forms::Form& form) { return form.native().hwnd; }

// The way the program's loops hand a message on.
void deliver(MSG message) {
    if (platform::win32::filterMessage(message)) return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

void sendKey(HWND target, WPARAM key) {
    deliver(MSG{target, WM_KEYDOWN, key, 1, 0, {}});
    deliver(MSG{target, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001), 0, {}});
}

// Where a point on the control is on the window its pixels live on.
POINT onWindow(const NativeControl& native, int x, int y) {
    if (native.hwnd) return {x, y};
    return {native.bounds.left + x, native.bounds.top + y};
}

LPARAM pointParam(POINT p) { return MAKELPARAM(p.x, p.y); }

// A window's client pixels (top-down, 0x00BBGGRR as Windows colours), rendered as it paints.
struct Grab {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // 0xAARRGGBB from the bitmap
    forms::Colour at(int x, int y) const {
        if (x < 0 || y < 0 || x >= width || y >= height) return 0;
        const std::uint32_t p = pixels[static_cast<std::size_t>(y) * width + x];
        return forms::rgb((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
};

Grab grabWindow(HWND hwnd, const std::function<void(HDC, const RECT&)>& render) {
    Grab grab;
    RECT client{};
    GetClientRect(hwnd, &client);
    grab.width = client.right;
    grab.height = client.bottom;
    if (grab.width <= 0 || grab.height <= 0) return grab;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = grab.width;
    info.bmiHeader.biHeight = -grab.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bitmap);
    render(dc, client);
    GdiFlush();
    const auto* from = static_cast<const std::uint32_t*>(bits);
    grab.pixels.assign(from, from + static_cast<std::size_t>(grab.width) * grab.height);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return grab;
}

// The control as shown: its own window printed, or its part of its surface.
Grab grabControl(const forms::Control& control) {
    NativeControl& native = nativeOf(control);
    if (native.hwnd) {
        return grabWindow(native.hwnd, [&](HDC dc, const RECT& client) {
            if (forms::win32::nativeOfWindow(native.hwnd) && (native.paint || !native.windowless.empty() ||
                                                              native.paintUnder)) {
                native.render(dc, client);
            } else {
                SendMessageW(native.hwnd, WM_PRINT, reinterpret_cast<WPARAM>(dc),
                             PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
            }
        });
    }
    Grab whole = grabWindow(native.window(), [&](HDC dc, const RECT& client) { native.parent->render(dc, client); });
    Grab part;
    part.width = native.bounds.right - native.bounds.left;
    part.height = native.bounds.bottom - native.bounds.top;
    for (int y = 0; y < part.height; ++y)
        for (int x = 0; x < part.width; ++x) {
            const int sx = native.bounds.left + x;
            const int sy = native.bounds.top + y;
            part.pixels.push_back(sx < whole.width && sy < whole.height
                                      ? whole.pixels[static_cast<std::size_t>(sy) * whole.width + sx]
                                      : 0);
        }
    return part;
}

Rect rectOf(const RECT& r) { return {r.left, r.top, r.right - r.left, r.bottom - r.top}; }

// Shown as far as its own flags go, up to the form.
bool visibleTo(HWND hwnd, HWND top) {
    for (HWND at = hwnd; at && at != top; at = GetParent(at))
        if (!(GetWindowLongW(at, GWL_STYLE) & WS_VISIBLE)) return false;
    return true;
}

}  // namespace

void pickEntry(const forms::ComboBox& combo, int index) {
    HWND hwnd = nativeOf(combo).hwnd;
    SendMessageW(hwnd, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(hwnd));
}

void stepScrollBar(const forms::ScrollBar& bar, int lines) {
    HWND hwnd = nativeOf(bar).hwnd;
    for (int i = 0; i < std::abs(lines); ++i) {
        SendMessageW(GetParent(hwnd), WM_VSCROLL, lines < 0 ? SB_LINEUP : SB_LINEDOWN, reinterpret_cast<LPARAM>(hwnd));
        SendMessageW(GetParent(hwnd), WM_VSCROLL, SB_ENDSCROLL, reinterpret_cast<LPARAM>(hwnd));
    }
}

void toggleAsUser(const forms::CheckBox& check) { SendMessageW(nativeOf(check).hwnd, BM_CLICK, 0, 0); }

void pressEscape(const forms::Control& control) { sendKey(nativeOf(control).window(), VK_ESCAPE); }
void pressEscape(const forms::Form& form) { sendKey(windowOf(form), VK_ESCAPE); }
void pressEnter(const forms::Control& control) { sendKey(nativeOf(control).window(), VK_RETURN); }

void typeInto(const forms::Control& control, const std::string& text) {
    HWND hwnd = nativeOf(control).window();
    const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    SetFocus(hwnd);
    for (const wchar_t c : wide) deliver(MSG{hwnd, WM_CHAR, c, 1, 0, {}});
}

void pressAndRelease(const forms::Control& control, int pressX, int pressY, int releaseX, int releaseY) {
    const NativeControl& native = nativeOf(control);
    HWND hwnd = native.window();
    SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, pointParam(onWindow(native, pressX, pressY)));
    SendMessageW(hwnd, WM_LBUTTONUP, 0, pointParam(onWindow(native, releaseX, releaseY)));
}

void moveMouseOver(const forms::Control& control, int x, int y) {
    const NativeControl& native = nativeOf(control);
    SendMessageW(native.window(), WM_MOUSEMOVE, 0, pointParam(onWindow(native, x, y)));
}

void moveMouseAway(const forms::Control& control) { SendMessageW(nativeOf(control).window(), WM_MOUSELEAVE, 0, 0); }

void closeWithCloseButton(const forms::Form& form) { SendMessageW(windowOf(form), WM_SYSCOMMAND, SC_CLOSE, 0); }

// What the menu does with the user's choice once TrackPopupMenu has returned it.
void triggerAsUser(const forms::MenuItem& item) { const_cast<forms::MenuItem&>(item).click(); }

void dismissPopup(const forms::Menu& menu) {
    // Closed before it opened, or while it is up.
    menu.native().shown = false;
    EndMenu();
}
void repaintNow(const forms::Form& form) {
    RedrawWindow(windowOf(form), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

bool tabMovesTo(const forms::Control& from, const forms::Control& to) {
    const HWND start = nativeOf(from).hwnd;
    return start && GetNextDlgTabItem(GetParent(start), start, FALSE) == nativeOf(to).hwnd;
}

bool nativeHidden(const forms::Control& control) {
    const NativeControl& native = nativeOf(control);
    if (native.hwnd) return !(GetWindowLongW(native.hwnd, GWL_STYLE) & WS_VISIBLE);
    return !native.shown;
}

std::function<bool()> nativeGoneOrHidden(const forms::Control& control) {
    const NativeControl* native = &nativeOf(control);
    const HWND hwnd = native->hwnd;
    const std::shared_ptr<bool> gone = native->gone;
    return [native, hwnd, gone] {
        if (hwnd) return !IsWindow(hwnd) || !(GetWindowLongW(hwnd, GWL_STYLE) & WS_VISIBLE);
        return *gone || !native->shown;
    };
}

forms::Colour shownPixel(const forms::Control& control, int x, int y) { return grabControl(control).at(x, y); }

forms::Colour shownPixel(const forms::Form& form, int x, int y) {
    forms::NativeForm& native = form.native();
    return grabWindow(native.hwnd, [&](HDC dc, const RECT& client) { native.render(dc, client); }).at(x, y);
}

bool showsColourAnywhere(const forms::Control& control, forms::Colour colour) {
    const Grab grab = grabControl(control);
    for (int y = 0; y < grab.height; ++y)
        for (int x = 0; x < grab.width; ++x)
            if (grab.at(x, y) == colour) return true;
    return false;
}

forms::Size shownSize(const forms::Control& control) {
    // Drawn first, as a screenshot of the control would be; the size is the whole window's,
    // border included.
    grabControl(control);
    const NativeControl& native = nativeOf(control);
    RECT area = native.bounds;
    if (native.hwnd) GetWindowRect(native.hwnd, &area);
    return {static_cast<int>(area.right - area.left), static_cast<int>(area.bottom - area.top)};
}

bool letsMouseThrough(const forms::Control& control) {
    const NativeControl& native = nativeOf(control);
    return !native.hwnd && !native.takesMouse;
}

bool showsBold(const forms::MenuItem& item) {
    const forms::NativeMenuItem& native = item.native();
    return native.menu && GetMenuDefaultItem(native.menu->menu, FALSE, GMDI_USEDISABLED) == native.id;
}

int preferredWidth(const forms::Control& control) {
    SIZE ideal{};
    SendMessageW(nativeOf(control).hwnd, BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&ideal));
    return ideal.cx;
}

forms::Size textNeeds(const forms::Control& control, const std::string& text, int wrapWidth) {
    return forms::textExtent(control.font(), text, wrapWidth);
}

int windowWidth(const forms::Form& form) {
    RECT client{};
    GetClientRect(windowOf(form), &client);
    return client.right;
}

Rect availableScreen(const forms::Form& form) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(windowOf(form), MONITOR_DEFAULTTOPRIMARY), &monitor);
    return rectOf(monitor.rcWork);
}

Rect frameOnScreen(const forms::Form& form) {
    RECT frame{};
    GetWindowRect(windowOf(form), &frame);
    return rectOf(frame);
}

Rect inside(const forms::Form& form) {
    RECT client{};
    GetClientRect(windowOf(form), &client);
    return rectOf(client);
}

std::vector<ShownChild> shownChildren(const forms::Form& form) {
    std::vector<ShownChild> children;
    HWND top = windowOf(form);
    forms::win32::forEachNative(form.native(), [&](NativeControl& native) {
        const std::string name = native.control ? native.control->name() : "(window)";
        RECT area = native.bounds;
        bool visible = native.shown;
        if (native.hwnd) {
            GetWindowRect(native.hwnd, &area);
            MapWindowPoints(nullptr, top, reinterpret_cast<POINT*>(&area), 2);
            visible = visibleTo(native.hwnd, top);
        } else if (HWND surface = native.window(); surface && surface != top) {
            MapWindowPoints(surface, top, reinterpret_cast<POINT*>(&area), 2);
            visible = visible && visibleTo(surface, top);
        }
        children.push_back({name, visible, rectOf(area)});
    });
    return children;
}

std::vector<Line> drawnLines(const forms::Form& form) {
    std::vector<Line> lines;
    for (const forms::DrawnLine& l : form.native().lines) lines.push_back({l.x1, l.y1, l.x2, l.y2, l.colour});
    return lines;
}

bool shownModal(const forms::Form& form) { return form.native().modalDone != nullptr; }

std::vector<forms::Colour> opaqueIconPixels(std::uintptr_t icon, int size) {
    std::vector<forms::Colour> pixels;
    ICONINFO info{};
    if (!icon || !GetIconInfo(reinterpret_cast<HICON>(icon), &info)) return pixels;
    BITMAP bitmap{};
    GetObjectW(info.hbmColor, sizeof(bitmap), &bitmap);
    const int width = bitmap.bmWidth;
    const int height = bitmap.bmHeight;
    BITMAPINFO header{};
    header.bmiHeader.biSize = sizeof(header.bmiHeader);
    header.bmiHeader.biWidth = width;
    header.bmiHeader.biHeight = -height;
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 32;
    header.bmiHeader.biCompression = BI_RGB;
    std::vector<std::uint32_t> bits(static_cast<std::size_t>(width) * std::max(height, 0));
    HDC dc = GetDC(nullptr);
    GetDIBits(dc, info.hbmColor, 0, static_cast<UINT>(height), bits.data(), &header, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    // Sampled at the size asked, as the shell would show it.
    for (int y = 0; y < size && width > 0 && height > 0; ++y)
        for (int x = 0; x < size; ++x) {
            const std::uint32_t p = bits[static_cast<std::size_t>(y * height / size) * width + x * width / size];
            if ((p >> 24) == 255) pixels.push_back(forms::rgb((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
        }
    return pixels;
}

void runAfter(int ms, std::function<void()> task) {
    // Goes once its task has run, from the loop, not from inside its own timer's call.
    struct Once {
        std::function<void()> task;
        platform::OneShotTimer timer;
        explicit Once(std::function<void()> t)
            : task(std::move(t)), timer([this] {
                  const auto run = std::move(task);
                  platform::postToEventLoop([this] { delete this; });
                  run();
              }) {}
    };
    (new Once(std::move(task)))->timer.start(ms);
}

std::shared_ptr<void> runEvery(int ms, std::function<void()> task) {
    struct Repeating {
        std::function<void()> task;
        platform::OneShotTimer timer;
        Repeating(int ms, std::function<void()> t)
            : task(std::move(t)), timer([this, ms] {
                  timer.start(ms);
                  task();
              }) {
            timer.start(ms);
        }
    };
    return std::make_shared<Repeating>(ms, std::move(task));
}

void runDeferredDeletes() {
    MSG message;
    for (int i = 0; i < 10000 && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++i) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        deliver(message);
    }
}

forms::Picture solidPicture(int width, int height, forms::Colour colour) {
    const std::uint32_t pixel = 0xFF000000u | (static_cast<std::uint32_t>(forms::redOf(colour)) << 16) |
                                (static_cast<std::uint32_t>(forms::greenOf(colour)) << 8) |
                                static_cast<std::uint32_t>(forms::blueOf(colour));
    return forms::win32::pictureFrom(
        width, height, std::vector<std::uint32_t>(static_cast<std::size_t>(std::max(width, 0)) * std::max(height, 0), pixel));
}

}  // namespace tw::testing
