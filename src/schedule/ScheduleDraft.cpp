#include "schedule/ScheduleDraft.h"

#include <algorithm>

namespace orvel {

namespace {

constexpr std::array<std::string_view, 7> kWeekdayNames = {"Sun", "Mon", "Tue", "Wed",
                                                           "Thu", "Fri", "Sat"};

bool before(const ScheduleDraft::Entry& a, const ScheduleDraft::Entry& b) {
    return a.text < b.text;
}

}  // namespace

ScheduleList::LoadReport ScheduleDraft::load(const std::string& path) {
    ScheduleList list;
    ScheduleList::LoadReport report = list.load(path);
    take(list, report);
    return report;
}

ScheduleList::LoadReport ScheduleDraft::read(std::string_view contents) {
    ScheduleList list;
    ScheduleList::LoadReport report = list.read(contents);
    take(list, report);
    return report;
}

void ScheduleDraft::take(const ScheduleList& list, const ScheduleList::LoadReport& report) {
    m_entries.clear();
    m_entries.reserve(list.items().size() + report.skippedLines.size());
    for (const ScheduleItem& item : list.items()) {
        m_entries.push_back({item.text(), item, ScheduleItem::Error::None});
    }
    for (const std::string& line : report.skippedLines) {
        m_entries.push_back({line, std::nullopt, ScheduleItem::parse(line).error});
    }
    // One sort gives the order of inserting them one by one (items first, then the other lines
    // in file order, each after its equals), without the time that grows with the square of a
    // large file's lines.
    std::stable_sort(m_entries.begin(), m_entries.end(), &before);
}

ScheduleList::SaveResult ScheduleDraft::save(const std::string& path) const {
    return ScheduleList::write(path, contents());
}

std::string ScheduleDraft::contents() const {
    std::string bytes;
    for (const Entry& entry : m_entries) {
        bytes += entry.text;
        bytes += '\n';
    }
    return bytes;
}

int ScheduleDraft::insert(Entry entry) {
    const auto at = std::upper_bound(m_entries.begin(), m_entries.end(), entry, &before);
    return static_cast<int>(m_entries.insert(at, std::move(entry)) - m_entries.begin());
}

int ScheduleDraft::add(const ScheduleItem& item) {
    return insert({item.text(), item, ScheduleItem::Error::None});
}

int ScheduleDraft::change(int position, const ScheduleItem& item) {
    if (position >= 0 && position < size()) {
        m_entries.erase(m_entries.begin() + position);
    }
    add(item);
    const auto first = std::find_if(m_entries.begin(), m_entries.end(),
                                    [&](const Entry& e) { return e.text == item.text(); });
    return static_cast<int>(first - m_entries.begin());
}

int ScheduleDraft::remove(int position) {
    if (position < 0 || position >= size()) {
        return -1;
    }
    m_entries.erase(m_entries.begin() + position);
    return position < size() ? position : -1;
}

std::optional<ScheduleDraft::Editors> ScheduleDraft::editorsOf(const Entry& entry) {
    if (!entry.item) {
        return std::nullopt;
    }
    const ScheduleItem& item = *entry.item;
    const std::string& text = item.text();
    Editors editors;
    constexpr std::size_t kGroups[6] = {0, 3, 6, 11, 14, 17};
    for (std::size_t i = 0; i < 6; ++i) {
        editors.times[i] = text.substr(kGroups[i], 2);
    }
    editors.dayField = item.dayField();
    if (editors.dayField.find('/') != std::string::npos) {
        editors.date = QDate::fromString(QString::fromStdString(editors.dayField), "M/d/yyyy");
    }
    for (std::size_t day = 0; day < kWeekdayNames.size(); ++day) {
        if (editors.dayField.find(kWeekdayNames[day]) != std::string::npos) {
            editors.weekdays |= 1u << day;
        }
    }
    // An item of the right shape has its first "|" after the time range; a second one opens
    // the URL field, even an empty one.
    const std::size_t first = text.find('|');
    editors.hasUrl = first != std::string::npos && text.find('|', first + 1) != std::string::npos;
    if (editors.hasUrl) {
        editors.url = item.url();
        editors.loadingTime = item.loadingTimeText();
    }
    return editors;
}

}  // namespace orvel
