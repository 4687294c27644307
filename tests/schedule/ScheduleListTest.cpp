#include "schedule/ScheduleList.h"

#include <gtest/gtest.h>

#include "support/TempDir.h"

namespace orvel {
namespace {

std::vector<std::string> texts(const ScheduleList& list) {
    std::vector<std::string> out;
    for (const ScheduleItem& item : list.items()) {
        out.push_back(item.text());
    }
    return out;
}

TEST(ScheduleFile, AHandEditedFileLoadsItsGoodLinesInOrderAndSavesThemWhole) {
    test::TempDir dir;
    const std::string longLine =
        "06:00:00 - 06:30:00|Sun|http://r.example/" + std::string(600, 'x') + "|10";
    dir.write("TimeSchedule.txt",
              "20:00:00 - 21:00:00|7/4/2006\r\n"
              "\r\n"
              "8:00 - 9:00\r\n" +
                  longLine +
                  "\r\n"
                  "07:00:00 - 08:00:00||http://r.example/a.mp3|30\r\n"
                  "\n"
                  "07:00:00 - 07:30:00|Mon,Wed");
    ScheduleList list;
    const ScheduleList::LoadReport report = list.load(ScheduleList::pathIn(dir.path()));
    EXPECT_TRUE(report.read);
    EXPECT_EQ(report.skipped, 1);
    EXPECT_EQ(report.withoutLaunch, 1);
    EXPECT_EQ(texts(list),
              (std::vector<std::string>{longLine, "07:00:00 - 07:30:00|Mon,Wed",
                                        "07:00:00 - 08:00:00||http://r.example/a.mp3|30",
                                        "20:00:00 - 21:00:00|7/4/2006"}));
    // The CR is gone from the date, so the date item holds on its day.
    EXPECT_TRUE(list.at(3).appliesOn(QDate(2006, 7, 4)));
    EXPECT_FALSE(list.at(0).hasLaunch());

    // Written back with LF ends, the long line whole.
    ASSERT_TRUE(list.save(dir.file("TimeSchedule.txt")).ok);
    EXPECT_EQ(dir.read("TimeSchedule.txt"), longLine +
                                                "\n07:00:00 - 07:30:00|Mon,Wed\n"
                                                "07:00:00 - 08:00:00||http://r.example/a.mp3|30\n"
                                                "20:00:00 - 21:00:00|7/4/2006\n");
}

TEST(ScheduleFile, AMissingFileIsAnEmptyListAndAFailedSaveSaysSo) {
    test::TempDir dir;
    ScheduleList list;
    list.add(*ScheduleItem::parse("08:00:00 - 09:00:00").item);
    EXPECT_FALSE(list.load(dir.file("TimeSchedule.txt")).read);
    EXPECT_TRUE(list.empty());

    list.add(*ScheduleItem::parse("08:00:00 - 09:00:00").item);
    const ScheduleList::SaveResult result = list.save(dir.file("missing/TimeSchedule.txt"));
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.error.empty());
}

}  // namespace
}  // namespace orvel
