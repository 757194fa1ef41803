// The alerts that reach a player who is not looking at the window: desktop notifications for
// logged changes, and the warning that the shown ownership has gone stale.
#include "app/frm_main.h"

#include "alerts/change_notifications.h"
#include "app/artwork.h"
#include "app/tray_icon.h"
#include "forms/qt/picture_data.h"
#include "herald/realm_vocabulary.h"
#include "platform/services.h"
#include "settings/settings_store.h"

namespace tw {

void frmMain::connectAlerts() {
    if (m_stalePicture.isNull()) m_stalePicture = forms::qt::pictureFrom(staleIcon());
    watch.restartStaleWatch();
    platform::DesktopNotifier& notifier = platform::desktopNotifier();
    notifier.onActivated = [this] { openHistoryFromAlert(); };
    // Without a notification service the tray icon's balloon says it; without a tray either,
    // the log and the window still hold the change.
    notifier.fallback = [this](const platform::DesktopNotification& notification) {
        if (TrayEnabled) TrayBalloon(notification.summary, notification.body, notification.critical, hWnd());
    };
    m_alertsConnected = true;
}

void frmMain::notifyChanges(const std::vector<LoggedChange>& changes) {
    for (const ChangeNotification& n : changeNotifications(changes, notifyMode(ReadSetting("Notify", "1"))))
        notifyDesktop(n.summary, n.body, n.critical, n.realm);
}

void frmMain::notifyDesktop(const std::string& summary, const std::string& body, bool critical,
                            const std::string& realm) {
    const forms::Picture& realmIcon = realmPicture(static_cast<int>(RealmImage(realm)));
    platform::desktopNotifier().notify(
        {summary, body, critical, iconHandle(realmIcon.isNull() ? icoMain.picture() : realmIcon)});
}

void frmMain::openHistoryFromAlert() {
    mServers_Click();
    // A second click while the viewer is open finds it there.
    if (m_historyFromAlertOpen) return;
    m_historyFromAlertOpen = true;
    cmdMonitorOptions_Click();
    m_historyFromAlertOpen = false;
}

void frmMain::staleness(StaleWatch::Turn turn) {
    const StaleWatch& stale = watch.staleWatch();
    const std::string tip = stale.stale() ? stale.statusText() : "Towerwatch";
    if (turn == StaleWatch::Turn::None && tip == TrayStatus) return;
    TrayStatus = tip;
    if (stale.stale()) lblServerInfo.setCaption(tip);
    // A flashing icon keeps its own tip and pictures until it is clicked.
    if (TrayEnabled && !tmrIcoFlash.enabled()) TrayModify(iconHandle(restingIcon()), TrayStatus, hWnd());
    // "Notify" off silences these too; the tip and the status line still say it.
    if (notifyMode(ReadSetting("Notify", "1")) == NotifyMode::Off) return;
    if (turn == StaleWatch::Turn::TurnedStale) notifyDesktop(staleSummary(), stale.statusText(), false, "");
    if (turn == StaleWatch::Turn::TurnedFresh)
        notifyDesktop(freshSummary(), freshBody(platform::processFacts().now()), false, "");
}

const forms::Picture& frmMain::restingIcon() const {
    return watch.staleWatch().stale() && !m_stalePicture.isNull() ? m_stalePicture : icoMain.picture();
}

}  // namespace tw
