#include "forms/form.h"

#include <algorithm>

#include "forms/button.h"
#include "forms/text_metrics.h"
#include "forms/win32/native_form.h"
#include "forms/win32/win32_values.h"
#include "platform/win32/message_filter.h"
#include "runtime/runtime_error.h"

namespace tw::forms {

namespace {

std::vector<Form*>& loadedForms() {
    static std::vector<Form*> forms;
    return forms;
}

std::uint64_t nextSerial() {
    static std::uint64_t serial = 0;
    return ++serial;
}

constexpr DWORD kFormStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr DWORD kFormExStyle = WS_EX_CONTROLPARENT;

RECT windowRectFor(int clientWidth, int clientHeight, int dpi) {
    RECT rect{0, 0, clientWidth, clientHeight};
    using AdjustForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi = reinterpret_cast<AdjustForDpiFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "AdjustWindowRectExForDpi")));
    if (!adjustForDpi || !adjustForDpi(&rect, kFormStyle, FALSE, kFormExStyle, static_cast<UINT>(dpi)))
        AdjustWindowRectEx(&rect, kFormStyle, FALSE, kFormExStyle);
    return rect;
}

}  // namespace

namespace win32 {

bool dialogMessage(MSG& message) {
    if (message.message < WM_KEYFIRST || message.message > WM_KEYLAST || !message.hwnd) return false;
    HWND root = GetAncestor(message.hwnd, GA_ROOT);
    NativeControl* native = root ? reinterpret_cast<NativeControl*>(GetWindowLongPtrW(root, GWLP_USERDATA)) : nullptr;
    // Only the program's own forms: the tray menu, message boxes and file dialogs are not.
    if (!native || !dynamic_cast<NativeForm*>(native)) return false;
    return IsDialogMessageW(root, &message) != FALSE;
}

bool handleNextMessage() {
    MSG message;
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) {
        PostQuitMessage(static_cast<int>(message.wParam));
        return false;
    }
    if (got == -1) return false;
    if (!platform::win32::filterMessage(message)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return true;
}

}  // namespace win32

NativeForm::NativeForm(Form& owner) : form(owner) {
    platform::win32::setMessageFilter(&win32::dialogMessage);
    background = owner.backColor();
    ownMessage = [this](UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
        return formMessage(message, wParam, lParam, result);
    };
    paintUnder = [this](HDC dc) { paintLines(dc); };
    hwnd = CreateWindowExW(kFormExStyle, win32::surfaceClass(), L"", kFormStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, GetModuleHandleW(nullptr), this);
}

NativeForm::~NativeForm() {
    endModal();
    if (hwnd) {
        HWND window = hwnd;
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        hwnd = nullptr;
        DestroyWindow(window);
    }
}

void NativeForm::endModal() {
    for (HWND window : disabledByModal) EnableWindow(window, TRUE);
    disabledByModal.clear();
    if (modalDone) *modalDone = true;
    modalDone.reset();
}

bool NativeForm::formMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_CLOSE:
        // The form decides (its unload handler may cancel) and hides the window itself; the
        // close button never ends the program behind the form's back.
        form.userClosing();
        result = 0;
        return true;
    case WM_COMMAND:
        if (lParam != 0) return false;
        if (LOWORD(wParam) == IDCANCEL) form.escapePressed();
        if (LOWORD(wParam) == IDOK) form.enterPressed();
        result = 0;
        return LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK;
    case WM_DPICHANGED: {
        const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(hwnd, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
        win32::forEachNative(*this, [](NativeControl& native) {
            if (native.relayout) native.relayout();
        });
        InvalidateRect(hwnd, nullptr, FALSE);
        result = 0;
        return true;
    }
    default:
        return false;
    }
}

void NativeForm::paintLines(HDC dc) {
    const int dpi = this->dpi();
    for (const DrawnLine& line : lines) {
        HPEN pen = CreatePen(PS_SOLID, 1, line.colour);
        HGDIOBJ old = SelectObject(dc, pen);
        const int x2 = win32::twipsAt(line.x2, dpi);
        const int y2 = win32::twipsAt(line.y2, dpi);
        MoveToEx(dc, win32::twipsAt(line.x1, dpi), win32::twipsAt(line.y1, dpi), nullptr);
        LineTo(dc, x2, y2);
        SetPixel(dc, x2, y2, line.colour);  // both ends drawn, as the line asks
        SelectObject(dc, old);
        DeleteObject(pen);
    }
}

