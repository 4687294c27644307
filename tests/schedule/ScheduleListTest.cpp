#include "schedule/ScheduleList.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>

#include "schedule/ScheduleDraft.h"
#include "support/TempDir.h"

namespace orvel {
namespace {

TEST(ScheduleFile, AHandEditedFileLoadsItsGoodLinesInOrderAndIsSavedWhole) {
    test::TempDir dir;
    const std::string longLine = "06:00:00 - 06:30:00|Sun|http://r/" + std::string(600, 'x');
    dir.write("TimeSchedule.txt", "20:00:00 - 21:00:00|7/4/2006\r\n\r\n8:00 - 9:00\r\n" + longLine +
                                      "\r\n07:00:00 - 07:30:00|Mon,Wed");
    ScheduleList list;
    const ScheduleList::LoadReport report = list.load(ScheduleList::pathIn(dir.path()));
    EXPECT_EQ(report.skipped, 1);
    EXPECT_EQ(report.withoutLaunch, 1);
    ASSERT_EQ(list.size(), 3);
    // Without its CR, the date item holds on its day.
    EXPECT_TRUE(list.at(2).appliesOn(QDate(2006, 7, 4)));

    ASSERT_TRUE(list.save(dir.file("TimeSchedule.txt")).ok);
    EXPECT_EQ(dir.read("TimeSchedule.txt"), longLine +
                                                "\n07:00:00 - 07:30:00|Mon,Wed\n"
                                                "20:00:00 - 21:00:00|7/4/2006\n");
    const ScheduleList::SaveResult failed = list.save(dir.file("missing/TimeSchedule.txt"));
    EXPECT_FALSE(failed.ok);
    EXPECT_FALSE(failed.error.empty());
}

std::string clock(int second) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", second / 3600, second / 60 % 60,
                  second % 60);
    return text;
}

// A schedule of 100,000 lines in falling order, the worst case for sorting each line in as it
// is read: the first MiB is loaded, every item of it, in byte order.
TEST(ScheduleFile, AFullSizeFileInFallingOrderLoadsInByteOrder) {
    test::TempDir dir;
    std::string file;
    std::size_t linesInFirstMiB = 0;
    std::string lastLineRead;
    for (int i = 99999; i >= 0; --i) {
        const int start = static_cast<int>(static_cast<long long>(i) * 86398 / 100000);
        const std::string line = clock(start) + " - " + clock(start + 1) + "|Mon";
        file += line + "\n";
        if (file.size() <= ScheduleList::kMaxFileBytes) {
            ++linesInFirstMiB;
            lastLineRead = line;
        }
    }
    dir.write("TimeSchedule.txt", file);
    ScheduleList list;
    const ScheduleList::LoadReport report = list.load(dir.file("TimeSchedule.txt"));
    EXPECT_TRUE(report.cutShort);
    EXPECT_EQ(report.skipped, 0);
    ASSERT_EQ(static_cast<std::size_t>(list.size()), linesInFirstMiB);
    EXPECT_TRUE(std::is_sorted(list.items().begin(), list.items().end(), &ScheduleList::before));
    // The last line read has the earliest start, the file's first line the latest.
    EXPECT_EQ(list.at(0).text(), lastLineRead);
    EXPECT_EQ(list.at(list.size() - 1).text(), file.substr(0, file.find('\n')));
}

// Reading a whole file gives the list that adding its items one by one gives: the same order,
// equal lines kept, whatever the mix of order, repeats and lines that are not items.
TEST(ScheduleFile, ReadingGivesTheOrderOfAddingOneByOne) {
    std::mt19937 random(7);
    std::string file;
    ScheduleList added;
    for (int i = 0; i < 3000; ++i) {
        const int start = static_cast<int>(random() % 600) * 60;
        std::string line = clock(start) + " - " + clock(start + 30);
        switch (random() % 5) {
            case 0:
                line += "|Mon,Fri";
                break;
            case 1:
                line += "|7/4/2006|http://radio/" + std::to_string(random() % 3);
                break;
            case 2:
                line = "not an item " + std::to_string(i);
                break;
            default:
                break;
        }
        file += line + (random() % 2 == 0 ? "\r\n" : "\n");
        if (const ScheduleItem::Result parsed = ScheduleItem::parse(line); parsed.item) {
            added.add(*parsed.item);
        }
    }
    ScheduleList read;
    read.read(file);
    EXPECT_GT(read.size(), 1500);
    EXPECT_EQ(read.contents(), added.contents());

    // The schedule window's copy keeps every line, items or not, in the same byte order.
    ScheduleDraft draft;
    draft.read(file);
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < file.size();) {
        const std::size_t end = file.find('\n', at);
        std::string line = file.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
        at = end + 1;
    }
    std::sort(lines.begin(), lines.end());
    std::vector<std::string> kept;
    for (const ScheduleDraft::Entry& entry : draft.entries()) {
        kept.push_back(entry.text);
    }
    EXPECT_EQ(kept, lines);
}

}  // namespace
}  // namespace orvel
