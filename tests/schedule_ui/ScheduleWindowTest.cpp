#include "ui/schedule/ScheduleWindow.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDateEdit>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QTest>
#include <array>
#include <memory>

#include "config/SettingsStore.h"
#include "schedule/ScheduleList.h"
#include "skin/SkinButton.h"
#include "skin/SkinLineEdit.h"
#include "skin/SkinSlider.h"
#include "support/TempDir.h"

namespace orvel {
namespace {

constexpr ControlId kTimeFields[6] = {ControlId::EDIT_STARTHOUR,   ControlId::EDIT_STARTMINUTE,
                                      ControlId::EDIT_STARTSECOND, ControlId::EDIT_ENDHOUR,
                                      ControlId::EDIT_ENDMINUTE,   ControlId::EDIT_ENDSECOND};

QList<QMessageBox*> openMessages() {
    QList<QMessageBox*> boxes;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) {
            boxes << box;
        }
    }
    return boxes;
}

void closeMessages() {
    for (QMessageBox* box : openMessages()) {
        box->close();
    }
    QApplication::processEvents();
}

// The window on a schedule file of a temporary folder, with a settings store of its own.
class ScheduleWindowTest : public ::testing::Test {
protected:
    void TearDown() override {
        closeMessages();
        SettingsStore(kProduct).writeScheduleType(0);
    }

    static constexpr char kProduct[] = "OrvelScheduleWindowTest";

    std::unique_ptr<ScheduleWindow> open(const std::string& path) {
        auto window = std::make_unique<ScheduleWindow>(SettingsStore(kProduct), path);
        window->show();
        return window;
    }

    static void click(ScheduleWindow& w, ControlId id) {
        SkinButton* button = w.button(id);
        ASSERT_TRUE(button && button->isEnabled()) << "button " << static_cast<int>(id);
        QTest::mouseClick(button, Qt::LeftButton);
    }

    static void setTimes(ScheduleWindow& w, const std::array<const char*, 6>& times) {
        for (int i = 0; i < 6; ++i) {
            w.edit(kTimeFields[i])->setText(QString::fromLatin1(times[std::size_t(i)]));
        }
    }

    static QStringList listed(ScheduleWindow& w) {
        auto* list = qobject_cast<QListWidget*>(w.control(ControlId::LIST_SCHEDULE));
        QStringList texts;
        for (int i = 0; i < list->count(); ++i) {
            texts << list->item(i)->text();
        }
        return texts;
    }

    static void select(ScheduleWindow& w, int row) {
        qobject_cast<QListWidget*>(w.control(ControlId::LIST_SCHEDULE))->setCurrentRow(row);
    }

    static QStringList times(ScheduleWindow& w) {
        QStringList texts;
        for (ControlId id : kTimeFields) {
            texts << w.edit(id)->text();
        }
        return texts;
    }

    test::TempDir m_dir;
};

