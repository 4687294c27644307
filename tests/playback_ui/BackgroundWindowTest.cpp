#include <gtest/gtest.h>

#include <QFileDialog>
#include <QLineEdit>
#include <QTest>

#include "config/SettingsStore.h"
#include "skin/SkinButton.h"
#include "skin/SkinSlider.h"
#include "support/TempDir.h"
#include "support/WindowDriver.h"
#include "ui/settings/BackgroundWindow.h"

namespace orvel {
namespace {

class BackgroundWindowTest : public ::testing::Test {
protected:
    test::TempDir dir{test::TempDir::Xdg::Redirect};
    SettingsStore store;
};

struct RadioCase {
    ControlId id;
    int BackgroundSettings::*value;
    int expected;
};

// Each radio, in window order, stands for its value (left 1, right 2, both 0 for the three
// channel groups; repeat 0, stop recording 1, stop music 2 at the end); OK stores them all.
TEST_F(BackgroundWindowTest, RadiosStandForTheirValuesAndOkStoresThem) {
    // clang-format off
    const RadioCase cases[] = {
        {ControlId::BTN_BACKGROUNDLEFT, &BackgroundSettings::backgroundChannel, 1}, {ControlId::BTN_BACKGROUNDRIGHT, &BackgroundSettings::backgroundChannel, 2},
        {ControlId::BTN_BACKGROUNDLEFTRIGHT, &BackgroundSettings::backgroundChannel, 0}, {ControlId::BTN_RECORDINGLEFT, &BackgroundSettings::recordingChannel, 1},
        {ControlId::BTN_RECORDINGRIGHT, &BackgroundSettings::recordingChannel, 2}, {ControlId::BTN_RECORDINGLEFTRIGHT, &BackgroundSettings::recordingChannel, 0},
        {ControlId::BTN_VOCALLEFT, &BackgroundSettings::vocalChannel, 1}, {ControlId::BTN_VOCALRIGHT, &BackgroundSettings::vocalChannel, 2},
        {ControlId::BTN_VOCALLEFTRIGHT, &BackgroundSettings::vocalChannel, 0}, {ControlId::BTN_REPEAT, &BackgroundSettings::action, 0},
        {ControlId::BTN_STOPRECORDING, &BackgroundSettings::action, 1}, {ControlId::BTN_STOPBACKGROUND, &BackgroundSettings::action, 2}};
    // clang-format on
    for (const RadioCase& c : cases) {
        BackgroundWindow window(store);
        window.show();
        test::click(window, c.id);
        EXPECT_TRUE(window.button(c.id)->latched());
        test::click(window, ControlId::BTN_OK);
        EXPECT_EQ(BackgroundSettings::fromStore(store).*c.value, c.expected)
            << static_cast<int>(c.id);
    }
}

TEST_F(BackgroundWindowTest, ShowsTheStoredChoicesAndCancelKeepsThem) {
    store.writeText(setting::kBackgroundFile, "/music/rain.mp3");
    store.writeNumber(setting::kBackgroundScale, 30);
    store.writeNumber(setting::kRecordingChannel, 2);
    store.writeNumber(setting::kRemoveVoice, 1);
    BackgroundWindow window(store);
    window.show();
    EXPECT_EQ(window.edit(ControlId::EDIT_BACKGROUNDFILE)->text(), "/music/rain.mp3");
    EXPECT_NEAR(window.slider(skin::SliderId::Mix)->value(), 70, 1) << "position is 100 - scale";
    EXPECT_TRUE(window.button(ControlId::BTN_RECORDINGRIGHT)->latched() &&
                window.button(ControlId::BTN_BACKGROUNDLEFTRIGHT)->latched());
    EXPECT_TRUE(window.button(ControlId::BTN_REMOVE)->latched() &&
                window.button(ControlId::BTN_PREVIEW)->latched());
    // The slider has half a pixel per percent: a scale nobody moved is kept as it was.
    test::click(window, ControlId::BTN_OK);
    EXPECT_EQ(store.readNumber(setting::kBackgroundScale), 30);
    window.show();

    window.edit(ControlId::EDIT_BACKGROUNDFILE)->setText("/music/other.wav");
    test::click(window, ControlId::BTN_PREVIEW);
    test::click(window, ControlId::BTN_RECORDINGLEFT);
    SkinSlider* mix = window.slider(skin::SliderId::Mix);
    test::drag(window, mix->thumbRect().center(),
               {mix->spec().from, mix->thumbRect().center().y()});
    test::click(window, ControlId::BTN_CANCEL);
    EXPECT_EQ(store.readText(setting::kBackgroundFile), "/music/rain.mp3");
    EXPECT_EQ(store.readNumber(setting::kBackgroundScale), 30);

    window.show();
    test::click(window, ControlId::BTN_OK);
    const BackgroundSettings s = BackgroundSettings::fromStore(store);
    EXPECT_EQ(s.file, "/music/other.wav");
    EXPECT_EQ(s.scale, 100) << "the slider at the music's end gives all music";
    EXPECT_FALSE(s.preview);
    EXPECT_EQ(s.recordingChannel, BackgroundSettings::LeftOnly);
}

// Linux names are case-sensitive: each filter takes both cases of its extension. The file
// chosen in the dialog lands in the field.
TEST_F(BackgroundWindowTest, BrowseOffersBothCasesAndFillsTheField) {
    EXPECT_TRUE(BackgroundWindow::fileFilters().contains("WAV File (*.wav *.WAV)"));
    EXPECT_TRUE(BackgroundWindow::fileFilters().contains("MP3 Files (*.mp3 *.MP3)"));
    dir.write("Song.MP3", "x");
    BackgroundWindow window(store);
    window.show();
    test::click(window, ControlId::BTN_BROWSE);
    QFileDialog* dialog = window.fileDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    emit dialog->fileSelected(QString::fromStdString(dir.file("Song.MP3")));
    EXPECT_EQ(window.edit(ControlId::EDIT_BACKGROUNDFILE)->text().toStdString(),
              dir.file("Song.MP3"));
    dialog->reject();
}

}  // namespace
}  // namespace orvel
