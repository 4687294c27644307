#pragma once

#include <cstdint>
#include <functional>

namespace orvel {

// The time a recording (or playback) has really run, for the recording display: pauses and, in
// signal mode, the waits for sound are not counted. The front face resets it at every start and
// ticks it every 100 ms; the recorded time is the accumulated time of the finished stretches
// plus the running stretch since its segment start.
//
// Time is kept in milliseconds and shown in whole seconds, so that many short pauses do not
// each lose the fraction of a second they interrupt.
//
// Thread contract: called on the GUI thread.
class RecordedTime {
public:
    // A monotonic clock in milliseconds; injectable for tests.
    using Clock = std::function<std::int64_t()>;

    explicit RecordedTime(Clock clock = {});

    // A recording or playback starts: nothing recorded yet, the first stretch starts now.
    void reset();
    // The pause button went down: the running stretch is added to the accumulated time.
    void pause();
    // The pause button was released: a new stretch starts now.
    void resume();

    // The 100 ms tick. While paused, or waiting for sound in signal mode, the time stands
    // still. Returns whether the recording display must be redrawn (it shows the bytes written
    // too, so every tick of a running recording redraws it).
    bool tick(bool paused, bool waitingForSignal);

    std::uint32_t seconds() const { return static_cast<std::uint32_t>(m_recordedMs / 1000); }
    std::int64_t milliseconds() const { return m_recordedMs; }

private:
    void hold(std::int64_t now);

    Clock m_clock;
    std::int64_t m_accumulatedMs = 0;
    std::int64_t m_segmentStart = 0;
    std::int64_t m_recordedMs = 0;
    bool m_held = false;  // the running stretch has been added to the accumulated time
};

}  // namespace orvel
