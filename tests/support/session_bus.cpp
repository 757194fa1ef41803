#include "session_bus.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QTemporaryFile>
#include <QVariantMap>

#include "event_loop_wait.h"

namespace tw::testing {
namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");

constexpr char kConfig[] = R"(<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:tmpdir=/tmp</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
)";

}  // namespace

PrivateSessionBus::PrivateSessionBus() {
    QTemporaryFile config;
    config.setAutoRemove(false);
    if (!config.open() || config.write(kConfig) < 0) return;
    m_configPath = config.fileName();
    config.close();
    m_daemon.start(QStringLiteral("dbus-daemon"),
                   {QStringLiteral("--config-file=") + m_configPath, QStringLiteral("--print-address"),
                    QStringLiteral("--nofork")});
    if (!runUntil([&] { return m_daemon.canReadLine() || m_daemon.state() == QProcess::NotRunning; }, 10000)) return;
    m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
}

PrivateSessionBus::~PrivateSessionBus() {
    for (const QString& name : m_names) QDBusConnection::disconnectFromBus(name);
    m_daemon.kill();
    m_daemon.waitForFinished(5000);
    if (!m_configPath.isEmpty()) QFile::remove(m_configPath);
}

QDBusConnection PrivateSessionBus::connect(const QString& name) {
    // Qt keeps connections by name for the whole run: each bus gets names of its own.
    static int buses = 0;
    if (m_names.isEmpty()) ++buses;
    m_names << name + QString::number(buses);
    return QDBusConnection::connectToBus(m_address, m_names.back());
}

RecordingNotificationService::RecordingNotificationService(QDBusConnection bus, bool answers)
    : m_bus(std::move(bus)), m_answers(answers) {
    m_bus.registerVirtualObject(kPath, this);
    m_bus.registerService(kService);
}

RecordingNotificationService::~RecordingNotificationService() {
    m_bus.unregisterService(kService);
    m_bus.unregisterObject(kPath);
}

void RecordingNotificationService::activate(uint id, const QString& action) {
    QDBusMessage signal = QDBusMessage::createSignal(kPath, kService, QStringLiteral("ActionInvoked"));
    signal << id << action;
    m_bus.send(signal);
}

bool RecordingNotificationService::handleMessage(const QDBusMessage& message, const QDBusConnection& connection) {
    if (message.member() != QStringLiteral("Notify") || message.arguments().size() != 8) return false;
    const QVariantList a = message.arguments();
    const QVariantMap hints = qdbus_cast<QVariantMap>(a[6]);
    Shown shown{m_nextId++, a[0].toString(), a[3].toString(), a[4].toString(),
                hints.contains(QStringLiteral("urgency")) ? hints.value(QStringLiteral("urgency")).toInt() : -1,
                hints.contains(QStringLiteral("image-data")), a[5].toStringList()};
    // Qt may call this on its bus thread; the list belongs to the test's.
    QMetaObject::invokeMethod(this, [this, shown] { this->shown.push_back(shown); });
    if (m_answers) connection.send(message.createReply(QVariant::fromValue(shown.id)));
    else message.setDelayedReply(true);  // and never answered
    return true;
}

}  // namespace tw::testing
