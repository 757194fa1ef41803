#pragma once
// A private session bus for tests (a dbus-daemon child whose configuration starts nothing on
// demand) and a notification service on it that records what it is asked to show.

#include <atomic>
#include <vector>

#include <QDBusConnection>
#include <QDBusVirtualObject>
#include <QProcess>
#include <QStringList>

namespace tw::testing {

class PrivateSessionBus {
public:
    PrivateSessionBus();  // waits at most ten seconds for the daemon's address
    ~PrivateSessionBus();
    bool started() const { return !m_address.isEmpty(); }
    QDBusConnection connect(const QString& name);  // a connection of its own

private:
    QProcess m_daemon;
    QString m_address, m_config;
    QStringList m_names;
};

// Owns org.freedesktop.Notifications; a silent one records calls and never answers them.
class RecordingNotificationService : public QDBusVirtualObject {
public:
    struct Shown {
        uint id;
        QString appName, summary, body;
        int urgency;
        bool image;
        QString sound;  // the sound-name hint; "(none)" with suppress-sound, empty with neither
    };
    RecordingNotificationService(QDBusConnection bus, bool answers);
    ~RecordingNotificationService() override;
    void activate(uint id);  // ActionInvoked "default", as a click sends it

    std::vector<Shown> shown;

    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;

private:
    QDBusConnection m_bus;
    bool m_answers;
    std::atomic<uint> m_nextId{1};
};

}  // namespace tw::testing
