#include "schedule/ScheduleItem.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "config/Product.h"
#include "config/Text.h"

namespace orvel {

namespace {

constexpr std::array<std::string_view, 7> kWeekdayNames = {"Sun", "Mon", "Tue", "Wed",
                                                           "Thu", "Fri", "Sat"};
constexpr std::string_view kBadCharacters("|\r\n\0", 4);

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

int twoDigits(std::string_view s, std::size_t at) {
    return (s[at] - '0') * 10 + (s[at + 1] - '0');
}

// A decimal number without sign or leading zero, of at most maxDigits digits; -1 otherwise.
int plainNumber(std::string_view s, std::size_t maxDigits) {
    if (s.empty() || s.size() > maxDigits || s.front() == '0') {
        return -1;
    }
    int value = 0;
    for (const char c : s) {
        if (!isDigit(c)) {
            return -1;
        }
        value = value * 10 + (c - '0');
    }
    return value;
}

// "M/D/YYYY" naming a real date; an invalid QDate otherwise.
QDate parseDate(std::string_view s) {
    const std::size_t first = s.find('/');
    const std::size_t second = first == std::string_view::npos ? first : s.find('/', first + 1);
    if (second == std::string_view::npos) {
        return {};
    }
    const int month = plainNumber(s.substr(0, first), 2);
    const int day = plainNumber(s.substr(first + 1, second - first - 1), 2);
    const std::string_view yearText = s.substr(second + 1);
    const int year = yearText.size() == 4 ? plainNumber(yearText, 4) : -1;
    if (month < 0 || day < 0 || year < 0) {
        return {};
    }
    return QDate(year, month, day);
}

// Weekday names joined by ","; 0 when any part is not one.
unsigned parseWeekdays(std::string_view s) {
    unsigned mask = 0;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = s.find(',', start);
        const std::string_view name = s.substr(start, comma - start);
        const auto found = std::find(kWeekdayNames.begin(), kWeekdayNames.end(), name);
        if (found == kWeekdayNames.end()) {
            return 0;
        }
        mask |= 1u << (found - kWeekdayNames.begin());
        if (comma == std::string_view::npos) {
            return mask;
        }
        start = comma + 1;
    }
}

// An empty day field, a date or weekday names.
bool parseDay(std::string_view day, QDate& date, unsigned& weekdays) {
    if (day.empty()) {
        return true;
    }
    if (day.find('/') != std::string_view::npos) {
        date = parseDate(day);
        return date.isValid();
    }
    weekdays = parseWeekdays(day);
    return weekdays != 0;
}

// The first field of start and end (hours, minutes, seconds each) out of its range.
ScheduleItem::Error checkTimes(const int (&fields)[6]) {
    using Field = ScheduleItem::TimeField;
    constexpr Field kFields[6] = {Field::Hour, Field::Minute, Field::Second,
                                  Field::Hour, Field::Minute, Field::Second};
    for (int i = 0; i < 6; ++i) {
        if (const auto error = ScheduleItem::checkTimeField(kFields[i], fields[i]);
            error != ScheduleItem::Error::None) {
            return error;
        }
    }
    return ScheduleItem::Error::None;
}

}  // namespace

ScheduleItem::Result ScheduleItem::parse(std::string_view line) {
    if (line.find('\n') != std::string_view::npos) {
        return {std::nullopt, Error::Separator};  // it would be two lines in the file
    }
    const std::size_t bar = line.find('|');
    const std::string_view range = line.substr(0, bar);
    if (range.size() != 19 || range[2] != ':' || range[5] != ':' || range.substr(8, 3) != " - " ||
        range[13] != ':' || range[16] != ':') {
        return {std::nullopt, Error::TimeRange};
    }
    for (const std::size_t at : {0, 3, 6, 11, 14, 17}) {
        if (!isDigit(range[at]) || !isDigit(range[at + 1])) {
            return {std::nullopt, Error::TimeRange};
        }
    }
    const int fields[6] = {twoDigits(range, 0),  twoDigits(range, 3),  twoDigits(range, 6),
                           twoDigits(range, 11), twoDigits(range, 14), twoDigits(range, 17)};
    if (const Error error = checkTimes(fields); error != Error::None) {
        return {std::nullopt, error};
    }
    ScheduleItem item;
    item.m_start = fields[0] * 3600 + fields[1] * 60 + fields[2];
    item.m_end = fields[3] * 3600 + fields[4] * 60 + fields[5];
    if (item.m_start >= item.m_end) {
        return {std::nullopt, Error::StartNotEarlier};
    }
    item.m_text = std::string(line);
    if (bar == std::string_view::npos) {
        return {std::move(item), Error::None};
    }

    const std::string_view rest = line.substr(bar + 1);
    const std::size_t dayEnd = rest.find('|');
    const std::string_view day = rest.substr(0, dayEnd);
    if (!parseDay(day, item.m_date, item.m_weekdays)) {
        return {std::nullopt, Error::DayField};
    }
    item.m_dayField = std::string(day);
    if (dayEnd == std::string_view::npos) {
        return {std::move(item), Error::None};
    }

    const std::string_view launch = rest.substr(dayEnd + 1);
    const std::size_t urlEnd = launch.find('|');
    item.m_url = std::string(launch.substr(0, urlEnd));
    if (urlEnd != std::string_view::npos) {
        item.m_loadingTime = std::string(launch.substr(urlEnd + 1));
    }
    if (text::trimBlanks(item.m_url).empty()) {
        item.m_launch = Launch::None;
    } else if (line.size() > kLineCapacity) {
        item.m_launch = Launch::OverCapacity;
    } else if (item.m_url.find_first_of(kBadCharacters) != std::string::npos ||
               item.m_loadingTime.find_first_of(kBadCharacters) != std::string::npos) {
        item.m_launch = Launch::Malformed;
    } else {
        item.m_launch = Launch::Ready;
    }
    return {std::move(item), Error::None};
}

