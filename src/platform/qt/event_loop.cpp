#include "platform/event_loop.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QSocketNotifier>
#include <QTimer>

namespace tw::platform {

bool eventLoopAvailable() { return QCoreApplication::instance() != nullptr; }

bool postToEventLoop(std::function<void()> task) {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) return false;
    // A queued call on the application object runs in whichever loop the GUI thread is in,
    // the main one or a modal dialog's, in the order the calls were queued.
    return QMetaObject::invokeMethod(app, std::move(task), Qt::QueuedConnection);
}

int runEventLoop() { return QCoreApplication::instance() ? QCoreApplication::exec() : -1; }

void quitEventLoop(int code) { QCoreApplication::exit(code); }

struct SocketWatch::Impl {
    QSocketNotifier read;
    QSocketNotifier write;
    Impl(int fd) : read(fd, QSocketNotifier::Read), write(fd, QSocketNotifier::Write) {}
};

SocketWatch::SocketWatch(int fd, std::function<void()> onReadable, std::function<void()> onWritable)
    : m_impl(std::make_unique<Impl>(fd)) {
    m_impl->read.setEnabled(false);
    m_impl->write.setEnabled(false);
    QObject::connect(&m_impl->read, &QSocketNotifier::activated, [f = std::move(onReadable)] { f(); });
    QObject::connect(&m_impl->write, &QSocketNotifier::activated, [f = std::move(onWritable)] { f(); });
}

SocketWatch::~SocketWatch() = default;

void SocketWatch::setReadEnabled(bool enabled) {
    if (m_impl->read.isEnabled() != enabled) m_impl->read.setEnabled(enabled);
}

void SocketWatch::setWriteEnabled(bool enabled) {
    if (m_impl->write.isEnabled() != enabled) m_impl->write.setEnabled(enabled);
}

struct OneShotTimer::Impl {
    QTimer timer;
};

OneShotTimer::OneShotTimer(std::function<void()> onExpired) : m_impl(std::make_unique<Impl>()) {
    m_impl->timer.setSingleShot(true);
    QObject::connect(&m_impl->timer, &QTimer::timeout, [f = std::move(onExpired)] { f(); });
}

OneShotTimer::~OneShotTimer() = default;

void OneShotTimer::start(int ms) { m_impl->timer.start(ms); }

void OneShotTimer::stop() { m_impl->timer.stop(); }

}  // namespace tw::platform