// The whole round: a hand-edited file opens with its good lines, its malformed line and its
// over-long line listed; items are added, loaded by selection, changed and deleted; OK writes
// the list and the time mode, and the schedule layer reads the items back. Nothing of the
// hand-edited lines is lost or cut on the way.
TEST_F(ScheduleWindowTest, EditsAndSavesWhatTheRunnerReadsBack) {
    const std::string longUrl = "http://radio.example.org/" + std::string(500, 'x');
    const std::string longLine = "06:00:00 - 06:30:00|Sun|" + longUrl + "|5";
    m_dir.write("TimeSchedule.txt",
                "20:00:00 - 21:00:00|7/4/2006\r\n8:00 - 9:00 news\r\n" + longLine + "\r\n");
    auto w = open(m_dir.file("TimeSchedule.txt"));
    EXPECT_EQ(listed(*w), (QStringList{QString::fromStdString(longLine),
                                       "20:00:00 - 21:00:00|7/4/2006", "8:00 - 9:00 news"}));
    EXPECT_FALSE(w->button(ControlId::BTN_CHANGE)->isEnabled());
    EXPECT_FALSE(w->button(ControlId::BTN_DELETE)->isEnabled());

    // The malformed line loads nothing into the editors, but may be replaced or deleted.
    select(*w, 2);
    EXPECT_EQ(times(*w), QStringList(6, "00"));
    EXPECT_TRUE(w->button(ControlId::BTN_DELETE)->isEnabled());

    // The long line's URL reaches its field whole.
    select(*w, 0);
    EXPECT_EQ(w->edit(ControlId::EDIT_STREAMINGURL)->text().toStdString(), longUrl);
    EXPECT_EQ(w->edit(ControlId::EDIT_LOADINGTIME)->text(), "5");
    EXPECT_EQ(w->dayField(), "Sun");
    EXPECT_TRUE(w->button(ControlId::CHECK_STREAMINGURL)->latched());

    // Streaming off for the next items; a date replaces weekdays, weekdays replace a date.
    click(*w, ControlId::CHECK_STREAMINGURL);
    click(*w, ControlId::kSunday);  // Sunday off
    click(*w, ControlId::kMonday);
    click(*w, ControlId::kFriday);
    EXPECT_EQ(w->dayField(), "Mon,Fri");
    qobject_cast<QDateEdit*>(w->control(ControlId::kScheduleDate))->setDate(QDate(2025, 6, 21));
    EXPECT_EQ(w->dayField(), "6/21/2025");
    EXPECT_FALSE(w->button(ControlId::kMonday)->latched());
    click(*w, ControlId::BTN_ONTHEDAY);
    EXPECT_EQ(w->dayField(), "");

    setTimes(*w, {"18", "00", "00", "19", "00", "00"});
    click(*w, ControlId::BTN_ADD);
    setTimes(*w, {"8", "0", "0", "9", "0", "0"});
    click(*w, ControlId::BTN_ONTHEDAY);
    click(*w, ControlId::kMonday);
    click(*w, ControlId::CHECK_STREAMINGURL);
    w->edit(ControlId::EDIT_STREAMINGURL)->setText("  http://r.example/a.mp3 ");
    w->edit(ControlId::EDIT_LOADINGTIME)->setText("30");
    click(*w, ControlId::BTN_ADD);
    ASSERT_EQ(listed(*w).size(), 5);
    EXPECT_EQ(listed(*w)[1], "08:00:00 - 09:00:00|Mon|http://r.example/a.mp3|30");
    EXPECT_EQ(listed(*w)[2], "18:00:00 - 19:00:00");

    // Selecting loads the item; Change replaces it and selects the new text.
    select(*w, 2);
    EXPECT_EQ(times(*w), (QStringList{"18", "00", "00", "19", "00", "00"}));
    EXPECT_EQ(w->dayField(), "");
    w->edit(kTimeFields[3])->setText("23");
    click(*w, ControlId::CHECK_STREAMINGURL);  // off: the item gets no URL
    click(*w, ControlId::BTN_CHANGE);
    EXPECT_EQ(listed(*w)[2], "18:00:00 - 23:00:00");
    EXPECT_EQ(qobject_cast<QListWidget*>(w->control(ControlId::LIST_SCHEDULE))->currentRow(), 2);

    // Delete selects the entry now at the same place: the date item.
    select(*w, 3);
    click(*w, ControlId::BTN_DELETE);
    EXPECT_EQ(listed(*w)[3], "8:00 - 9:00 news");
    EXPECT_EQ(qobject_cast<QListWidget*>(w->control(ControlId::LIST_SCHEDULE))->currentRow(), 3);

    click(*w, ControlId::BTN_RELATIVE);
    click(*w, ControlId::BTN_OK);
    EXPECT_EQ(w->result(), QDialog::Accepted);
    EXPECT_TRUE(openMessages().isEmpty());
    EXPECT_EQ(m_dir.read("TimeSchedule.txt"),
              longLine +
                  "\n08:00:00 - 09:00:00|Mon|http://r.example/a.mp3|30\n"
                  "18:00:00 - 23:00:00\n8:00 - 9:00 news\n");
    EXPECT_EQ(SettingsStore(kProduct).readScheduleType(), 1);

    ScheduleList runtime;
    const ScheduleList::LoadReport report = runtime.load(m_dir.file("TimeSchedule.txt"));
    EXPECT_EQ(report.skipped, 1);
    ASSERT_EQ(runtime.size(), 3);
    EXPECT_EQ(runtime.at(0).text(), longLine);
    EXPECT_EQ(runtime.at(1).launchUrl(), "http://r.example/a.mp3");
    EXPECT_EQ(runtime.at(1).launchTime(), 8 * 3600 - 30);
}

struct Refusal {
    const char* name;
    std::array<const char*, 6> times;
    const char* url;  // with the streaming box on when not null
    const char* loadingTime;
    const char* title;  // empty: the program's name
    const char* message;
};

void PrintTo(const Refusal& r, std::ostream* os) {
    *os << r.name;
}

class ScheduleRefusal : public ScheduleWindowTest, public ::testing::WithParamInterface<Refusal> {};

// Add refuses what the runner could not keep, says why, and leaves the list as it was.
TEST_P(ScheduleRefusal, AddSaysWhyAndAddsNothing) {
    const Refusal& r = GetParam();
    auto w = open(m_dir.file("TimeSchedule.txt"));
    setTimes(*w, r.times);
    if (r.url) {
        click(*w, ControlId::CHECK_STREAMINGURL);
        w->edit(ControlId::EDIT_STREAMINGURL)->setText(QString::fromStdString(r.url));
        w->edit(ControlId::EDIT_LOADINGTIME)->setText(QString::fromLatin1(r.loadingTime));
    }
    click(*w, ControlId::BTN_ADD);
    QTRY_COMPARE(openMessages().size(), 1);
    QMessageBox* box = openMessages().front();
    EXPECT_EQ(box->text(), r.message);
    EXPECT_EQ(box->windowTitle(), *r.title ? QString(r.title) : QString("Orvel"));
    EXPECT_TRUE(listed(*w).isEmpty());
}