Form::Form(std::string name)
    : m_name(std::move(name)),
      m_serial(nextSerial()),
      m_native(std::make_unique<NativeForm>(*this)),
      m_alive(std::make_shared<bool>(true)) {
    setClientSize(m_clientWidth, m_clientHeight);
    setBackColor(m_backColor);
    load();
}

Form::~Form() {
    *m_alive = false;
    auto& forms = loadedForms();
    forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
    m_native.reset();
}

void Form::load() {
    auto& forms = loadedForms();
    if (std::find(forms.begin(), forms.end(), this) != forms.end()) return;
    // Kept in creation order, also when a closed form is shown again.
    const auto at = std::find_if(forms.begin(), forms.end(),
                                 [this](const Form* other) { return other->m_serial > m_serial; });
    forms.insert(at, this);
}

std::vector<Form*> Form::openForms() { return loadedForms(); }

void Form::setCaption(const std::string& caption) {
    m_caption = caption;
    SetWindowTextW(m_native->hwnd, win32::screenText(caption).c_str());
}

int Form::clientWidth() const {
    // Follows the window when the user has resized it.
    RECT client;
    GetClientRect(m_native->hwnd, &client);
    const int dpi = m_native->dpi();
    if (client.right != win32::twipsAt(m_clientWidth, dpi)) return win32::pixelsToTwipsAt(client.right, dpi);
    return m_clientWidth;
}

int Form::clientHeight() const {
    RECT client;
    GetClientRect(m_native->hwnd, &client);
    const int dpi = m_native->dpi();
    if (client.bottom != win32::twipsAt(m_clientHeight, dpi)) return win32::pixelsToTwipsAt(client.bottom, dpi);
    return m_clientHeight;
}

