#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "schedule/ScheduleItem.h"

namespace orvel {

// The schedule: its items in byte order of their texts (so by start time, then end time, then
// the rest of the line), kept in "TimeSchedule.txt" in the installation folder, one item per
// line. The runtime list and the schedule window both keep it through this class, so that they
// agree on order and on what a line may hold.
//
// Reading is defensive: LF ends a line and the CRs before it are dropped (files written with CR
// LF read the same), a last line without a line end counts, a blank line is passed over, and a
// line that is not an item is skipped with a warning (the first kWarnedLines of them, the rest
// counted in one). A line longer than the capacity keeps its time range and day field but gets
// no launch (a warning says so); its text is never cut, so writing the list back loses nothing.
// Writing is atomic and uses LF line ends.
//
// Loading sorts once after reading, with the order and ties of adding the items one by one:
// sorting each line in as it is read costs time quadratic in the lines, seconds for a file of
// 1 MiB in falling order.
//
// Thread contract: called on the GUI thread (or any single thread).
class ScheduleList {
public:
    static constexpr std::string_view kFileName = "TimeSchedule.txt";
    // A schedule file larger than this is not a schedule; only this much of it is read.
    static constexpr std::size_t kMaxFileBytes = 1 << 20;
    // Lines told one by one on the log when they are skipped or keep no URL; the rest counted.
    static constexpr int kWarnedLines = 20;

    struct LoadReport {
        bool read = false;      // the file was there and could be read
        int skipped = 0;        // lines that are not items
        int withoutLaunch = 0;  // items whose URL is refused (too long or malformed)
        bool cutShort = false;  // the file was larger than kMaxFileBytes
        // The texts of the lines that are not items, in file order: the schedule window shows
        // them and writes them back, so a hand-edited line is never lost by editing the list.
        std::vector<std::string> skippedLines;
    };

    struct SaveResult {
        bool ok = false;
        std::string error;  // what went wrong, for the user
    };

    // The schedule file in an installation folder (no trailing "/", as the settings give it).
    static std::string pathIn(const std::string& installFolder);
    // The order of the list: byte order of the texts.
    static bool before(const ScheduleItem& a, const ScheduleItem& b);

    // Replaces the list with the file's items. A missing or unreadable file leaves it empty.
    LoadReport load(const std::string& path);
    // Replaces the list with the items of a file's contents.
    LoadReport read(std::string_view contents);
    // Writes the list, one text and LF per item, replacing the file only once it is complete.
    SaveResult save(const std::string& path) const;
    std::string contents() const;
    // Replaces the file with these bytes atomically: the old file stays until the new one is
    // complete.
    static SaveResult write(const std::string& path, std::string_view bytes);

    const std::vector<ScheduleItem>& items() const { return m_items; }
    bool empty() const { return m_items.empty(); }
    int size() const { return static_cast<int>(m_items.size()); }
    const ScheduleItem& at(int position) const { return m_items.at(std::size_t(position)); }

    // Sorts the item in; equal texts may stand twice. Returns its position.
    int add(ScheduleItem item);
    // The first position holding exactly this text, or -1.
    int indexOf(std::string_view text) const;

private:
    std::vector<ScheduleItem> m_items;
};

}  // namespace orvel
