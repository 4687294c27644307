#include "recorder/RestartTimer.h"

#include <algorithm>

namespace orvel {

RestartTimer::RestartTimer(PreviousComplete previousComplete, Fire fire, QObject* parent)
    : QObject(parent), m_previousComplete(std::move(previousComplete)), m_fire(std::move(fire)) {
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &RestartTimer::delayPassed);
}

void RestartTimer::request(Kind kind, int delayMs) {
    m_kinds |= kind;
    m_delayOver = false;
    m_timer.start(std::max(delayMs, m_timer.isActive() ? m_timer.remainingTime() : 0));
}

void RestartTimer::cancel() {
    m_kinds = 0;
    m_delayOver = false;
    m_timer.stop();
}

void RestartTimer::previousCompleted() {
    if (m_kinds != 0 && m_delayOver) {
        fire();
    }
}

void RestartTimer::delayPassed() {
    m_delayOver = true;
    if (m_kinds != 0 && m_previousComplete()) {
        fire();
    }
}

void RestartTimer::fire() {
    const unsigned kinds = m_kinds;
    cancel();
    m_fire(kinds);
}

}  // namespace orvel
