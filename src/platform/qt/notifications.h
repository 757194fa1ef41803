#pragma once
// Desktop notifications over Qt DBus.

#include <memory>

#include "platform/notifications.h"

class QDBusConnection;

namespace tw::platform {

// org.freedesktop.Notifications on a bus connection, called asynchronously. A call not
// answered within answerTimeoutMs counts as not taken.
class DBusNotifier : public DesktopNotifier {
public:
    explicit DBusNotifier(const QDBusConnection& bus, int answerTimeoutMs = 10000);
    ~DBusNotifier() override;
    void notify(const DesktopNotification& notification) override;

private:
    struct Listener;
    std::unique_ptr<Listener> m_listener;
};

}  // namespace tw::platform
