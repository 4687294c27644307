#include "schedule/TimeBase.h"

#include "schedule/ScheduleItem.h"

namespace orvel {

int TimeBase::position(const QDateTime& now) const {
    // Wall-clock time of day: a daylight-saving change moves the schedule with the clock.
    const int second = ScheduleItem::secondOfDay(now.time());
    return m_relative ? ScheduleItem::toClock(second, -ScheduleItem::secondOfDay(m_base)) : second;
}

int TimeBase::toClock(int frameSeconds) const {
    return m_relative ? ScheduleItem::toClock(frameSeconds, ScheduleItem::secondOfDay(m_base))
                      : frameSeconds;
}

}  // namespace orvel
