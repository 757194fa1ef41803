#pragma once
// The tray icon over QSystemTrayIcon, and the handles that stand for Qt pictures in the
// records of the notification area and in notifications.

#include <cstdint>
#include <map>
#include <memory>
#include <utility>

#include <QIcon>

#include "platform/notify_icon.h"

namespace tw::platform {

// A handle for the picture that a record can carry; the picture is kept for the whole run
// and the same picture always gets the same handle. 0 is never a handle.
uintptr_t iconHandle(const QIcon& icon);
// The picture behind a handle; a null icon for 0 or an unknown handle.
QIcon iconFromHandle(uintptr_t handle);

// One QSystemTrayIcon per (window handle, id). Clicks arrive as 513, double clicks as 515 and
// context requests as 517; the context menu itself belongs to the window, so none is attached.
class QtNotifyIconShell : public NotifyIconShell {
public:
    QtNotifyIconShell();
    ~QtNotifyIconShell() override;
    bool Shell_NotifyIcon(uint32_t message, const NOTIFYICONDATA& data) override;
    bool trayHostAvailable() const override;
    bool showBalloon(uintptr_t hWnd, uint32_t id, const std::string& title, const std::string& text,
                     bool critical, uintptr_t icon = 0, bool silent = false) override;

private:
    struct Icon;
    std::map<std::pair<uintptr_t, uint32_t>, std::unique_ptr<Icon>> m_icons;
};

}  // namespace tw::platform
