#include "session_bus.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusMessage>
#include <QDir>
#include <QVariantMap>

#include "event_loop_wait.h"

namespace tw::testing {
namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
constexpr char kConfig[] =
    "<busconfig><type>session</type><listen>unix:tmpdir=/tmp</listen><auth>EXTERNAL</auth>"
    "<policy context=\"default\"><allow send_destination=\"*\"/><allow receive_sender=\"*\"/><allow own=\"*\"/></policy></busconfig>";

}  // namespace

PrivateSessionBus::PrivateSessionBus() {
    m_config = QDir::tempPath() + "/towerwatch-bus-" + QString::number(QCoreApplication::applicationPid()) + ".conf";
    QFile config(m_config);
    if (!config.open(QIODevice::WriteOnly) || config.write(kConfig) < 0) return;
    config.close();
    m_daemon.start("dbus-daemon", {"--config-file=" + m_config, "--print-address", "--nofork"});
    if (runUntil([&] { return m_daemon.canReadLine() || m_daemon.state() == QProcess::NotRunning; }, 10000))
        m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
}

PrivateSessionBus::~PrivateSessionBus() {
    for (const QString& name : m_names) QDBusConnection::disconnectFromBus(name);
    m_daemon.kill();
    m_daemon.waitForFinished(5000);
    QFile::remove(m_config);
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

void RecordingNotificationService::activate(uint id) {
    m_bus.send(QDBusMessage::createSignal(kPath, kService, "ActionInvoked") << id << QString("default"));
}

bool RecordingNotificationService::handleMessage(const QDBusMessage& message, const QDBusConnection& connection) {
    const QVariantList a = message.arguments();
    if (message.member() != "Notify" || a.size() != 8) return false;
    const QVariantMap hints = qdbus_cast<QVariantMap>(a[6]);
    const Shown shown{m_nextId++, a[0].toString(), a[3].toString(), a[4].toString(),
                      hints.value("urgency", -1).toInt(), hints.contains("image-data"),
                      hints.value("suppress-sound").toBool() ? QString("(none)") : hints.value("sound-name").toString()};
    // Qt may call this on its bus thread; the list belongs to the test's.
    QMetaObject::invokeMethod(this, [this, shown] { this->shown.push_back(shown); });
    if (m_answers) connection.send(message.createReply(QVariant::fromValue(shown.id)));
    else message.setDelayedReply(true);
    return true;
}

}  // namespace tw::testing