ScheduleItem::Result ScheduleItem::build(const Fields& f) {
    const int fields[6] = {f.startHour, f.startMinute, f.startSecond,
                           f.endHour,   f.endMinute,   f.endSecond};
    if (const Error error = checkTimes(fields); error != Error::None) {
        return {std::nullopt, error};
    }
    const int start = f.startHour * 3600 + f.startMinute * 60 + f.startSecond;
    const int end = f.endHour * 3600 + f.endMinute * 60 + f.endSecond;
    if (start >= end) {
        return {std::nullopt, Error::StartNotEarlier};
    }
    QDate date;
    unsigned weekdays = 0;
    if (!parseDay(f.dayField, date, weekdays)) {
        return {std::nullopt, Error::DayField};
    }
    std::string line = formatClock(start) + " - " + formatClock(end);
    if (!f.dayField.empty()) {
        line += '|';
        line += f.dayField;
    }
    if (f.streaming) {
        const std::string_view url = text::trimBlanks(f.url);
        const std::string_view loading = text::trimBlanks(f.loadingTime);
        if (!url.empty()) {
            if (url.find_first_of(kBadCharacters) != std::string_view::npos ||
                loading.find_first_of(kBadCharacters) != std::string_view::npos) {
                return {std::nullopt, Error::Separator};
            }
            line += f.dayField.empty() ? "||" : "|";
            line += url;
            if (!loading.empty()) {
                line += '|';
                line += loading;
            }
        }
    }
    if (line.size() > kLineCapacity) {
        return {std::nullopt, Error::TooLong};
    }
    return parse(line);
}

ScheduleItem::Error ScheduleItem::checkTimeField(TimeField field, int value) {
    switch (field) {
        case TimeField::Hour:
            return value >= 0 && value <= 23 ? Error::None : Error::Hour;
        case TimeField::Minute:
            return value >= 0 && value <= 59 ? Error::None : Error::Minute;
        case TimeField::Second:
            return value >= 0 && value <= 59 ? Error::None : Error::Second;
    }
    return Error::None;
}

ScheduleItem::Error ScheduleItem::checkLoadingTime(int seconds) {
    return seconds >= 0 && seconds <= kMaxLoadingTime ? Error::None : Error::LoadingTime;
}

std::string_view ScheduleItem::message(Error error) {
    switch (error) {
        case Error::None:
            return {};
        case Error::TimeRange:
            return "The time range is not of the form HH:MM:SS - HH:MM:SS";
        case Error::Hour:
            return "Invalid Hour Value";
        case Error::Minute:
            return "Invalid Minute Value";
        case Error::Second:
            return "Invalid Second Value";
        case Error::StartNotEarlier:
            return "Start time should be earlier than the end time";
        case Error::DayField:
            return "The day is neither a date nor a list of weekdays";
        case Error::Separator:
            return "The streaming URL and the loading time cannot contain \"|\" or a line break";
        case Error::TooLong:
            return "The schedule item is too long: please shorten the streaming URL";
        case Error::LoadingTime:
            return "Please input loading time between 0 - 100 seconds";
    }
    return {};
}

std::string_view ScheduleItem::messageTitle(Error error) {
    return error == Error::StartNotEarlier ? std::string_view("Please set correct time")
                                           : std::string_view(product::kName);
}

std::string ScheduleItem::dateField(QDate date) {
    return std::to_string(date.month()) + "/" + std::to_string(date.day()) + "/" +
           std::to_string(date.year());
}

std::string ScheduleItem::weekdayField(unsigned weekdayMask) {
    std::string field;
    for (std::size_t day = 0; day < kWeekdayNames.size(); ++day) {
        if (weekdayMask & (1u << day)) {
            if (!field.empty()) {
                field += ',';
            }
            field += kWeekdayNames[day];
        }
    }
    return field;
}

int ScheduleItem::toClock(int hms, int base) {
    return ((hms + base) % kSecondsPerDay + kSecondsPerDay) % kSecondsPerDay;
}

std::string ScheduleItem::formatClock(int seconds) {
    seconds = toClock(seconds, 0);
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d", seconds / 3600, seconds / 60 % 60,
                  seconds % 60);
    return buffer;
}

int ScheduleItem::secondOfDay(QTime time) {
    return time.isValid() ? time.msecsSinceStartOfDay() / 1000 : 0;
}

std::string ScheduleItem::launchUrl() const {
    return std::string(text::trimBlanks(m_url));
}

int ScheduleItem::loadingTime() const {
    return std::clamp(text::leadingNumber(m_loadingTime), 0, kMaxLoadingTime);
}

int ScheduleItem::launchTime() const {
    return toClock(m_start, -loadingTime());
}

bool ScheduleItem::appliesOn(QDate day) const {
    if (m_dayField.empty()) {
        return true;
    }
    if (m_date.isValid()) {
        return day == m_date;
    }
    return day.isValid() && (m_weekdays & (1u << (day.dayOfWeek() % 7))) != 0;
}

bool ScheduleItem::viewerHolds(int second) const {
    // The viewer is started once the clock is later than the launch time.
    const int opened = launchTime() + 1;
    return toClock(second, -opened) < toClock(m_end, -opened);
}

}  // namespace orvel