const std::string kLongUrl = "http://r.example/" + std::string(500, 'u');

// clang-format off
INSTANTIATE_TEST_SUITE_P(Schedule, ScheduleRefusal, ::testing::Values(
    Refusal{"EndHour99", {"10", "00", "00", "99", "00", "00"}, nullptr, "", "", "Invalid Hour Value"},
    Refusal{"NegativeHour", {"-1", "00", "00", "09", "00", "00"}, nullptr, "", "", "Invalid Hour Value"},
    Refusal{"Minute60", {"10", "60", "00", "11", "00", "00"}, nullptr, "", "", "Invalid Minute Value"},
    Refusal{"Second75", {"10", "00", "00", "11", "00", "75"}, nullptr, "", "", "Invalid Second Value"},
    Refusal{"StartEqualsEnd", {"10", "00", "00", "10", "00", "00"}, nullptr, "",
            "Please set correct time", "Start time should be earlier than the end time"},
    Refusal{"BarInUrl", {"10", "00", "00", "11", "00", "00"}, "http://a|b", "10", "",
            "The streaming URL and the loading time cannot contain \"|\" or a line break"},
    Refusal{"BarInLoadingTime", {"10", "00", "00", "11", "00", "00"}, "http://a", "1|0", "",
            "The streaming URL and the loading time cannot contain \"|\" or a line break"},
    Refusal{"LongerThanALine", {"10", "00", "00", "11", "00", "00"}, kLongUrl.c_str(), "", "",
            "The schedule item is too long: please shorten the streaming URL"}),
    [](const ::testing::TestParamInfo<Refusal>& info) { return std::string(info.param.name); });
// clang-format on

// A save that fails says so and keeps the window open; the old file and the time mode stay.
TEST_F(ScheduleWindowTest, FailedSaveKeepsTheWindowOpenAndTheOldFile) {
    m_dir.write("TimeSchedule.txt", "20:00:00 - 21:00:00\n");
    // The folder cannot take the new file: a file now stands where the schedule's folder was
    // meant to be, so the atomic write cannot even begin.
    auto blocked = std::make_unique<ScheduleWindow>(
        SettingsStore(kProduct), m_dir.file("TimeSchedule.txt/TimeSchedule.txt"));
    blocked->show();
    setTimes(*blocked, {"08", "00", "00", "09", "00", "00"});
    click(*blocked, ControlId::BTN_ADD);
    click(*blocked, ControlId::BTN_RELATIVE);
    click(*blocked, ControlId::BTN_OK);
    QTRY_COMPARE(openMessages().size(), 1);
    EXPECT_TRUE(openMessages().front()->text().startsWith("The schedule could not be saved"));
    EXPECT_TRUE(blocked->isVisible());
    EXPECT_NE(blocked->result(), QDialog::Accepted);
    EXPECT_EQ(m_dir.read("TimeSchedule.txt"), "20:00:00 - 21:00:00\n");
    EXPECT_EQ(SettingsStore(kProduct).readScheduleType(), 0);
}

// A time field is checked as the user leaves it: a refused value leaves its slider alone, a
// good one moves it; dragging the slider writes the value back into the field.
TEST_F(ScheduleWindowTest, TimeFieldsAndSlidersFollowEachOther) {
    auto w = open(m_dir.file("TimeSchedule.txt"));
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    QLineEdit* hour = w->edit(kTimeFields[0]);
    SkinSlider* slider = w->slider(skin::SliderId::StartHour);
    hour->setFocus(Qt::OtherFocusReason);
    hour->setText("24");
    QTest::keyClick(hour, Qt::Key_Tab);
    QTRY_COMPARE(openMessages().size(), 1);
    EXPECT_EQ(openMessages().front()->text(), "Invalid Hour Value");
    EXPECT_EQ(slider->value(), 0);
    openMessages().front()->accept();
    auto* field = qobject_cast<SkinLineEdit*>(hour);
    QTRY_VERIFY(!field->refusing());
    EXPECT_EQ(w->focusWidget(), hour);
    hour->setText("7");
    QTest::keyClick(hour, Qt::Key_Return);
    EXPECT_EQ(slider->value(), 7);

    slider->applyValue(23);
    EXPECT_EQ(hour->text(), "23");
}

}  // namespace
}  // namespace orvel
