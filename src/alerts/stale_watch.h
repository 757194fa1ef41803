#pragma once
// Whether the shown ownership can still be trusted. The data turns stale after three status
// updates in a row have failed, or when the newest complete download is older than two
// update periods (with automatic updates off, only the failures count). A complete download
// makes it fresh again. The local time of each event is passed in for the texts; how long
// ago something happened is measured on the steady clock the watch is given, so a wall clock
// that jumps (a clock change, a clock set by hand) neither raises nor hides the warning.

#include <chrono>
#include <functional>
#include <string>

#include "runtime/general_date.h"

namespace tw {

class StaleWatch {
public:
    using SteadyClock = std::function<std::chrono::steady_clock::time_point()>;
    enum class Turn { None, TurnedStale, TurnedFresh };

    explicit StaleWatch(SteadyClock steady = [] { return std::chrono::steady_clock::now(); });

    // Starts watching at `now`, which counts as the newest complete download until one comes.
    // Until then nothing turns.
    void restart(const LocalDateTime& now);
    // Minutes between automatic updates; 0 when they are off.
    void setUpdatePeriod(int minutes) { m_periodMinutes = minutes; }

    // Each returns whether the data turned stale or fresh with it.
    Turn updateFailed(const LocalDateTime& now);
    Turn updateCompleted(const LocalDateTime& now);
    Turn timePassed();

    bool stale() const { return m_stale; }
    // While stale: "Herald unreachable since 18:05 — 3 failed updates" (the first failure of
    // the run), or "No complete update since 18:05" when nothing failed; "" while fresh. The
    // times are the local clock's when it happened.
    std::string statusText() const;

private:
    Turn settle(bool stale);

    SteadyClock m_steady;
    bool m_watching = false;
    bool m_stale = false;
    int m_periodMinutes = 0;
    int m_failures = 0;
    LocalDateTime m_firstFailure;
    LocalDateTime m_lastComplete;
    std::chrono::steady_clock::time_point m_lastCompleteSteady;
};

// What the notification says when the data turns stale, or fresh at `now`.
std::string staleSummary();
std::string freshSummary();
std::string freshBody(const LocalDateTime& now);

}  // namespace tw
