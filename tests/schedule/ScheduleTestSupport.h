#pragma once

#include <QDateTime>
#include <initializer_list>
#include <string>

#include "schedule/ScheduleList.h"

namespace orvel::test {

// A moment in July 2006 (the 3rd is a Monday), in UTC so that no daylight-saving change of the
// machine's zone moves the clock under a test.
inline QDateTime at(int day, int hour, int minute, int second, int ms = 0) {
    return QDateTime(QDate(2006, 7, day), QTime(hour, minute, second, ms), Qt::UTC);
}

inline ScheduleList listOf(std::initializer_list<std::string> lines) {
    ScheduleList list;
    for (const std::string& line : lines) {
        list.add(*ScheduleItem::parse(line).item);
    }
    return list;
}

}  // namespace orvel::test
