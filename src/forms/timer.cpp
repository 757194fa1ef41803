#include "forms/timer.h"

#include <QTimer>

namespace tw::forms {

Timer::Timer(Container& /*owner*/, std::string name)
    : m_name(std::move(name)), m_timer(std::make_unique<QTimer>()) {
    QObject::connect(m_timer.get(), &QTimer::timeout, m_timer.get(), [this] { tick(); });
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
    m_timer->stop();
    if (m_enabled && m_interval > 0) m_timer->start(m_interval);
}

void Timer::tick() {
    const auto handler = onTimer;
    if (handler) handler();
}

}  // namespace tw::forms
