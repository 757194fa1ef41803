#include "platform/qt/notify_icon.h"

#include <QCoreApplication>
#include <QIcon>
#include <QPointer>
#include <QSystemTrayIcon>

#include "platform/notifications.h"
#include "platform/qt/text_codec.h"

namespace tw::platform {
namespace {

// Pictures handed out as handles. Allocated once and never freed: the pictures must outlive
// every record, and Qt objects may not be torn down after the application is gone.
struct IconTable {
    std::map<qint64, uintptr_t> byKey;
    std::map<uintptr_t, QIcon> byHandle;
};
IconTable& iconTable() {
    static IconTable* table = new IconTable;
    return *table;
}

}  // namespace

uintptr_t iconHandle(const QIcon& icon) {
    if (icon.isNull()) return 0;
    IconTable& table = iconTable();
    auto [it, added] = table.byKey.try_emplace(icon.cacheKey(), table.byHandle.size() + 1);
    if (added) table.byHandle.emplace(it->second, icon);
    return it->second;
}

QIcon iconFromHandle(uintptr_t handle) {
    const auto& icons = iconTable().byHandle;
    const auto it = icons.find(handle);
    return it == icons.end() ? QIcon() : it->second;
}

// ---- QtNotifyIconShell

struct QtNotifyIconShell::Icon {
    QPointer<QSystemTrayIcon> tray;  // the application may delete it first at exit
    bool sendsMessages = false;
};

QtNotifyIconShell::QtNotifyIconShell() = default;

QtNotifyIconShell::~QtNotifyIconShell() {
    // The tray icons hang on the application; ours go with the shell.
    for (const auto& entry : m_icons) delete entry.second->tray.data();
}

bool QtNotifyIconShell::Shell_NotifyIcon(uint32_t message, const NOTIFYICONDATA& data) {
    const auto key = std::make_pair(data.hWnd, data.uID);
    auto it = m_icons.find(key);
    if (message == NIM_DELETE) {
        if (it == m_icons.end()) return false;
        const std::unique_ptr<Icon> icon = std::move(it->second);
        m_icons.erase(it);
        if (icon->tray) {
            icon->tray->hide();
            icon->tray->disconnect();
            // It may be the sender of the click that brought us here.
            icon->tray->deleteLater();
        }
        return true;
    }
    if (message == NIM_ADD) {
        if (it != m_icons.end()) return false;
        auto owned = std::make_unique<Icon>();
        Icon* icon = owned.get();  // the click handler's; it is disconnected before the icon goes
        icon->tray = new QSystemTrayIcon(QCoreApplication::instance());
        const uintptr_t hWnd = data.hWnd;
        const uint32_t uID = data.uID;
        QObject::connect(icon->tray.data(), &QSystemTrayIcon::activated, icon->tray.data(),
                         [this, icon, hWnd, uID](QSystemTrayIcon::ActivationReason reason) {
                             if (!icon->sendsMessages) return;
                             if (reason == QSystemTrayIcon::Trigger) deliver(hWnd, uID, WM_LBUTTONDOWN);
                             else if (reason == QSystemTrayIcon::DoubleClick) deliver(hWnd, uID, WM_LBUTTONDBLCLK);
                             else if (reason == QSystemTrayIcon::Context) deliver(hWnd, uID, WM_RBUTTONUP);
                         });
        QObject::connect(icon->tray.data(), &QSystemTrayIcon::messageClicked, icon->tray.data(),
                         [this, hWnd, uID] { deliver(hWnd, uID, NIN_BALLOONUSERCLICK); });
        it = m_icons.emplace(key, std::move(owned)).first;
    } else if (message != NIM_MODIFY || it == m_icons.end() || !it->second->tray) {
        return false;
    }
    Icon& icon = *it->second;
    if (data.uFlags & NIF_MESSAGE) icon.sendsMessages = true;
    if (data.uFlags & NIF_ICON) icon.tray->setIcon(iconFromHandle(data.hIcon));
    if (data.uFlags & NIF_TIP) icon.tray->setToolTip(toQString(notifyTip(data)));
    if (message == NIM_ADD) icon.tray->show();
    return true;
}

bool QtNotifyIconShell::trayHostAvailable() const {
    // Qt asks the session bus whether a status-notifier host is registered, or the X server
    // who owns the tray selection: one short local round trip, never a wait on the panel.
    return QSystemTrayIcon::isSystemTrayAvailable();
}

bool QtNotifyIconShell::showBalloon(uintptr_t hWnd, uint32_t id, const std::string& title, const std::string& text,
                                    bool critical, uintptr_t /*icon: Qt shows its own sign*/,
                                    bool /*silent: Qt's balloons make no sound of their own*/) {
    const auto it = m_icons.find({hWnd, id});
    if (it == m_icons.end() || !it->second->tray) return false;
    it->second->tray->showMessage(toQString(title), toQString(text),
                                  critical ? QSystemTrayIcon::Critical : QSystemTrayIcon::Information);
    return true;
}

std::unique_ptr<NotifyIconShell> makeSystemNotifyIconShell() { return std::make_unique<QtNotifyIconShell>(); }

// On a status-notifier tray Qt hands the balloon on to the notification service, whose body
// is markup.
std::string balloonText(const std::string& plain) { return notificationBodyMarkup(plain); }

}  // namespace tw::platform
