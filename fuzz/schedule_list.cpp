// Feeds arbitrary bytes to the schedule, as a schedule file and as the schedule window's fields.
// Nothing may crash; every item read must be a well-formed line that reads back as itself, and an
// item the window builds must read back with the URL it was given. The schedule window's copy
// keeps every line of the file, items or not, through a save and a reload, and loads an item
// into its editors as the text spells it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "config/Text.h"
#include "schedule/ScheduleDraft.h"
#include "schedule/ScheduleList.h"

namespace {

using orvel::ScheduleItem;

void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void checkItem(const ScheduleItem& item) {
    require(item.text().find('\n') == std::string::npos);
    require(0 <= item.start() && item.start() < item.end() && item.end() < 86400);
    require(0 <= item.launchTime() && item.launchTime() < 86400);
    require(0 <= item.loadingTime() && item.loadingTime() <= 100);
    if (item.hasLaunch()) {
        require(item.text().size() <= ScheduleItem::kLineCapacity);
        require(item.url().find('|') == std::string::npos);
        require(item.loadingTimeText().find('|') == std::string::npos);
    }
    const ScheduleItem::Result again = ScheduleItem::parse(item.text());
    require(again.item.has_value() && again.item->start() == item.start() &&
            again.item->end() == item.end() && again.item->url() == item.url() &&
            again.item->dayField() == item.dayField() && again.item->launch() == item.launch());
}

void buildFrom(std::string_view bytes) {
    if (bytes.size() < 8) {
        return;
    }
    ScheduleItem::Fields fields;
    // Values a little beyond the ranges, so that the refusals are reached too.
    fields.startHour = static_cast<unsigned char>(bytes[0]) % 26 - 1;
    fields.startMinute = static_cast<unsigned char>(bytes[1]) % 62 - 1;
    fields.startSecond = static_cast<unsigned char>(bytes[2]) % 62 - 1;
    fields.endHour = static_cast<unsigned char>(bytes[3]) % 26 - 1;
    fields.endMinute = static_cast<unsigned char>(bytes[4]) % 62 - 1;
    fields.endSecond = static_cast<unsigned char>(bytes[5]) % 62 - 1;
    fields.streaming = (bytes[6] & 1) != 0;
    const std::string_view rest = bytes.substr(8);
    const std::size_t split = rest.find('\x01');
    fields.url = std::string(rest.substr(0, split));
    if (split != std::string_view::npos) {
        const std::string_view tail = rest.substr(split + 1);
        const std::size_t second = tail.find('\x01');
        fields.loadingTime = std::string(tail.substr(0, second));
        if (second != std::string_view::npos) {
            fields.dayField = std::string(tail.substr(second + 1));
        }
    }
    const ScheduleItem::Result built = ScheduleItem::build(fields);
    require(built.item.has_value() == (built.error == ScheduleItem::Error::None));
    if (!built.item) {
        return;
    }
    checkItem(*built.item);
    require(built.item->text().size() <= ScheduleItem::kLineCapacity);
    const std::string url(orvel::text::trimBlanks(fields.url));
    if (fields.streaming && !url.empty()) {
        require(built.item->url() == url);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    orvel::ScheduleList list;
    list.read(bytes);
    for (int i = 0; i < list.size(); ++i) {
        checkItem(list.at(i));
        require(i == 0 || !orvel::ScheduleList::before(list.at(i), list.at(i - 1)));
    }
    orvel::ScheduleList again;
    again.read(list.contents());
    require(again.contents() == list.contents());

    orvel::ScheduleDraft draft;
    draft.read(bytes);
    for (const orvel::ScheduleDraft::Entry& entry : draft.entries()) {
        const auto editors = orvel::ScheduleDraft::editorsOf(entry);
        require(editors.has_value() == entry.item.has_value());
        if (editors) {
            require(entry.text.compare(0, 2, editors->times[0]) == 0 &&
                    entry.text.compare(17, 2, editors->times[5]) == 0);
            require(!editors->hasUrl || editors->url == entry.item->url());
        }
    }
    orvel::ScheduleDraft reread;
    reread.read(draft.contents());
    require(reread.contents() == draft.contents() && reread.size() == draft.size());

    buildFrom(bytes);
    return 0;
}
