#pragma once

#include <QDate>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "schedule/ScheduleItem.h"
#include "schedule/ScheduleList.h"

namespace orvel {

// The schedule window's working copy of the schedule file. It holds every line of the file,
// the items and also the lines that are not items (a hand-edited file), in the byte order of
// their texts that the runtime list keeps too. A line that is not an item is shown and kept:
// selecting it loads nothing into the editors, and writing the list back keeps it as it was,
// so editing the schedule never loses a line the user wrote by hand. The runner skips it.
//
// The file is written only by save(), atomically: a failed save leaves the old file whole.
//
// Thread contract: GUI thread (or any single thread).
class ScheduleDraft {
public:
    struct Entry {
        std::string text;
        std::optional<ScheduleItem> item;                       // none: the line is not an item
        ScheduleItem::Error error = ScheduleItem::Error::None;  // why it is not
    };

    // What selecting an item loads into the window's editors.
    struct Editors {
        // Start hour, minute, second, end hour, minute, second: the two-digit groups of the
        // time range as they stand in the text.
        std::array<std::string, 6> times;
        std::string dayField;
        QDate date;             // valid when the day field is a date
        unsigned weekdays = 0;  // bit 0 Sunday .. bit 6 Saturday: the names the field holds
        bool hasUrl = false;    // the text has a URL field: the streaming box is switched on
        std::string url;
        std::string loadingTime;
    };

    // Replaces the draft with the file's lines; a missing or unreadable file gives none.
    ScheduleList::LoadReport load(const std::string& path);
    // The same from a file's contents.
    ScheduleList::LoadReport read(std::string_view contents);
    ScheduleList::SaveResult save(const std::string& path) const;
    std::string contents() const;

    const std::vector<Entry>& entries() const { return m_entries; }
    int size() const { return static_cast<int>(m_entries.size()); }
    const Entry& at(int position) const { return m_entries.at(std::size_t(position)); }

    // Sorts the item in (equal texts may stand twice); returns its position.
    int add(const ScheduleItem& item);
    // Replaces the entry at `position` by the item; returns the first position that holds
    // exactly the item's text (the one the window selects). An invalid position only adds.
    int change(int position, const ScheduleItem& item);
    // Removes the entry; returns the position to select now: the same one, or -1 when the last
    // entry was removed (or the position was invalid).
    int remove(int position);

    // The editors' contents for an entry; none for a line that is not an item.
    static std::optional<Editors> editorsOf(const Entry& entry);

private:
    void take(const ScheduleList& list, const ScheduleList::LoadReport& report);
    int insert(Entry entry);

    std::vector<Entry> m_entries;
};

}  // namespace orvel
