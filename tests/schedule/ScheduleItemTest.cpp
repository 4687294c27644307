#include "schedule/ScheduleItem.h"

#include <gtest/gtest.h>

namespace orvel {
namespace {

using Error = ScheduleItem::Error;
using Launch = ScheduleItem::Launch;

// One line as the list reads it: refused with a reason, or an item whose parts are these and
// whose text is the line itself.
struct LineCase {
    std::string line;
    Error error;
    Launch launch = Launch::None;
    std::string launchTime = "";  // "HH:MM:SS" when the item gets a launch
};

class ScheduleLine : public ::testing::TestWithParam<LineCase> {};

TEST_P(ScheduleLine, ReadsBackAsWrittenOrIsRefusedWithItsReason) {
    const LineCase& c = GetParam();
    const ScheduleItem::Result result = ScheduleItem::parse(c.line);
    ASSERT_EQ(result.error, c.error);
    ASSERT_EQ(result.item.has_value(), c.error == Error::None);
    if (!result.item) {
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

const std::string kLongUrl = "http://radio.example/" + std::string(500, 'u') + ".mp3";

INSTANTIATE_TEST_SUITE_P(
    Lines, ScheduleLine,
    ::testing::Values(
        LineCase{"08:00:00 - 09:30:00", Error::None},
        LineCase{"00:00:00 - 23:59:59|Mon,Wed,Fri", Error::None},
        LineCase{"20:00:00 - 21:00:00|12/24/2006", Error::None},
        LineCase{"07:00:00 - 08:00:00||http://r.example/a.mp3|30", Error::None, Launch::Ready,
                 "06:59:30"},
        // The launch time wraps to the day before, and the loading time is held to 0..100.
        LineCase{"00:00:10 - 00:05:00|Tue|http://r.example/live|30", Error::None, Launch::Ready,
                 "23:59:40"},
        LineCase{"07:00:00 - 08:00:00||u|999", Error::None, Launch::Ready, "06:58:20"},
        LineCase{"07:00:00 - 08:00:00||u|-200000", Error::None, Launch::Ready, "07:00:00"},
        LineCase{"07:00:00 - 08:00:00||u", Error::None, Launch::Ready, "07:00:00"},
        LineCase{"07:00:00 - 08:00:00|Sat|  ", Error::None, Launch::None},
        // A "|" in the URL (written before the window refused it): the URL cannot be told.
        LineCase{"07:00:00 - 08:00:00||http://a|b|30", Error::None, Launch::Malformed},
        // Longer than the capacity: the window stays, the URL is neither cut nor opened.
        LineCase{"07:00:00 - 08:00:00|Mon|" + kLongUrl + "|30", Error::None, Launch::OverCapacity},
        LineCase{"8:00 - 9:00", Error::TimeRange}, LineCase{"", Error::TimeRange},
        LineCase{"08:00:00 - 09:00:00 ", Error::TimeRange},
        LineCase{"08:00:00-09:00:00", Error::TimeRange},
        LineCase{"10:00:00 - 99:00:00", Error::Hour},
        LineCase{"10:00:00 - 10:60:00", Error::Minute},
        LineCase{"10:00:60 - 11:00:00", Error::Second},
        LineCase{"10:00:00 - 10:00:00", Error::StartNotEarlier},
        LineCase{"11:00:00 - 10:00:00", Error::StartNotEarlier},
        LineCase{"10:00:00 - 11:00:00|07/04/2006", Error::DayField},
        LineCase{"10:00:00 - 11:00:00|2/30/2006", Error::DayField},
        LineCase{"10:00:00 - 11:00:00|7/4/06", Error::DayField},
        LineCase{"10:00:00 - 11:00:00|Monday", Error::DayField},
        LineCase{"10:00:00 - 11:00:00|Mon,,Tue", Error::DayField}));

// What the schedule window builds from its fields, or the message it shows instead.
struct FieldsCase {
    ScheduleItem::Fields fields;
    std::string expected;  // the line, or the message
};

class ScheduleFields : public ::testing::TestWithParam<FieldsCase> {};

TEST_P(ScheduleFields, BuildALineTheListReadsAsTheSameItem) {
    const FieldsCase& c = GetParam();
    const ScheduleItem::Result built = ScheduleItem::build(c.fields);
    if (!built.item) {
        EXPECT_EQ(ScheduleItem::message(built.error), c.expected);
        return;
    }
    EXPECT_EQ(built.item->text(), c.expected);
    const ScheduleItem::Result read = ScheduleItem::parse(built.item->text());
    ASSERT_TRUE(read.item);
    EXPECT_EQ(read.item->launchUrl(), built.item->launchUrl());
}

ScheduleItem::Fields fields(int sh, int sm, int ss, int eh, int em, int es, std::string day = {},
                            std::string url = {}, std::string loading = {}) {
    return {
        sh, sm, ss, eh, em, es, std::move(day), !url.empty(), std::move(url), std::move(loading)};
}

INSTANTIATE_TEST_SUITE_P(
    Fields, ScheduleFields,
    ::testing::Values(
        FieldsCase{fields(9, 59, 59, 10, 0, 0), "09:59:59 - 10:00:00"},
        FieldsCase{fields(7, 0, 0, 8, 0, 0, "", "  http://r.example/a.mp3 ", " 30 "),
                   "07:00:00 - 08:00:00||http://r.example/a.mp3|30"},
        FieldsCase{fields(7, 0, 0, 8, 0, 0, ScheduleItem::weekdayField(0b0100010), "u", ""),
                   "07:00:00 - 08:00:00|Mon,Fri|u"},
        FieldsCase{fields(7, 0, 0, 8, 0, 0, ScheduleItem::dateField(QDate(2006, 7, 4))),
                   "07:00:00 - 08:00:00|7/4/2006"},
        FieldsCase{fields(10, 0, 0, 10, 0, 0), "Start time should be earlier than the end time"},
        FieldsCase{fields(10, 0, 0, 99, 0, 0), "Invalid Hour Value"},
        FieldsCase{fields(10, -1, 0, 11, 0, 0), "Invalid Minute Value"},
        FieldsCase{fields(10, 0, 0, 11, 0, 60), "Invalid Second Value"},
        FieldsCase{fields(7, 0, 0, 8, 0, 0, "", "http://a|b", "30"),
                   "The streaming URL and the loading time cannot contain \"|\" or a line break"},
        FieldsCase{fields(7, 0, 0, 8, 0, 0, "", "http://a", "30\n08:00:00 - 23:00:00"),
                   "The streaming URL and the loading time cannot contain \"|\" or a line break"},
        FieldsCase{fields(7, 0, 0, 8, 0, 0, "Sun,Sat", std::string(490, 'u'), "30"),
                   "The schedule item is too long: please shorten the streaming URL"}));

TEST(ScheduleTimes, RelativeTimesCarryIntoTheNextFieldAndWrapAtMidnight) {
    const auto clock = [](int h, int m, int s) { return h * 3600 + m * 60 + s; };
    EXPECT_EQ(ScheduleItem::formatClock(ScheduleItem::toClock(clock(0, 0, 45), clock(10, 59, 30))),
              "11:00:15");
    EXPECT_EQ(ScheduleItem::formatClock(ScheduleItem::toClock(clock(1, 10, 0), clock(23, 30, 0))),
              "00:40:00");
    EXPECT_EQ(ScheduleItem::weekdayName(QDate(2006, 7, 2)), "Sun");
}

}  // namespace
}  // namespace orvel
