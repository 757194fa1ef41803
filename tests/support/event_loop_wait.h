#pragma once
// Runs the real event loop until a condition holds or a deadline passes; never sleeps.

#include <functional>
#include <memory>

#include "platform/event_loop.h"

namespace tw::testing {

// The condition is asked once per turn and its last answer is the result, so a condition
// that collects what arrived as it goes loses nothing. event_loop_wait_<system>.cpp.
bool runUntil(const std::function<bool()>& done, int deadlineMs = 5000);

// How long a test waits for a name that does not exist: the system resolver may ask a
// name server that answers slowly, or only after its own timeout.
inline constexpr int kFailedLookupDeadlineMs = 30000;

// Waits until everything already posted to the event loop has run: a call queued now runs
// after all of them. Once a source can post no more (its socket closed, its lookup done),
// this proves that nothing of it is still on its way.
inline bool postedEventsDelivered(int deadlineMs = 5000) {
    auto reached = std::make_shared<bool>(false);
    if (!platform::postToEventLoop([reached] { *reached = true; })) return false;
    return runUntil([reached] { return *reached; }, deadlineMs);
}

}  // namespace tw::testing
