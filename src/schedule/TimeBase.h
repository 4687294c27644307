#pragma once

#include <QDateTime>
#include <QTime>

namespace orvel {

// How the schedule reads its times: as clock times, or as offsets from the moment schedule
// mode was switched on (the relative base).
//
// Windows are compared in the schedule's own frame: the second of the day when absolute, the
// time since the base modulo 24 hours when relative. So a relative window keeps its length and
// order even when base + offset runs past midnight ("01:00:00 - 01:10:00" armed at 23:30:00
// records from 00:30:00 to 00:40:00; "00:00:00 - 01:00:00" armed then records the first hour).
// Times are converted to clock times only to be shown.
//
// Thread contract: a value type; any thread.
class TimeBase {
public:
    TimeBase() = default;
    TimeBase(bool relative, QTime base) : m_relative(relative), m_base(base) {}

    bool relative() const { return m_relative; }
    QTime base() const { return m_base; }

    // The clock's place in the schedule's frame, in whole seconds 0..86399.
    int position(const QDateTime& now) const;
    // A time of the frame as a clock time (unchanged when absolute).
    int toClock(int frameSeconds) const;

private:
    bool m_relative = false;
    QTime m_base{0, 0};
};

}  // namespace orvel
