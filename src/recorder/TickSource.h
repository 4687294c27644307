#pragma once

#include <functional>

namespace orvel {

// The recorder's periodic ticks, started and stopped by the controller and delivered to one
// handler. Kept behind an interface so that tests drive the ticks themselves, one by one,
// between the events of the real engine.
//
// Thread contract: called on the GUI thread; the handler is called on it.
class TickSource {
public:
    enum class Tick {
        Clock1000,    // the clock display, every second
        Common100,    // the common part only, every 100 ms
        Display50,    // recorded time and the level display, every 50 ms
        Recording50,  // the recording tick: signal actions, schedule, seconds
        Timer1,       // playback position (50 ms), automatic line configuration (150 ms)
    };
    using Handler = std::function<void(Tick)>;

    virtual ~TickSource() = default;
    virtual void setHandler(Handler handler) = 0;
    // Starts the tick with the period (restarting it when it runs).
    virtual void start(Tick tick, int periodMs) = 0;
    virtual void stop(Tick tick) = 0;
    virtual bool active(Tick tick) const = 0;
};

}  // namespace orvel