void Form::setClientSize(int width, int height) {
    m_clientWidth = std::max(0, width);
    m_clientHeight = std::max(0, height);
    const int dpi = m_native->dpi();
    const RECT frame = windowRectFor(win32::twipsAt(m_clientWidth, dpi), win32::twipsAt(m_clientHeight, dpi), dpi);
    SetWindowPos(m_native->hwnd, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::setBackColor(Colour colour) {
    m_backColor = colour;
    m_native->background = colour;  // the same byte order as Windows' own colour values
    m_native->invalidate();
}

void Form::setIcon(const Picture& icon) {
    const auto handle = static_cast<LPARAM>(iconHandle(icon));
    SendMessageW(m_native->hwnd, WM_SETICON, ICON_BIG, handle);
    SendMessageW(m_native->hwnd, WM_SETICON, ICON_SMALL, handle);
}

void Form::attachOwner(Form* owner) {
    // The owner keeps the form above it; each form keeps sole ownership of its own window.
    HWND ownerWindow = owner && owner != this ? owner->m_native->hwnd : nullptr;
    SetWindowLongPtrW(m_native->hwnd, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(ownerWindow));
}

void Form::show() { showModeless(nullptr); }

namespace {

void showWindow(NativeForm& native) {
    int command = SW_SHOW;
    if (!IsWindowVisible(native.hwnd)) {
        if (native.pendingState == WindowState::Minimized) command = SW_SHOWMINIMIZED;
        if (native.pendingState == WindowState::Maximized) command = SW_SHOWMAXIMIZED;
        native.pendingState = WindowState::Normal;
    }
    ShowWindow(native.hwnd, command);
    if (command == SW_SHOW) SetForegroundWindow(native.hwnd);
}

}  // namespace

void Form::showModeless(Form* owner) {
    load();
    if (!IsWindowVisible(m_native->hwnd)) attachOwner(owner);
    showWindow(*m_native);
}

void Form::showModal(Form* owner) {
    if (IsWindowVisible(m_native->hwnd) || m_native->modalDone) throw RuntimeError(kErrFormAlreadyDisplayed);
    load();
    attachOwner(owner);
    // Every other form waits while this one is up, as a dialog's owner does.
    for (Form* other : loadedForms()) {
        HWND window = other->m_native->hwnd;
        if (other == this || !IsWindowVisible(window) || !IsWindowEnabled(window)) continue;
        EnableWindow(window, FALSE);
        m_native->disabledByModal.push_back(window);
    }
    const auto done = std::make_shared<bool>(false);
    m_native->modalDone = done;
    showWindow(*m_native);
    const std::shared_ptr<bool> alive = m_alive;
    while (!*done && win32::handleNextMessage()) {
    }
    if (!*alive) return;  // the form was destroyed while it was up
    m_native->endModal();
}

void Form::hide() {
    // The owner is enabled before the form goes, so Windows gives it back the activation.
    m_native->endModal();
    ShowWindow(m_native->hwnd, SW_HIDE);
}

bool Form::isShown() const { return IsWindowVisible(m_native->hwnd) != FALSE; }

bool Form::close() {
    bool cancel = false;
    const auto handler = onUnload;
    const std::shared_ptr<bool> alive = m_alive;
    if (handler) handler(cancel);
    if (!*alive) return true;
    if (cancel) return false;
    hide();
    auto& forms = loadedForms();
    forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
    return true;
}

void Form::userClosing() { close(); }

WindowState Form::windowState() const {
    if (!IsWindowVisible(m_native->hwnd)) return m_native->pendingState;
    if (IsIconic(m_native->hwnd)) return WindowState::Minimized;
    if (IsZoomed(m_native->hwnd)) return WindowState::Maximized;
    return WindowState::Normal;
}

void Form::setWindowState(WindowState state) {
    if (!IsWindowVisible(m_native->hwnd)) {
        m_native->pendingState = state;
        return;
    }
    int command = SW_RESTORE;
    if (state == WindowState::Minimized) command = SW_MINIMIZE;
    if (state == WindowState::Maximized) command = SW_MAXIMIZE;
    ShowWindow(m_native->hwnd, command);
}

void Form::cls() {
    m_native->lines.clear();
    m_native->invalidate();
}

void Form::drawLine(int x1, int y1, int x2, int y2, Colour colour) {
    m_native->lines.push_back({x1, y1, x2, y2, colour});
    m_native->invalidate();
}

int Form::textWidth(const std::string& text) const { return pixelsToTwips(textExtent(m_font, text).width()); }

int Form::textHeight(const std::string& text) const { return pixelsToTwips(textExtent(m_font, text).height()); }

void Form::centreOnScreen() {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (!GetMonitorInfoW(MonitorFromWindow(m_native->hwnd, MONITOR_DEFAULTTOPRIMARY), &monitor)) return;
    RECT frame;
    GetWindowRect(m_native->hwnd, &frame);
    const RECT& work = monitor.rcWork;
    const int left = work.left + (work.right - work.left - (frame.right - frame.left)) / 2;
    const int top = work.top + (work.bottom - work.top - (frame.bottom - frame.top)) / 2;
    SetWindowPos(m_native->hwnd, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::centreOn(const Form& owner) {
    RECT frame;
    RECT around;
    GetWindowRect(m_native->hwnd, &frame);
    GetWindowRect(owner.m_native->hwnd, &around);
    const int left = around.left + (around.right - around.left - (frame.right - frame.left)) / 2;
    const int top = around.top + (around.bottom - around.top - (frame.bottom - frame.top)) / 2;
    SetWindowPos(m_native->hwnd, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

NativeControl& Form::surface() const { return *m_native; }

void Form::setCancelButton(Button* button) { m_cancelButton = button; }
void Form::setDefaultButton(Button* button) { m_defaultButton = button; }

void Form::escapePressed() {
    Button* button = m_cancelButton;
    if (button && button->enabled() && button->visible()) button->click();
}

void Form::enterPressed() {
    Button* button = m_defaultButton;
    if (button && button->enabled() && button->visible()) button->click();
}

}  // namespace tw::forms
