#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include "config/SettingsStore.h"
#include "skin/SkinButton.h"
#include "skin/SkinSlider.h"
#include "support/TempDir.h"
#include "support/WindowDriver.h"
#include "ui/settings/TrackSplitterWindow.h"

namespace orvel {
namespace {

constexpr char kThresholdMessage[] = "Please input the threshold volue between -48 and -1";
constexpr char kDelayMessage[] = "Please input the time delay volue between 0 and 25";

class SplitterWindow : public ::testing::Test {
protected:
    void SetUp() override {
        store.writeThreshold(30);
        store.writeSignalType(SignalSettings::Stop);
        store.writeNewFileDelay(5);
        window = std::make_unique<TrackSplitterWindow>(store);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    void TearDown() override { test::dismissMessages(); }

    SignalSettings stored() const { return SignalSettings::fromStore(store); }
    QLineEdit* field(ControlId id) const { return window->edit(id); }
    SkinSlider* threshold() const { return window->slider(skin::SliderId::SplitThreshold); }
    SkinSlider* delay() const { return window->slider(skin::SliderId::SplitDelay); }
    // A point on a slider's thumb, and one on its track at the face's x.
    static QPoint onThumb(const SkinSlider* s) { return s->thumbRect().center(); }
    static QPoint onTrack(const SkinSlider* s, int x) { return {x, s->thumbRect().center().y()}; }

    test::TempDir dir{test::TempDir::Xdg::Redirect};
    SettingsStore store;
    std::unique_ptr<TrackSplitterWindow> window;
};

// Stored values outside their ranges open held to them, an unknown action opens as a new file,
// and OK stores what the window shows.
TEST(SplitterWindowOpening, HoldsStoredValuesToTheirRangesAndOkStoresWhatItShows) {
    test::TempDir dir(test::TempDir::Xdg::Redirect);
    SettingsStore store;
    store.writeThreshold(60);
    store.writeSignalType(7);
    store.writeNewFileDelay(30);
    TrackSplitterWindow window(store);
    EXPECT_EQ(window.slider(skin::SliderId::SplitThreshold)->value(), 47);
    EXPECT_EQ(window.edit(ControlId::EDIT_THRESHOLD)->text(), "-1");
    EXPECT_EQ(window.slider(skin::SliderId::SplitDelay)->value(), 0);
    EXPECT_EQ(window.edit(ControlId::EDIT_DELAY)->text(), "0");
    EXPECT_TRUE(window.button(ControlId::BTN_NEWFILE)->latched());
    EXPECT_FALSE(window.button(ControlId::BTN_TRACKSPLITTERPAUSE)->latched() ||
                 window.button(ControlId::BTN_TRACKSPLITTERSTOP)->latched());
    window.show();
    test::click(window, ControlId::BTN_OK);
    EXPECT_EQ(window.result(), QDialog::Accepted);
    EXPECT_EQ(store.readNumber(setting::kThreshold), 47);
    EXPECT_EQ(store.readNumber(setting::kSignalType), 2);
    EXPECT_EQ(store.readNumber(setting::kNewFileDelay), 0);
}

TEST_F(SplitterWindow, FieldsRefuseOutOfRangeNumbersWithTheirMessages) {
    test::typeAndLeave(field(ControlId::EDIT_THRESHOLD), "-48");
    EXPECT_EQ(threshold()->value(), 0);
    for (const char* refused : {"0", "-49", "abc"}) {
        test::typeAndLeave(field(ControlId::EDIT_THRESHOLD), refused);
        QMessageBox* box = test::awaitMessage();
        ASSERT_NE(box, nullptr) << refused;
        EXPECT_EQ(box->text(), kThresholdMessage);
        EXPECT_EQ(box->windowTitle(), "Orvel");
        test::dismissMessages();
        EXPECT_EQ(threshold()->value(), 0) << "a refused number reached the slider";
    }
    test::typeAndLeave(field(ControlId::EDIT_DELAY), "26");
    QMessageBox* box = test::awaitMessage();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), kDelayMessage);
    test::dismissMessages();
    EXPECT_EQ(delay()->value(), 5);
}

// OK checks the fields once more: a number typed but never left is taken when it is good and
// refused with its message when it is not, and then nothing is stored.
TEST_F(SplitterWindow, OkChecksTheFieldsAgain) {
    field(ControlId::EDIT_DELAY)->setFocus();
    field(ControlId::EDIT_DELAY)->setText("99");
    test::click(*window, ControlId::BTN_OK);
    QMessageBox* box = test::awaitMessage();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), kDelayMessage);
    test::dismissMessages();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(stored().delay, 5);

    field(ControlId::EDIT_DELAY)->setText("12");
    field(ControlId::EDIT_THRESHOLD)->setText("-20");
    test::click(*window, ControlId::BTN_TRACKSPLITTERPAUSE);
    test::click(*window, ControlId::BTN_OK);
    EXPECT_EQ(window->result(), QDialog::Accepted);
    EXPECT_EQ(stored(), (SignalSettings{28, SignalSettings::Pause, 12}));
}

