#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "archive/LogRecord.h"

namespace orvel {

// The days the recording log holds, by year and month, as the history panel's tree lists them,
// and the recordings of one day as its track list shows them.
//
// The log folder holds one folder per year (a plain decimal name from 2001 to 2049) and in it
// one file per day named YYYYMMDD.txt: eight digits with a month from 1 to 12 and a day from 1
// to 31, then ".txt". Anything else in either place (notes, backups, a "20061399.txt") is
// passed over. A day keeps the path of its own file, so it is read from where it was found.
// Years, months and days stand newest first.
//
// Thread contract: stateless, any thread.
class HistoryTree {
public:
    static constexpr int kFirstYear = 2001;
    static constexpr int kLastYear = 2049;
    // The track list's capacity: a day shows at most this many recordings, the newest.
    static constexpr int kMaxRows = 100;

    struct DayName {
        int year = 0;
        int month = 0;
        int day = 0;
    };

    struct Day {
        DayName date;
        std::string label;  // "MM/DD/YYYY" as the file name spells it, e.g. "12/06/2006"
        std::string path;
    };

    struct Month {
        int month = 0;
        std::string_view name;  // "January" .. "December"
        std::vector<Day> days;  // newest first
    };

    struct Year {
        int year = 0;
        std::string label;          // the folder's name
        std::vector<Month> months;  // newest first; empty for a folder without day files
    };

    // The date of a day file's name, or none when the name is not one.
    static std::optional<DayName> parseDayFileName(std::string_view name);
    static std::string_view monthName(int month);

    // The years of a log folder, newest first; none when the folder is missing.
    static std::vector<Year> scan(const std::string& logFolder);

    // The recordings of a day's file, newest first (the last line of the file first), at most
    // kMaxRows of them; none when the file cannot be read.
    static std::vector<LogRecord> dayRecords(const std::string& path);

    // A path split after its last "/": the folder (ending in "/", empty without one) and the
    // file name, whole (a picked file's row must join back to the same path).
    struct PathParts {
        std::string folder;
        std::string name;
    };
    static PathParts splitPath(std::string_view path);
};

}  // namespace orvel
