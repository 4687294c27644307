#pragma once

#include <QDate>
#include <QTime>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace orvel {

// One line of the schedule: a daily time window, optionally limited to one date or to some
// weekdays, optionally with a streaming URL that a viewer is opened for a number of seconds
// before the window starts:
//
//   08:00:00 - 09:30:00                          every day
//   08:00:00 - 09:30:00|Mon,Wed,Fri              on those weekdays
//   20:00:00 - 21:00:00|12/24/2006               on that date (month/day/year, no leading zeros)
//   07:00:00 - 08:00:00||http://r.example/a.mp3|30   every day, viewer opened at 06:59:30
//
// The text is the item: it is kept byte for byte as it was read or built, so a list written back
// holds exactly what was read and an item is found again by its text. Only a line of the right
// shape becomes an item (hours 0..23, minutes and seconds 0..59, start earlier than end, a day
// field that is a date or weekday names); anything else is refused with the reason.
//
// Times are whole seconds of the day (0..86399). Weekday names are the fixed English ones,
// whatever the locale.
//
// Thread contract: a value type; any thread.
class ScheduleItem {
public:
    // Bytes of one line without its line end. One capacity for the schedule window (which
    // refuses longer items), the runtime list and the file, so that nothing is ever cut.
    static constexpr std::size_t kLineCapacity = 512;
    static constexpr int kSecondsPerDay = 24 * 60 * 60;
    // The loading time is held to this range where it is used (the text keeps what was typed).
    static constexpr int kMaxLoadingTime = 100;

    // Why a line or a set of fields does not make an item. The window shows message() for it.
    enum class Error {
        None,
        TimeRange,        // not "HH:MM:SS - HH:MM:SS" before the first "|"
        Hour,             // an hour outside 0..23
        Minute,           // a minute outside 0..59
        Second,           // a second outside 0..59
        StartNotEarlier,  // the start is not earlier than the end
        DayField,         // neither a date nor weekday names joined by ","
        Separator,        // "|", CR, LF or NUL in the URL or the loading time
        TooLong,          // the line would be longer than kLineCapacity
        LoadingTime,      // a loading time outside 0..100 (a field check; items keep any text)
    };

    // Whether the item gets a viewer launch.
    enum class Launch {
        None,          // no URL
        Ready,         // a launch at launchTime()
        OverCapacity,  // the line is longer than kLineCapacity: no launch, the URL is not cut
        Malformed,     // a "|" after the loading time, a CR or a NUL: the URL is not what the
                       // schedule window would have written
    };

    enum class TimeField { Hour, Minute, Second };

    // What the schedule window's editors hold when it builds an item.
    struct Fields {
        int startHour = 0;
        int startMinute = 0;
        int startSecond = 0;
        int endHour = 0;
        int endMinute = 0;
        int endSecond = 0;
        std::string dayField;  // as dateField() or weekdayField() made it; empty = every day
        bool streaming = false;
        std::string url;          // blanks at both ends are removed
        std::string loadingTime;  // blanks at both ends are removed; kept as typed
    };

    // The item, or why there is none (defined below the class, which it holds).
    struct Result;

    // Reads one line (without its line end).
    static Result parse(std::string_view line);
    // Builds the line the schedule window adds: time range, "|" and the day field when there is
    // one, then "|" (or "||" without a day field), the URL and "|" with the loading time when
    // those are given. The first failing check is reported, the times first.
    static Result build(const Fields& fields);

    // The check of one time field as the window makes it when the field is left.
    static Error checkTimeField(TimeField field, int value);
    static Error checkLoadingTime(int seconds);
    // The window's message for a refusal, and its title.
    static std::string_view message(Error error);
    static std::string_view messageTitle(Error error);

    // Day fields as the window forms them: "M/D/YYYY", and the names of the days in the mask
    // (bit 0 Sunday .. bit 6 Saturday) from Sunday on, joined by ",".
    static std::string dateField(QDate date);
    static std::string weekdayField(unsigned weekdayMask);

    // A relative time turned into a clock time: base's hours, minutes and seconds added with
    // carries, modulo 24 hours.
    static int toClock(int hms, int base);
    // "%02d:%02d:%02d".
    static std::string formatClock(int seconds);
    // The whole seconds of a clock time.
    static int secondOfDay(QTime time);

    const std::string& text() const { return m_text; }
    int start() const { return m_start; }
    int end() const { return m_end; }
    const std::string& dayField() const { return m_dayField; }
    // The URL field (after the second "|") and the loading-time field (after the third), as they
    // stand in the text.
    const std::string& url() const { return m_url; }
    const std::string& loadingTimeText() const { return m_loadingTime; }
    Launch launch() const { return m_launch; }
    bool hasLaunch() const { return m_launch == Launch::Ready; }
    // The URL the viewer is opened for: the field without blanks at its ends.
    std::string launchUrl() const;
    // The loading time's leading number held to 0..100.
    int loadingTime() const;
    // ((start - loading time) mod 86400 + 86400) mod 86400.
    int launchTime() const;

    // Whether the window takes part on that day: no day field, the date, or one of the weekdays.
    bool appliesOn(QDate day) const;
    // Whether start <= second < end.
    bool holds(int second) const { return m_start <= second && second < m_end; }
    // Whether a viewer launched for this item belongs open at that second: after the launch time
    // and before the end, counted around midnight (a launch at 23:59:40 for a window from
    // 00:00:10 holds at 23:59:50 and at 00:03:00).
    bool viewerHolds(int second) const;

    bool operator==(const ScheduleItem& other) const { return m_text == other.m_text; }

private:
    ScheduleItem() = default;

    std::string m_text;
    int m_start = 0;
    int m_end = 0;
    std::string m_dayField;
    QDate m_date;             // valid for a date day field
    unsigned m_weekdays = 0;  // bit 0 Sunday .. bit 6 Saturday, for a weekday day field
    std::string m_url;
    std::string m_loadingTime;
    Launch m_launch = Launch::None;
};

struct ScheduleItem::Result {
    std::optional<ScheduleItem> item;
    Error error = Error::None;
};

}  // namespace orvel
