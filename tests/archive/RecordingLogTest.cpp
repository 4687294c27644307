#include "archive/RecordingLog.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

#include "support/TempDir.h"

namespace orvel {
namespace {

bool exists(const std::string& path) {
    return QFileInfo::exists(QString::fromStdString(path));
}

// A log in a private installation folder whose clock the test sets.
class RecordingLogTest : public ::testing::Test {
protected:
    test::TempDir dir;
    QDateTime now{QDate(2006, 12, 6), QTime(14, 2, 11)};
    RecordingLog log{dir.file("install"), [this] { return now; }};

    std::string day(const std::string& date) const {
        return dir.read("install/Log/" + date.substr(0, 4) + "/" + date + ".txt");
    }
};

TEST_F(RecordingLogTest, BeginFillsTheRecordFromFieldLineAndClock) {
    log.begin("/home/me/Rec/Take1.wav", 1, "Line In", false, "/music/bed.mp3");
    const LogRecord& r = log.record();
    EXPECT_EQ(r.fileName(), "Take1.wav");
    EXPECT_EQ(r.folder(), "/home/me/Rec/");
    EXPECT_EQ(r.date(), "20061206");
    EXPECT_EQ(r.startTime(), "14:02:11");
    EXPECT_EQ(r.recordingLine(), "2 - Line In");
    EXPECT_EQ(r.backgroundFile(), "");  // background music was off
    EXPECT_EQ(r.duration(), "");

    log.begin("/Rec/a.wav", 0, "Microphone__", true, "/music/bed.mp3");
    EXPECT_EQ(log.record().recordingLine(), "1 - Microphone");
    EXPECT_EQ(log.record().backgroundFile(), "/music/bed.mp3");

    // Begin clears what the previous record held.
    log.begin("Take2.wav", 4, "", false, "");
    EXPECT_EQ(log.record().recordingLine(), "5 - Unknown");
    EXPECT_EQ(log.record().fileName(), "");  // no "/": neither name nor folder
    EXPECT_EQ(log.record().folder(), "");
    EXPECT_EQ(log.record().backgroundFile(), "");
}

TEST_F(RecordingLogTest, LongTextsAreCutAtCharacterBoundaries) {
    // The field holds 255 bytes: a two-byte character across that limit goes as a whole.
    const std::string folder = "/" + std::string(250, 'd') + "/";
    log.begin(folder + "\xC3\xA9\xC3\xA9.wav", 0, std::string(300, 'n'), true,
              std::string(253, 'b') + "\xC3\xA9");
    EXPECT_EQ(log.record().folder(), folder);
    EXPECT_EQ(log.record().fileName(), "\xC3\xA9");
    EXPECT_EQ(log.record().recordingLine().size(), 254u);
    EXPECT_EQ(log.record().backgroundFile(), std::string(253, 'b'));
}

TEST_F(RecordingLogTest, WriteAppendsOneLinePerRecordingInTheStartDaysFile) {
    log.begin("/Rec/Take1.wav", 1, "Line In", false, "");
    ASSERT_TRUE(log.write(3 * 60000 + 5 * 1000 + 999));
    EXPECT_EQ(day("20061206"), "Take1.wav,/Rec/,14:02:11,3:05,2 - Line In,,\n");

    // Started before midnight on New Year's Eve, stopped after it: the start's day and year.
    now = QDateTime(QDate(2006, 12, 31), QTime(23, 59, 50));
    log.begin("/Rec/Late.mp3", 0, "Mic", true, "/bg/loop.wav");
    now = QDateTime(QDate(2007, 1, 1), QTime(1, 15, 3));
    ASSERT_TRUE(log.write(75 * 60000 + 3000));
    EXPECT_EQ(day("20061231"), "Late.mp3,/Rec/,23:59:50,75:03,1 - Mic,/bg/loop.wav,\n");
    EXPECT_FALSE(exists(dir.file("install/Log/2007")));

    // A second recording of the same day is appended.
    now = QDateTime(QDate(2006, 12, 6), QTime(15, 0, 0));
    log.begin("/Rec/Take2.wav", 1, "Line In", false, "");
    ASSERT_TRUE(log.write(1000));
    EXPECT_EQ(day("20061206"),
              "Take1.wav,/Rec/,14:02:11,3:05,2 - Line In,,\n"
              "Take2.wav,/Rec/,15:00:00,0:01,2 - Line In,,\n");
}

TEST_F(RecordingLogTest, WriteFailsQuietlyWhereNoLogCanBe) {
    // Relative and empty installation folders write nothing.
    RecordingLog relative("relative/install");
    relative.begin("/Rec/a.wav", 0, "Mic", false, "");
    EXPECT_FALSE(relative.write(1000));
    EXPECT_FALSE(exists("relative"));
    RecordingLog none("");
    none.begin("/Rec/a.wav", 0, "Mic", false, "");
    EXPECT_FALSE(none.write(1000));

    // A level that is a file cannot become a folder.
    dir.write("blocked", "x");
    RecordingLog blocked(dir.file("blocked/install"));
    blocked.begin("/Rec/a.wav", 0, "Mic", false, "");
    EXPECT_FALSE(blocked.write(1000));

    // No record begun: nothing to write.
    EXPECT_FALSE(log.write(1000));
    EXPECT_FALSE(exists(dir.file("install")));
}

TEST_F(RecordingLogTest, FoldersAreCreatedLevelByLevel) {
    EXPECT_TRUE(RecordingLog::makeFolder(dir.file("a/b/c")));
    EXPECT_TRUE(QFileInfo(QString::fromStdString(dir.file("a/b/c"))).isDir());
    EXPECT_TRUE(RecordingLog::makeFolder(dir.file("a/b/c")));  // already there
    EXPECT_TRUE(RecordingLog::makeFolder(dir.file("a//d/")));
    EXPECT_FALSE(RecordingLog::makeFolder("a/b"));
    EXPECT_FALSE(RecordingLog::makeFolder(""));
}

TEST_F(RecordingLogTest, ReadingBackYieldsTheRecordsWritten) {
    std::vector<LogRecord> written;
    for (int i = 0; i < 3; ++i) {
        now = now.addSecs(600);
        log.begin("/Rec/Take" + std::to_string(i) + ".wav", i, "Line", i == 1, "/bg/x.wav");
        ASSERT_TRUE(log.write(i * 61000));
        LogRecord expected = log.record();
        expected.setDate("");
        written.push_back(expected);
    }
    EXPECT_EQ(RecordingLog::readDay(log.dayFile("20061206")), written);
    EXPECT_TRUE(RecordingLog::readDay(dir.file("missing.txt")).empty());
}

TEST_F(RecordingLogTest, AnUnfinishedLastLineDoesNotSwallowTheNextRecord) {
    ASSERT_TRUE(RecordingLog::makeFolder(dir.file("install/Log/2006")));
    dir.write("install/Log/2006/20061206.txt", "Cut.wav,/Rec/,10:00:00,1:00,1 - Mic,");
    log.begin("/Rec/Next.wav", 0, "Mic", false, "");
    ASSERT_TRUE(log.write(2000));
    const auto records = RecordingLog::readDay(log.dayFile("20061206"));
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].fileName(), "Next.wav");
}

