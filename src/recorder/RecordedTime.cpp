#include "recorder/RecordedTime.h"

#include <algorithm>
#include <chrono>

namespace orvel {

RecordedTime::RecordedTime(Clock clock) : m_clock(std::move(clock)) {
    if (!m_clock) {
        m_clock = [] {
            return std::chrono::duration_cast<std::chrono::milliseconds>(
                       std::chrono::steady_clock::now().time_since_epoch())
                .count();
        };
    }
    reset();
}

void RecordedTime::reset() {
    m_accumulatedMs = 0;
    m_recordedMs = 0;
    m_segmentStart = m_clock();
    m_held = false;
}

void RecordedTime::pause() {
    const std::int64_t now = m_clock();
    if (!m_held) {
        m_accumulatedMs += std::max<std::int64_t>(now - m_segmentStart, 0);
        m_recordedMs = m_accumulatedMs;
        m_held = true;
    }
    m_segmentStart = now;
}

void RecordedTime::resume() {
    m_segmentStart = m_clock();
    m_held = false;
}

bool RecordedTime::tick(bool paused, bool waitingForSignal) {
    const std::int64_t now = m_clock();
    if (paused || waitingForSignal) {
        hold(now);
        return false;
    }
    m_held = false;
    m_recordedMs = m_accumulatedMs + std::max<std::int64_t>(now - m_segmentStart, 0);
    return true;
}

void RecordedTime::hold(std::int64_t now) {
    // A tick notices a pause or a silence only after the fact: the time up to the last running
    // tick counts, the moments since do not.
    if (!m_held) {
        m_accumulatedMs = m_recordedMs;
        m_held = true;
    }
    // While held the segment start follows the clock, so that the next stretch is counted from
    // the moment the time runs again.
    m_segmentStart = now;
}

}  // namespace orvel
