#include "event_loop_wait.h"

#include <QEventLoop>
#include <QTimer>

namespace tw::testing {

bool runUntil(const std::function<bool()>& done, int deadlineMs) {
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

}  // namespace tw::testing
