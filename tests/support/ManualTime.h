#pragma once

#include <QDateTime>
#include <algorithm>
#include <cstdint>
#include <map>
#include <utility>

#include "recorder/RecorderClock.h"
#include "recorder/TickSource.h"

// The recorder's time in the test's hands: its clock, and its ticks delivered one by one.
namespace orvel::test {

// A clock the test sets.
class ManualClock : public RecorderClock {
public:
    explicit ManualClock(QDateTime start) : m_now(std::move(start)) {}
    QDateTime now() const override { return m_now; }
    std::int64_t steadyMs() const override { return m_steadyMs; }
    // Steady time moves with the wall time unless the wall time jumps back.
    void set(const QDateTime& when) {
        m_steadyMs += std::max<std::int64_t>(m_now.msecsTo(when), 0);
        m_now = when;
    }

private:
    QDateTime m_now;
    std::int64_t m_steadyMs = 1000000;
};

// Ticks the test delivers itself.
class ManualTicks : public TickSource {
public:
    void setHandler(Handler handler) override { m_handler = std::move(handler); }
    void start(Tick tick, int) override { m_active[tick] = true; }
    void stop(Tick tick) override { m_active[tick] = false; }
    bool active(Tick tick) const override {
        const auto it = m_active.find(tick);
        return it != m_active.end() && it->second;
    }
    // Delivers the tick when it is running.
    void fire(Tick tick) {
        if (active(tick) && m_handler) {
            m_handler(tick);
        }
    }

private:
    Handler m_handler;
    std::map<Tick, bool> m_active;
};

}  // namespace orvel::test
