#include "archive/HistoryTree.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <array>

#include "archive/RecordingLog.h"

namespace orvel {

namespace {

constexpr std::array<std::string_view, 12> kMonthNames = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};
constexpr std::string_view kDayFileSuffix = ".txt";

bool allDigits(std::string_view s) {
    return !s.empty() &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int number(std::string_view digits) {
    int value = 0;
    for (const char c : digits) {
        value = value * 10 + (c - '0');
        if (value > 1000000) {
            return value;  // far beyond any year; keeps long names from overflowing
        }
    }
    return value;
}

std::string toStd(const QString& s) {
    return QFile::encodeName(s).toStdString();
}

}  // namespace

std::optional<HistoryTree::DayName> HistoryTree::parseDayFileName(std::string_view name) {
    if (name.size() != 8 + kDayFileSuffix.size() || name.substr(8) != kDayFileSuffix ||
        !allDigits(name.substr(0, 8))) {
        return std::nullopt;
    }
    const DayName day{number(name.substr(0, 4)), number(name.substr(4, 2)),
                      number(name.substr(6, 2))};
    if (day.month < 1 || day.month > 12 || day.day < 1 || day.day > 31) {
        return std::nullopt;
    }
    return day;
}

std::string_view HistoryTree::monthName(int month) {
    return month >= 1 && month <= 12 ? kMonthNames[std::size_t(month - 1)] : std::string_view();
}

std::vector<HistoryTree::Year> HistoryTree::scan(const std::string& logFolder) {
    std::vector<Year> years;
    const QDir log(QFile::decodeName(QByteArray::fromStdString(logFolder)));
    for (const QFileInfo& folder : log.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const std::string label = toStd(folder.fileName());
        const int year = allDigits(label) ? number(label) : 0;
        if (year < kFirstYear || year > kLastYear) {
            continue;
        }
        Year entry{year, label, {}};
        const QDir days(folder.filePath());
        for (const QFileInfo& file : days.entryInfoList(QDir::Files)) {
            const std::string name = toStd(file.fileName());
            const std::optional<DayName> date = parseDayFileName(name);
            if (!date) {
                continue;
            }
            auto month = std::find_if(entry.months.begin(), entry.months.end(),
                                      [&](const Month& m) { return m.month == date->month; });
            if (month == entry.months.end()) {
                entry.months.push_back({date->month, monthName(date->month), {}});
                month = entry.months.end() - 1;
            }
            // As the name spells them: month, day, year.
            month->days.push_back(
                {*date, name.substr(4, 2) + "/" + name.substr(6, 2) + "/" + name.substr(0, 4),
                 toStd(file.filePath())});
        }
        std::sort(entry.months.begin(), entry.months.end(),
                  [](const Month& a, const Month& b) { return a.month > b.month; });
        for (Month& month : entry.months) {
            std::sort(month.days.begin(), month.days.end(), [](const Day& a, const Day& b) {
                return a.date.year != b.date.year ? a.date.year > b.date.year
                                                  : a.date.day > b.date.day;
            });
        }
        years.push_back(std::move(entry));
    }
    std::sort(years.begin(), years.end(), [](const Year& a, const Year& b) {
        return a.year != b.year ? a.year > b.year : a.label > b.label;
    });
    return years;
}

std::vector<LogRecord> HistoryTree::dayRecords(const std::string& path) {
    std::vector<LogRecord> records = RecordingLog::readDay(path);
    std::reverse(records.begin(), records.end());
    if (records.size() > std::size_t(kMaxRows)) {
        records.resize(std::size_t(kMaxRows));
    }
    return records;
}

HistoryTree::PathParts HistoryTree::splitPath(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string_view::npos) {
        return {{}, std::string(path)};
    }
    return {std::string(path.substr(0, slash + 1)), std::string(path.substr(slash + 1))};
}

}  // namespace orvel
