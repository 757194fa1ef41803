#include "app/tray_icon.h"

#include "platform/notifications.h"
#include "platform/services.h"

namespace tw {
namespace {

platform::NOTIFYICONDATA g_record;

// Message, icon and tip are valid; notifications come back as mouse-move messages whose
// parameter names the mouse event.
constexpr std::uint32_t kFlags = 7;

void fill(std::uintptr_t icon, const std::string& tip, std::uintptr_t window) {
    g_record.cbSize = 88;
    g_record.hWnd = window;
    g_record.uID = 1;
    g_record.uFlags = kFlags;
    g_record.uCallbackMessage = platform::WM_MOUSEMOVE;
    g_record.hIcon = icon;
    platform::setNotifyTip(g_record, tip);
}

}  // namespace

const platform::NOTIFYICONDATA& trayRecord() { return g_record; }

void TrayAdd(std::uintptr_t icon, const std::string& tip, std::uintptr_t window) {
    fill(icon, tip, window);
    platform::notifyIconShell().Shell_NotifyIcon(platform::NIM_ADD, g_record);
}

void TrayModify(std::uintptr_t icon, const std::string& tip, std::uintptr_t window) {
    fill(icon, tip, window);
    platform::notifyIconShell().Shell_NotifyIcon(platform::NIM_MODIFY, g_record);
}

void TrayBalloon(const std::string& title, const std::string& text, bool critical, std::uintptr_t window,
                 std::uintptr_t icon, bool silent) {
    platform::notifyIconShell().showBalloon(window, 1, title, platform::balloonText(text), critical, icon, silent);
}

void TrayDelete() { platform::notifyIconShell().Shell_NotifyIcon(platform::NIM_DELETE, g_record); }

}  // namespace tw
