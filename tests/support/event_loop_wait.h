#pragma once
// Runs the real event loop until a condition holds or a deadline passes; never sleeps.

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <functional>

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

// Lets everything already queued (and what it queues in turn, for a short while) run.
inline void drainEvents(int ms = 50) {
    bool timedOut = false;
    QTimer::singleShot(ms, [&] { timedOut = true; });
    runUntil([&] { return timedOut; }, ms + 1000);
}

}  // namespace tw::testing
