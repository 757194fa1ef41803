#include "app/desktop_alerts.h"

#include "alerts/change_notifications.h"
#include "alerts/notification_sound.h"
#include "platform/services.h"
#include "settings/settings_store.h"

namespace tw {

DesktopAlerts::~DesktopAlerts() {
    if (!m_connected) return;
    platform::desktopNotifier().onActivated = nullptr;
    platform::desktopNotifier().fallback = nullptr;
}

void DesktopAlerts::connect() {
    platform::DesktopNotifier& notifier = platform::desktopNotifier();
    notifier.onActivated = [this] { m_window.activated(); };
    // Without a tray either, the log and the window still hold the change.
    notifier.fallback = [this](const platform::DesktopNotification& notification) { m_window.balloon(notification); };
    m_connected = true;
}

void DesktopAlerts::changesLogged(const std::vector<LoggedChange>& changes) {
    for (const ChangeNotification& n : changeNotifications(changes, notifyMode(ReadSetting("Notify", "1"))))
        notify(n.summary, n.body, n.critical, n.realm);
}

void DesktopAlerts::staleTurned(StaleWatch::Turn turn, const StaleWatch& stale) {
    // "Notify" off silences these too; the tip and the status line still say it.
    if (notifyMode(ReadSetting("Notify", "1")) == NotifyMode::Off) return;
    if (turn == StaleWatch::Turn::TurnedStale) notify(staleSummary(), stale.statusText(), false, "");
    if (turn == StaleWatch::Turn::TurnedFresh)
        notify(freshSummary(), freshBody(platform::processFacts().now()), false, "");
}

void DesktopAlerts::notify(const std::string& summary, const std::string& body, bool critical,
                           const std::string& realm) {
    const std::string sound = notificationSound(soundMode(ReadSetting("Sound", "2")), critical);
    platform::desktopNotifier().notify({summary, body, critical, m_window.realmIcon(realm), sound});
}

}  // namespace tw
