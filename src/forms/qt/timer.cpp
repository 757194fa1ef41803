#include "forms/timer.h"

#include <QTimer>

namespace tw::forms {

struct NativeTimer {
    QTimer timer;
};

Timer::Timer(Container& /*owner*/, std::string name)
    : m_name(std::move(name)), m_native(std::make_unique<NativeTimer>()) {
    QObject::connect(&m_native->timer, &QTimer::timeout, &m_native->timer, [this] { tick(); });
}

Timer::~Timer() = default;

void Timer::setInterval(int ms) {
    m_interval = std::max(0, ms);
    restart();
}

void Timer::setEnabled(bool enabled) {
    m_enabled = enabled;
    restart();
}

void Timer::restart() {
    m_native->timer.stop();
    if (m_enabled && m_interval > 0) m_native->timer.start(m_interval);
}

void Timer::tick() {
    const auto handler = onTimer;
    if (handler) handler();
}

}  // namespace tw::forms