TEST(RecordingLogReader, AcceptsEveryLineEnd) {
    const std::string line = "a.wav,/r/,01:02:03,0:04,1 - Mic,,";
    for (const std::string end : {"\n", "\r\n", "\r"}) {
        const auto records = RecordingLog::parseDay(line + end + line + end + end + line);
        ASSERT_EQ(records.size(), 3u) << "line end " << int(end[0]);
        EXPECT_EQ(records[2].fileName(), "a.wav");
        EXPECT_EQ(records[2].duration(), "0:04");
        EXPECT_EQ(records[2].backgroundFile(), "");
        EXPECT_EQ(records[2].date(), "");
    }
}

TEST(RecordingLogReader, SkipsShortAndIncompleteLines) {
    const auto records = RecordingLog::parseDay(
        "a,b,c,d,e,\n"                 // 10 characters: ignored
        "a.wav,/r/,t,d,line\n"         // five fields
        "a.wav,/r/,t,d,line,\n"        // five fields and a line end comma
        "a.wav,/r/,t,d,line,,\n"       // six fields, the last empty
        "b.wav,/r/,t,d,line,bg\n"      // six fields without the final comma
        "c,d,e,f,g,h,i,j,k,l,m,n,o\n"  // more: the first six count
    );
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].fileName(), "a.wav");
    EXPECT_EQ(records[1].backgroundFile(), "bg");
    EXPECT_EQ(records[2].fileName(), "c");
    EXPECT_EQ(records[2].backgroundFile(), "h");
}

TEST(RecordingLogReader, OverlongLinesAndFieldsAreCut) {
    // The part of a line beyond 2047 characters looks like a record of its own: it must not
    // be read as one.
    const std::string tail = "evil.wav,/x/,00:00:00,0:00,1 - Mic,,";
    const std::string longLine =
        "long.wav,/r/,t,d,l," + std::string(RecordingLog::kMaxLineLength - 19, 'z') + tail;
    const auto records = RecordingLog::parseDay(longLine + "\nnext.wav,/r/,t,d,l,,\n");
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].fileName(), "long.wav");
    EXPECT_EQ(records[0].backgroundFile().size(), LogRecord::kBackgroundFileCapacity - 1);
    EXPECT_EQ(records[1].fileName(), "next.wav");

    const auto cut =
        RecordingLog::parseDay(std::string(300, 'f') + "," + std::string(300, 'o') + "," +
                               std::string(30, 's') + "," + std::string(60, 'd') + ",l,b,");
    ASSERT_EQ(cut.size(), 1u);
    EXPECT_EQ(cut[0].fileName().size(), 255u);
    EXPECT_EQ(cut[0].folder().size(), 255u);
    EXPECT_EQ(cut[0].startTime().size(), 18u);
    EXPECT_EQ(cut[0].duration().size(), 49u);
}

}  // namespace
}  // namespace orvel
