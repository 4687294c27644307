#include "schedule/ScheduleItem.h"

#include <gtest/gtest.h>

namespace orvel {
namespace {

using Error = ScheduleItem::Error;
using Launch = ScheduleItem::Launch;

// One line as the list reads it: refused with its reason, or an item whose text is the line and
// whose launch (if any) comes at the given time.
struct LineCase {
    std::string line;
    Error error;
    Launch launch = Launch::None;
    std::string launchTime = "";
};

class ScheduleLine : public ::testing::TestWithParam<LineCase> {};

TEST_P(ScheduleLine, ReadsBackAsWrittenOrIsRefusedWithItsReason) {
    const LineCase& c = GetParam();
    const ScheduleItem::Result result = ScheduleItem::parse(c.line);
    ASSERT_EQ(result.error, c.error);
    if (c.error != Error::None) {
        return;
    }
    EXPECT_EQ(result.item->text(), c.line);
    EXPECT_EQ(ScheduleItem::formatClock(result.item->start()) + " - " +
                  ScheduleItem::formatClock(result.item->end()),
              c.line.substr(0, 19));
    EXPECT_EQ(result.item->launch(), c.launch);
    if (c.launch == Launch::Ready) {
        EXPECT_EQ(ScheduleItem::formatClock(result.item->launchTime()), c.launchTime);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ScheduleLine,
    ::testing::Values(
        LineCase{"00:00:00 - 23:59:59|Mon,Wed,Fri", Error::None},
        LineCase{"20:00:00 - 21:00:00|12/24/2006", Error::None},
        LineCase{"07:00:00 - 08:00:00||http://r.example/a.mp3|30", Error::None, Launch::Ready,
                 "06:59:30"},
        // Launches wrap to the day before, and the loading time is held to 0..100.
        LineCase{"00:00:10 - 00:05:00|Tue|http://r.example/live|30", Error::None, Launch::Ready,
                 "23:59:40"},
        LineCase{"07:00:00 - 08:00:00||u|999", Error::None, Launch::Ready, "06:58:20"},
        // A "|" in the URL: it cannot be told which URL was meant, so none is opened.
        LineCase{"07:00:00 - 08:00:00||http://a|b|30", Error::None, Launch::Malformed},
        // Beyond the capacity: the window stays, the URL is neither cut nor opened.
        LineCase{"07:00:00 - 08:00:00|Mon|http://r.example/" + std::string(500, 'u') + "|30",
                 Error::None, Launch::OverCapacity},
        LineCase{"8:00 - 9:00", Error::TimeRange}, LineCase{"10:00:00 - 99:00:00", Error::Hour},
        LineCase{"10:00:00 - 10:00:00", Error::StartNotEarlier},
        LineCase{"10:00:00 - 11:00:00|07/04/2006", Error::DayField},
        LineCase{"10:00:00 - 11:00:00|Monday", Error::DayField}));

// What the schedule window builds from its fields: a line the list reads with the same URL, or
// the message the window shows instead.
struct FieldsCase {
    ScheduleItem::Fields fields;
    std::string expected;
};

class ScheduleFields : public ::testing::TestWithParam<FieldsCase> {};

TEST_P(ScheduleFields, BuildALineTheListReadsTheSameOrAreRefused) {
    const ScheduleItem::Result built = ScheduleItem::build(GetParam().fields);
    if (!built.item) {
        EXPECT_EQ(ScheduleItem::message(built.error), GetParam().expected);
        return;
    }
    EXPECT_EQ(built.item->text(), GetParam().expected);
    EXPECT_EQ(ScheduleItem::parse(built.item->text()).item->launchUrl(), built.item->launchUrl());
}

ScheduleItem::Fields fields(int startHour, int endHour, std::string day = {}, std::string url = {},
                            std::string loading = {}) {
    return {startHour,         0, 0, endHour, 0, 0, std::move(day), true, std::move(url),
            std::move(loading)};
}

const std::string kSeparator =
    "The streaming URL and the loading time cannot contain \"|\" or a line break";

INSTANTIATE_TEST_SUITE_P(
    Fields, ScheduleFields,
    ::testing::Values(
        FieldsCase{fields(7, 8, "", "  http://r.example/a.mp3 ", " 30 "),
                   "07:00:00 - 08:00:00||http://r.example/a.mp3|30"},
        FieldsCase{fields(7, 8, ScheduleItem::weekdayField(0b0100010), "u"),
                   "07:00:00 - 08:00:00|Mon,Fri|u"},
        FieldsCase{fields(10, 10), "Start time should be earlier than the end time"},
        FieldsCase{fields(10, 99), "Invalid Hour Value"},
        FieldsCase{fields(7, 8, "", "http://a|b", "30"), kSeparator},
        FieldsCase{fields(7, 8, "", "http://a", "30\n08:00:00 - 23:00:00"), kSeparator},
        FieldsCase{fields(7, 8, "Sun,Sat", std::string(490, 'u'), "30"),
                   "The schedule item is too long: please shorten the streaming URL"}));

}  // namespace
}  // namespace orvel
