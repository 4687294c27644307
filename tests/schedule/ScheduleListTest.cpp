#include "schedule/ScheduleList.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace orvel
