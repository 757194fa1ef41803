#pragma once
// The alerts that reach a player who is not looking at the window: a desktop notification
// per logged change (as the "Notify" setting chooses) and when the shown ownership turns
// stale or fresh again. Without a notification service the window's balloon says it; a
// click on either opens the history.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "alerts/logged_change.h"
#include "alerts/stale_watch.h"
#include "platform/notifications.h"

namespace tw {

class DesktopAlerts {
public:
    struct Window {
        // The shell handle of a realm's picture, or of the program's for any other realm.
        std::function<std::uintptr_t(const std::string& realm)> realmIcon;
        std::function<void(const platform::DesktopNotification&)> balloon;
        std::function<void()> activated;
    };

    explicit DesktopAlerts(Window window) : m_window(std::move(window)) {}
    // The notifier outlives the window: nothing of it may call back into a window gone.
    ~DesktopAlerts();
    DesktopAlerts(const DesktopAlerts&) = delete;
    DesktopAlerts& operator=(const DesktopAlerts&) = delete;

    // Takes the notifier's clicks and what it could not show.
    void connect();
    void changesLogged(const std::vector<LoggedChange>& changes);
    void staleTurned(StaleWatch::Turn turn, const StaleWatch& stale);

private:
    void notify(const std::string& summary, const std::string& body, bool critical, const std::string& realm);

    Window m_window;
    bool m_connected = false;
};

}  // namespace tw