TEST_F(SplitterWindow, CancelAndEscapeStoreNothing) {
    test::typeAndLeave(field(ControlId::EDIT_THRESHOLD), "-10");
    test::click(*window, ControlId::BTN_NEWFILE);
    test::click(*window, ControlId::BTN_CANCEL);
    EXPECT_EQ(window->result(), QDialog::Rejected);
    window->show();
    test::typeAndLeave(field(ControlId::EDIT_DELAY), "20");
    QTest::keyClick(window.get(), Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(stored(), (SignalSettings{30, SignalSettings::Stop, 5}));
}

// The threshold runs 0..47 (-48..-1 dB) and snaps to 4 pixels, the delay 0..25 and 8 pixels;
// the field follows the thumb.
TEST_F(SplitterWindow, SlidersCoverTheirRangesAndSnapToTheirSteps) {
    test::drag(*window, onThumb(threshold()), onTrack(threshold(), 0));
    EXPECT_EQ(field(ControlId::EDIT_THRESHOLD)->text(), "-48");
    test::drag(*window, onThumb(threshold()), onTrack(threshold(), 600));
    EXPECT_EQ(field(ControlId::EDIT_THRESHOLD)->text(), "-1");
    const int from = threshold()->spec().from;
    test::drag(*window, onThumb(threshold()), onTrack(threshold(), from + 7));
    EXPECT_EQ(threshold()->thumbRect().center().x(), from + 8) << "7 px snaps to 8 (step 4)";
    EXPECT_EQ(field(ControlId::EDIT_THRESHOLD)->text(), QString::number(threshold()->value() - 48));
    test::drag(*window, onThumb(delay()), onTrack(delay(), 600));
    EXPECT_EQ(field(ControlId::EDIT_DELAY)->text(), "25");
    const int delayFrom = delay()->spec().from;
    test::drag(*window, onThumb(delay()), onTrack(delay(), delayFrom + 3));
    EXPECT_EQ(delay()->thumbRect().center().x(), delayFrom) << "3 px snaps back (step 8)";
    EXPECT_EQ(field(ControlId::EDIT_DELAY)->text(), "0");
}

// Whatever way the window closes, run() hands back the values as stored, for the caller to
// give a running recording.
TEST(SplitterWindowRun, ReturnsTheStoredValuesHowEverItCloses) {
    test::TempDir dir(test::TempDir::Xdg::Redirect);
    SettingsStore store;
    store.writeThreshold(12);
    for (const ControlId button : {ControlId::BTN_OK, ControlId::BTN_CANCEL}) {
        QTimer::singleShot(0, [button] {
            auto* open = qobject_cast<TrackSplitterWindow*>(QApplication::activeModalWidget());
            ASSERT_NE(open, nullptr);
            test::typeAndLeave(open->edit(ControlId::EDIT_THRESHOLD), "-6");
            test::click(*open, button);
        });
        const TrackSplitterWindow::Outcome outcome = TrackSplitterWindow::run(nullptr, store);
        EXPECT_EQ(outcome.accepted, button == ControlId::BTN_OK);
        EXPECT_EQ(outcome.settings.threshold, 42) << "OK stored -6 dB and Cancel kept it";
        EXPECT_EQ(outcome.settings, SignalSettings::fromStore(store));
    }
}

}  // namespace
}  // namespace orvel
