#include "alerts/stale_watch.h"

#include <cstdio>
#include <utility>

namespace tw {
namespace {

constexpr int kFailuresUntilStale = 3;

std::string hoursMinutes(const LocalDateTime& t) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d:%02d", t.hour % 100, t.minute % 100);
    return text;
}

}  // namespace

StaleWatch::StaleWatch(SteadyClock steady) : m_steady(std::move(steady)) {}

void StaleWatch::restart(const LocalDateTime& now) {
    m_watching = true;
    m_stale = false;
    m_failures = 0;
    m_firstFailure = {};
    m_lastComplete = now;
    m_lastCompleteSteady = m_steady();
}

StaleWatch::Turn StaleWatch::updateFailed(const LocalDateTime& now) {
    if (m_failures++ == 0) m_firstFailure = now;
    return timePassed();
}

StaleWatch::Turn StaleWatch::updateCompleted(const LocalDateTime& now) {
    m_failures = 0;
    m_lastComplete = now;
    m_lastCompleteSteady = m_steady();
    return settle(false);
}

StaleWatch::Turn StaleWatch::timePassed() {
    const bool tooOld =
        m_periodMinutes > 0 && m_steady() - m_lastCompleteSteady > 2 * std::chrono::minutes(m_periodMinutes);
    return settle(m_failures >= kFailuresUntilStale || tooOld);
}

StaleWatch::Turn StaleWatch::settle(bool stale) {
    if (!m_watching || stale == m_stale) return Turn::None;
    m_stale = stale;
    return stale ? Turn::TurnedStale : Turn::TurnedFresh;
}

std::string StaleWatch::statusText() const {
    if (!m_stale) return "";
    if (m_failures == 0) return "No complete update since " + hoursMinutes(m_lastComplete);
    return "Herald unreachable since " + hoursMinutes(m_firstFailure) + " \xE2\x80\x94 " +
           std::to_string(m_failures) + (m_failures == 1 ? " failed update" : " failed updates");
}

std::string staleSummary() { return "Keep ownership may be out of date"; }
std::string freshSummary() { return "Herald reachable again"; }
std::string freshBody(const LocalDateTime& now) { return "Keep ownership updated at " + hoursMinutes(now) + "."; }

}  // namespace tw
