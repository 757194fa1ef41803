#include "forms/timer.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <algorithm>
#include <map>

namespace tw::forms {

namespace {

// Thread timers by their id; a tick queued for a timer killed since finds nobody.
std::map<UINT_PTR, Timer*>& runningTimers() {
    static std::map<UINT_PTR, Timer*> timers;
    return timers;
}

void CALLBACK timerTicked(HWND, UINT, UINT_PTR id, DWORD) {
    const auto it = runningTimers().find(id);
    if (it != runningTimers().end()) it->second->tick();
}

}  // namespace

struct NativeTimer {
    UINT_PTR id = 0;

    void stop() {
        if (!id) return;
        KillTimer(nullptr, id);
        runningTimers().erase(id);
        id = 0;
    }
};

Timer::Timer(Container& /*owner*/, std::string name)
    : m_name(std::move(name)), m_native(std::make_unique<NativeTimer>()) {}

Timer::~Timer() { m_native->stop(); }

void Timer::setInterval(int ms) {
    m_interval = std::max(0, ms);
    restart();
}

void Timer::setEnabled(bool enabled) {
    m_enabled = enabled;
    restart();
}

void Timer::restart() {
    m_native->stop();
    if (!m_enabled || m_interval <= 0) return;
    m_native->id = SetTimer(nullptr, 0, static_cast<UINT>(m_interval), &timerTicked);
    if (m_native->id) runningTimers()[m_native->id] = this;
}

void Timer::tick() {
    const auto handler = onTimer;
    if (handler) handler();
}

}  // namespace tw::forms
