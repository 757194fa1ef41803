#include "platform/qt/notifications.h"

#include <set>

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QIcon>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QVariantMap>

#include "platform/qt/notify_icon.h"
#include "platform/qt/text_codec.h"

namespace tw::platform {
namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = kService;
// Realm pictures are tiny; services draw what they get at about this size.
constexpr int kImageSide = 48;
constexpr std::size_t kRememberedMost = 64;

// The "image-data" hint, (iiibiiay): width, height, row length, alpha, bits, channels, bytes.
QVariant imageData(uintptr_t handle) {
    const QIcon icon = iconFromHandle(handle);
    if (icon.isNull()) return {};
    const QImage image = icon.pixmap(kImageSide, kImageSide)
                             .toImage()
                             .scaled(kImageSide, kImageSide, Qt::KeepAspectRatio, Qt::FastTransformation)
                             .convertToFormat(QImage::Format_RGBA8888);
    QDBusArgument data;
    data.beginStructure();
    data << image.width() << image.height() << static_cast<int>(image.bytesPerLine()) << true << 8 << 4
         << QByteArray(reinterpret_cast<const char*>(image.constBits()), static_cast<int>(image.sizeInBytes()));
    data.endStructure();
    return QVariant::fromValue(data);
}

}  // namespace

// Hears the service's signals; only notifications this notifier sent are acted on.
struct DBusNotifier::Listener : QObject {
    Q_OBJECT
public:
    Listener(DBusNotifier& owner, const QDBusConnection& bus, int timeoutMs)
        : owner(owner), bus(bus), timeoutMs(timeoutMs) {}

    // Done at the first notification: until then no other program's notification wakes us.
    void subscribe() {
        if (subscribed) return;
        subscribed = true;
        // No sender given: naming the service would make Qt ask the bus for its owner and wait.
        bus.connect(QString(), kPath, kInterface, QStringLiteral("ActionInvoked"), this, SLOT(actionInvoked(uint, QString)));
        bus.connect(QString(), kPath, kInterface, QStringLiteral("NotificationClosed"), this, SLOT(closed(uint, uint)));
    }

public slots:
    void actionInvoked(uint id, const QString&) {
        if (ours.erase(id) != 0 && owner.onActivated) owner.onActivated();
    }
    void closed(uint id, uint) { ours.erase(id); }

public:
    void remember(uint id) {
        // A service that never says "closed" must not make the set grow for the whole run;
        // its ids only grow, so the first is the oldest.
        if (ours.size() >= kRememberedMost) ours.erase(ours.begin());
        ours.insert(id);
    }

    DBusNotifier& owner;
    QDBusConnection bus;
    int timeoutMs;
    bool subscribed = false;
    std::set<uint> ours;  // shown and not yet closed
};

DBusNotifier::DBusNotifier(const QDBusConnection& bus, int answerTimeoutMs)
    : m_listener(std::make_unique<Listener>(*this, bus, answerTimeoutMs)) {}

DBusNotifier::~DBusNotifier() = default;

void DBusNotifier::notify(const DesktopNotification& notification) {
    if (!m_listener->bus.isConnected()) {
        handOn(notification);
        return;
    }
    m_listener->subscribe();
    QVariantMap hints;
    hints.insert(QStringLiteral("urgency"), QVariant::fromValue(static_cast<uchar>(notification.critical ? 2 : 1)));
    if (const QVariant image = imageData(notification.icon); image.isValid()) hints.insert(QStringLiteral("image-data"), image);
    // A service plays its own sound unless told not to.
    if (notification.sound.empty()) hints.insert(QStringLiteral("suppress-sound"), true);
    else hints.insert(QStringLiteral("sound-name"), toQString(notification.sound));
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    call << QStringLiteral("Towerwatch") << 0u << QString() << toQString(notification.summary)
         << toQString(notificationBodyMarkup(notification.body))
         << QStringList{QStringLiteral("default"), QStringLiteral("Open history")} << hints << -1;
    // No service owning the name answers at once with an error; a hung one with the timeout.
    auto* watcher = new QDBusPendingCallWatcher(m_listener->bus.asyncCall(call, m_listener->timeoutMs), m_listener.get());
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, m_listener.get(),
                     [this, notification](QDBusPendingCallWatcher* done) {
                         const QDBusPendingReply<uint> reply = *done;
                         done->deleteLater();
                         if (reply.isError()) handOn(notification);
                         else m_listener->remember(reply.value());
                     });
}

std::unique_ptr<DesktopNotifier> makeSystemNotifier() {
    return std::make_unique<DBusNotifier>(QDBusConnection::sessionBus());
}

}  // namespace tw::platform

#include "notifications.moc"
