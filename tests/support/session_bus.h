#pragma once
// A private session bus for tests (a dbus-daemon child with a configuration of our own, so
// nothing on the machine is started on demand) and a notification service that records what
// it is asked to show.

#include <atomic>
#include <memory>
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
    // A new connection of its own on the bus.
    QDBusConnection connect(const QString& name);

private:
    QProcess m_daemon;
    QString m_address;
    QString m_configPath;
    QStringList m_names;
};

// Owns org.freedesktop.Notifications on `bus`. A silent service records calls and never
// answers them.
class RecordingNotificationService : public QDBusVirtualObject {
public:
    struct Shown {
        uint id = 0;
        QString appName, summary, body;
        int urgency = -1;
        bool image = false;
        QStringList actions;
    };
    RecordingNotificationService(QDBusConnection bus, bool answers);
    ~RecordingNotificationService() override;
    // Sends ActionInvoked for notification `id`, as a click on it does.
    void activate(uint id, const QString& action = QStringLiteral("default"));

    std::vector<Shown> shown;

    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;

private:
    QDBusConnection m_bus;
    bool m_answers;
    std::atomic<uint> m_nextId{1};
};

}  // namespace tw::testing
