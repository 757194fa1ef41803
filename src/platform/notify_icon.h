#pragma once
// The notification-area (tray) icon, driven through the record and call of the platform's
// shell: an icon is identified by its window handle and id; mouse notifications of an icon
// added with NIF_MESSAGE go to the handler registered for its window handle.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace tw::platform {

struct NOTIFYICONDATA {
    uint32_t cbSize = 88;
    uintptr_t hWnd = 0;
    uint32_t uID = 0;
    uint32_t uFlags = 0;
    uint32_t uCallbackMessage = 0;
    uintptr_t hIcon = 0;
    char szTip[64] = {};
};

enum : uint32_t { NIM_ADD = 0, NIM_MODIFY = 1, NIM_DELETE = 2 };
enum : uint32_t { NIF_MESSAGE = 1, NIF_ICON = 2, NIF_TIP = 4 };
enum : uint32_t { WM_MOUSEMOVE = 512, WM_LBUTTONDOWN = 513, WM_LBUTTONDBLCLK = 515, WM_RBUTTONUP = 517 };
// The user clicked the icon's balloon message.
enum : uint32_t { NIN_BALLOONUSERCLICK = 1029 };

// Fills szTip with at most the first 63 bytes of tip, a NUL, and blanks after it. A UTF-8
// tip loses the whole character that would not fit, so what is left still reads as UTF-8.
void setNotifyTip(NOTIFYICONDATA& data, const std::string& tip);
// The tip the record carries: szTip up to its NUL.
std::string notifyTip(const NOTIFYICONDATA& data);

class NotifyIconShell {
public:
    using MessageHandler = std::function<void(uint32_t id, uint32_t mouseMessage)>;
    virtual ~NotifyIconShell();
    // Adds, changes or removes an icon. Adding an icon that exists, and changing or removing
    // one that does not, fails (false) and changes nothing.
    virtual bool Shell_NotifyIcon(uint32_t message, const NOTIFYICONDATA& data) = 0;
    // Whether the desktop has a notification area to show icons in right now. Without one an
    // added icon is seen nowhere. One short local round trip; fine to ask every few seconds.
    virtual bool trayHostAvailable() const = 0;
    // Shows a balloon message beside the icon (hWnd, id); a click on it arrives as
    // NIN_BALLOONUSERCLICK. False, and nothing shown, when no such icon exists.
    // `icon` (a picture handle, 0 for the usual information or error sign) is shown beside
    // the text where the shell can. `silent` asks the shell not to play its sound with it
    // where the shell plays one.
    virtual bool showBalloon(uintptr_t hWnd, uint32_t id, const std::string& title, const std::string& text,
                             bool critical, uintptr_t icon = 0, bool silent = false) = 0;
    // One handler per window handle; an empty function removes it.
    void setMessageHandler(uintptr_t hWnd, MessageHandler handler);

protected:
    void deliver(uintptr_t hWnd, uint32_t id, uint32_t mouseMessage);

private:
    std::map<uintptr_t, MessageHandler> m_handlers;
};

// The desktop's own notification area, as the window system offers it.
std::unique_ptr<NotifyIconShell> makeSystemNotifyIconShell();

// A balloon's plain text as that notification area takes it: escaped where the tray hands
// balloons on to a notification service that reads markup, as it stands where it does not.
std::string balloonText(const std::string& plain);

// Records every call and keeps the state of the one icon, for tests. While hostAvailable is
// false (a desktop without a notification area) adding the icon fails.
class NotifyIconRecorder : public NotifyIconShell {
public:
    struct Call {
        uint32_t message = 0;
        NOTIFYICONDATA data;
        bool result = false;
    };
    bool Shell_NotifyIcon(uint32_t message, const NOTIFYICONDATA& data) override;
    bool trayHostAvailable() const override { return hostAvailable; }
    bool showBalloon(uintptr_t hWnd, uint32_t id, const std::string& title, const std::string& text,
                     bool critical, uintptr_t icon = 0, bool silent = false) override;
    // A mouse notification from the icon, as the user's click would send; nothing happens
    // while no icon is present or it was added without NIF_MESSAGE.
    void simulate(uint32_t mouseMessage);

    struct Balloon {
        std::string title, text;
        bool critical = false;
        uintptr_t icon = 0;
        bool silent = false;
    };
    std::vector<Call> calls;
    std::vector<Balloon> balloons;
    bool hostAvailable = true;
    bool present = false;
    std::string tip;
    uintptr_t hIcon = 0;
    uintptr_t hWnd = 0;
    uint32_t uID = 0;
    uint32_t uFlags = 0;
};

}  // namespace tw::platform
