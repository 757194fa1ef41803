#pragma once
// Runs the real event loop until a condition holds or a deadline passes; never sleeps.

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <functional>
#include <memory>

namespace tw::testing {

// The condition is asked once per turn and its last answer is the result, so a condition
// that collects what arrived as it goes loses nothing.
inline bool runUntil(const std::function<bool()>& done, int deadlineMs = 5000) {
    if (done()) return true;
    bool held = false;
    QEventLoop loop;
    QTimer poll, deadline;
    QObject::connect(&poll, &QTimer::timeout, [&] { if ((held = done())) loop.quit(); });
    QObject::connect(&deadline, &QTimer::timeout, [&] { loop.quit(); });
    deadline.setSingleShot(true);
    poll.start(1);
    deadline.start(deadlineMs);
    loop.exec();
    return held;
}

// How long a test waits for a name that does not exist: the system resolver may ask a
// name server that answers slowly, or only after its own timeout.
inline constexpr int kFailedLookupDeadlineMs = 30000;

// Waits until everything already posted to the event loop has run: a call queued now runs
// after all of them. Once a source can post no more (its socket closed, its lookup done),
// this proves that nothing of it is still on its way.
inline bool postedEventsDelivered(int deadlineMs = 5000) {
    auto reached = std::make_shared<bool>(false);
    QMetaObject::invokeMethod(QCoreApplication::instance(), [reached] { *reached = true; }, Qt::QueuedConnection);
    return runUntil([reached] { return *reached; }, deadlineMs);
}

}  // namespace tw::testing
