#include "recorder/QtTickSource.h"

namespace orvel {

QtTickSource::QtTickSource() {
    for (std::size_t i = 0; i < kTicks; ++i) {
        m_timers[i].setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timers[i], &QTimer::timeout, [this, i] {
            if (m_handler) {
                m_handler(static_cast<Tick>(i));
            }
        });
    }
}

void QtTickSource::start(Tick tick, int periodMs) {
    m_timers[static_cast<std::size_t>(tick)].start(periodMs);
}

void QtTickSource::stop(Tick tick) {
    m_timers[static_cast<std::size_t>(tick)].stop();
}

bool QtTickSource::active(Tick tick) const {
    return m_timers[static_cast<std::size_t>(tick)].isActive();
}

}  // namespace orvel
