#include "platform/notify_icon.h"

#include <windows.h>
#include <shellapi.h>
// The interface's own names, which windows.h would turn into its A or W calls; the mouse
// messages below are Windows' own numbers, the same as the interface's.
#undef Shell_NotifyIcon

#include <map>
#include <utility>

#include "platform/win32/wide.h"
#include "runtime/utf8.h"

namespace tw::platform {
namespace {

constexpr wchar_t kWindowClass[] = L"TowerwatchTrayWindow";
constexpr UINT kTrayCallback = WM_APP + 1;

// The shell's own record of one icon, kept so that an Explorer restart can put it back.
struct ShellIcon {
    bool wantsMessages = false;
    NOTIFYICONDATAW data{};
};

template <std::size_t N>
void copyWide(wchar_t (&into)[N], const std::string& text) {
    const std::wstring wide = win32::wide(toUtf8(text)).substr(0, N - 1);
    wide.copy(into, wide.size());
    into[wide.size()] = L'\0';
}

// Icons live on a hidden window of our own: the shell calls it back with NOTIFYICON_VERSION_4
// messages, which are mapped onto the mouse messages the program knows.
class ShellNotifyIcons : public NotifyIconShell {
public:
    ShellNotifyIcons() {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = &ShellNotifyIcons::procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kWindowClass;
        RegisterClassExW(&windowClass);  // fails harmlessly when a second shell registers it again
        // A top-level hidden window, not a message-only one: only those hear TaskbarCreated.
        m_window = CreateWindowExW(0, kWindowClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
        if (m_window) SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        m_taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
    }

    ~ShellNotifyIcons() override {
        for (auto& [key, icon] : m_icons) Shell_NotifyIconW(NIM_DELETE, &icon.data);
        if (m_window) DestroyWindow(m_window);
    }

    bool Shell_NotifyIcon(uint32_t message, const NOTIFYICONDATA& data) override {
        if (!m_window) return false;
        const auto key = std::make_pair(data.hWnd, data.uID);
        const auto it = m_icons.find(key);
        switch (message) {
        case NIM_ADD: {
            if (it != m_icons.end()) return false;
            ShellIcon icon;
            icon.data.cbSize = sizeof icon.data;
            icon.data.hWnd = m_window;
            icon.data.uID = m_nextId++;
            update(icon, data);
            if (!add(icon.data)) return false;
            m_icons.emplace(key, icon);
            return true;
        }
        case NIM_MODIFY: {
            if (it == m_icons.end()) return false;
            ShellIcon changed = it->second;
            update(changed, data);
            if (!Shell_NotifyIconW(NIM_MODIFY, &changed.data)) return false;
            it->second = changed;
            return true;
        }
        case NIM_DELETE:
            if (it == m_icons.end()) return false;
            Shell_NotifyIconW(NIM_DELETE, &it->second.data);
            m_icons.erase(it);
            return true;
        default: return false;
        }
    }

    bool trayHostAvailable() const override { return FindWindowW(L"Shell_TrayWnd", nullptr) != nullptr; }

    bool showBalloon(uintptr_t hWnd, uint32_t id, const std::string& title, const std::string& text,
                     bool critical, uintptr_t icon, bool silent) override {
        const auto it = m_icons.find(std::make_pair(hWnd, id));
        if (it == m_icons.end()) return false;
        NOTIFYICONDATAW balloon = it->second.data;
        balloon.uFlags = NIF_INFO;
        copyWide(balloon.szInfoTitle, title);
        copyWide(balloon.szInfo, text);
        balloon.dwInfoFlags = critical ? NIIF_ERROR : NIIF_INFO;
        if (icon) {
            // The realm's picture beside the text; Windows 10 and 11 show it on the toast.
            balloon.dwInfoFlags = NIIF_USER | NIIF_LARGE_ICON;
            balloon.hBalloonIcon = reinterpret_cast<HICON>(icon);
        }
        // Otherwise the shell plays the system's notification sound with it.
        if (silent) balloon.dwInfoFlags |= NIIF_NOSOUND;
        return Shell_NotifyIconW(NIM_MODIFY, &balloon) != FALSE;
    }

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<ShellNotifyIcons*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self && message == kTrayCallback) {
            self->fromShell(LOWORD(lParam), HIWORD(lParam));
            return 0;
        }
        if (self && message == self->m_taskbarCreated) {
            // Explorer started again with an empty notification area: put our icons back.
            for (auto& [key, icon] : self->m_icons) add(icon.data);
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    static bool add(NOTIFYICONDATAW& data) {
        if (!Shell_NotifyIconW(NIM_ADD, &data)) return false;
        data.uVersion = NOTIFYICON_VERSION_4;
        Shell_NotifyIconW(NIM_SETVERSION, &data);
        return true;
    }

    void update(ShellIcon& icon, const NOTIFYICONDATA& data) const {
        icon.data.uFlags |= NIF_SHOWTIP;
        if (data.uFlags & NIF_MESSAGE) {
            icon.wantsMessages = true;
            icon.data.uFlags |= NIF_MESSAGE;
            icon.data.uCallbackMessage = kTrayCallback;
        }
        if (data.uFlags & NIF_ICON) {
            icon.data.uFlags |= NIF_ICON;
            icon.data.hIcon = reinterpret_cast<HICON>(data.hIcon);
        }
        if (data.uFlags & NIF_TIP) {
            icon.data.uFlags |= NIF_TIP;
            copyWide(icon.data.szTip, notifyTip(data));
        }
    }

    void fromShell(UINT event, UINT shellId) {
        uint32_t mouseMessage = 0;
        switch (event) {
        case NIN_SELECT:
        case NIN_KEYSELECT:
        case WM_LBUTTONDOWN: mouseMessage = WM_LBUTTONDOWN; break;
        case WM_LBUTTONDBLCLK: mouseMessage = WM_LBUTTONDBLCLK; break;
        case WM_CONTEXTMENU:
        case WM_RBUTTONUP: mouseMessage = WM_RBUTTONUP; break;
        case NIN_BALLOONUSERCLICK: mouseMessage = NIN_BALLOONUSERCLICK; break;
        default: return;
        }
        for (const auto& [key, icon] : m_icons) {
            if (icon.data.uID != shellId) continue;
            // The key is the caller's window and id, where its mouse messages go.
            if (icon.wantsMessages) deliver(key.first, key.second, mouseMessage);
            return;
        }
    }

    HWND m_window = nullptr;
    UINT m_taskbarCreated = 0;
    UINT m_nextId = 1;
    std::map<std::pair<uintptr_t, uint32_t>, ShellIcon> m_icons;
};

}  // namespace

std::unique_ptr<NotifyIconShell> makeSystemNotifyIconShell() { return std::make_unique<ShellNotifyIcons>(); }

// The shell shows balloons as plain text.
std::string balloonText(const std::string& plain) { return plain; }

}  // namespace tw::platform
