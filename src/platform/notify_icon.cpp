#include "platform/notify_icon.h"

#include <algorithm>
#include <cstring>

#include <QCoreApplication>
#include <QIcon>
#include <QPointer>
#include <QSystemTrayIcon>

#include "platform/qt/text_codec.h"
#include "runtime/utf8.h"

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

void setNotifyTip(NOTIFYICONDATA& data, const std::string& tip) {
    const std::string_view kept = leadingCharactersWithin(tip, sizeof data.szTip - 1);
    std::memset(data.szTip, ' ', sizeof data.szTip);
    std::memcpy(data.szTip, kept.data(), kept.size());
    data.szTip[kept.size()] = '\0';
}

std::string notifyTip(const NOTIFYICONDATA& data) {
    const char* end = std::find(data.szTip, data.szTip + sizeof data.szTip, '\0');
    return std::string(data.szTip, end);
}

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

// ---- NotifyIconShell

NotifyIconShell::~NotifyIconShell() = default;

void NotifyIconShell::setMessageHandler(uintptr_t hWnd, MessageHandler handler) {
    if (handler) m_handlers[hWnd] = std::move(handler);
    else m_handlers.erase(hWnd);
}

void NotifyIconShell::deliver(uintptr_t hWnd, uint32_t id, uint32_t mouseMessage) {
    const auto it = m_handlers.find(hWnd);
    if (it == m_handlers.end()) return;
    // A copy: the handler may replace itself while it runs.
    const MessageHandler handler = it->second;
    handler(id, mouseMessage);
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
                                    bool critical) {
    const auto it = m_icons.find({hWnd, id});
    if (it == m_icons.end() || !it->second->tray) return false;
    it->second->tray->showMessage(toQString(title), toQString(text),
                                  critical ? QSystemTrayIcon::Critical : QSystemTrayIcon::Information);
    return true;
}

// ---- NotifyIconRecorder

bool NotifyIconRecorder::Shell_NotifyIcon(uint32_t message, const NOTIFYICONDATA& data) {
    const bool sameIcon = present && data.hWnd == hWnd && data.uID == uID;
    bool ok = false;
    if (message == NIM_ADD && !present && hostAvailable) {
        present = ok = true;
        hWnd = data.hWnd;
        uID = data.uID;
        uFlags = 0;
        tip.clear();
        hIcon = 0;
    } else if ((message == NIM_MODIFY || message == NIM_DELETE) && sameIcon) {
        ok = true;
    }
    if (ok && message == NIM_DELETE) {
        present = false;
    } else if (ok) {
        uFlags |= data.uFlags;
        if (data.uFlags & NIF_ICON) hIcon = data.hIcon;
        if (data.uFlags & NIF_TIP) tip = notifyTip(data);
    }
    calls.push_back({message, data, ok});
    return ok;
}

bool NotifyIconRecorder::showBalloon(uintptr_t hWnd_, uint32_t id, const std::string& title,
                                     const std::string& text, bool critical) {
    if (!present || hWnd_ != hWnd || id != uID) return false;
    balloons.push_back({title, text, critical});
    return true;
}

void NotifyIconRecorder::simulate(uint32_t mouseMessage) {
    if (present && (uFlags & NIF_MESSAGE)) deliver(hWnd, uID, mouseMessage);
}

}  // namespace tw::platform
