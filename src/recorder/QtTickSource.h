#pragma once

#include <QTimer>
#include <array>

#include "recorder/TickSource.h"

namespace orvel {

// The ticks as precise Qt timers on the GUI thread: a tick never runs while a command runs, and
// a command never runs inside a tick.
//
// Thread contract: created and used on the GUI thread.
class QtTickSource : public TickSource {
public:
    QtTickSource();

    void setHandler(Handler handler) override { m_handler = std::move(handler); }
    void start(Tick tick, int periodMs) override;
    void stop(Tick tick) override;
    bool active(Tick tick) const override;

private:
    static constexpr std::size_t kTicks = 5;
    std::array<QTimer, kTicks> m_timers;
    Handler m_handler;
};

}  // namespace orvel
