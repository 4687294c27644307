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

constexpr int kFile = 1156;
constexpr int kBrowse = 1136;
constexpr int kRemove = 1163;
constexpr int kPreview = 1164;
constexpr int kOk = 1032;
constexpr int kCancel = 1033;

class BackgroundWindowTest : public ::testing::Test {
protected:
    test::TempDir dir{test::TempDir::Xdg::Redirect};
    SettingsStore store;
};

struct RadioCase {
    int id;
    int BackgroundSettings::*value;
    int expected;
};

// Each radio, in window order, stands for its value (left 1, right 2, both 0 for the three
// channel groups; repeat 0, stop recording 1, stop music 2 at the end); OK stores them all.
TEST_F(BackgroundWindowTest, RadiosStandForTheirValuesAndOkStoresThem) {
    // clang-format off
    const RadioCase cases[] = {
        {1157, &BackgroundSettings::backgroundChannel, 1}, {1158, &BackgroundSettings::backgroundChannel, 2},
        {1159, &BackgroundSettings::backgroundChannel, 0}, {1160, &BackgroundSettings::recordingChannel, 1},
        {1161, &BackgroundSettings::recordingChannel, 2}, {1162, &BackgroundSettings::recordingChannel, 0},
        {1179, &BackgroundSettings::vocalChannel, 1}, {1180, &BackgroundSettings::vocalChannel, 2},
        {1181, &BackgroundSettings::vocalChannel, 0}, {1167, &BackgroundSettings::action, 0},
        {1168, &BackgroundSettings::action, 1}, {1169, &BackgroundSettings::action, 2}};
    // clang-format on
    for (const RadioCase& c : cases) {
        BackgroundWindow window(store);
        window.show();
        test::click(window, c.id);
        EXPECT_TRUE(window.button(c.id)->latched());
        test::click(window, kOk);
        EXPECT_EQ(BackgroundSettings::fromStore(store).*c.value, c.expected) << c.id;
    }
}

TEST_F(BackgroundWindowTest, ShowsTheStoredChoicesAndCancelKeepsThem) {
    store.writeText(setting::kBackgroundFile, "/music/rain.mp3");
    store.writeNumber(setting::kBackgroundScale, 30);
    store.writeNumber(setting::kRecordingChannel, 2);
    store.writeNumber(setting::kRemoveVoice, 1);
    BackgroundWindow window(store);
    window.show();
    EXPECT_EQ(window.edit(kFile)->text(), "/music/rain.mp3");
    EXPECT_NEAR(window.slider(skin::SliderId::Mix)->value(), 70, 1) << "position is 100 - scale";
    EXPECT_TRUE(window.button(1161)->latched() && window.button(1159)->latched());
    EXPECT_TRUE(window.button(kRemove)->latched() && window.button(kPreview)->latched());
    // The slider has half a pixel per percent: a scale nobody moved is kept as it was.
    test::click(window, kOk);
    EXPECT_EQ(store.readNumber(setting::kBackgroundScale), 30);
    window.show();

    window.edit(kFile)->setText("/music/other.wav");
    test::click(window, kPreview);
    test::click(window, 1160);
    SkinSlider* mix = window.slider(skin::SliderId::Mix);
    test::drag(window, mix->thumbRect().center(),
               {mix->spec().from, mix->thumbRect().center().y()});
    test::click(window, kCancel);
    EXPECT_EQ(store.readText(setting::kBackgroundFile), "/music/rain.mp3");
    EXPECT_EQ(store.readNumber(setting::kBackgroundScale), 30);

    window.show();
    test::click(window, kOk);
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
    test::click(window, kBrowse);
    QFileDialog* dialog = window.fileDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    emit dialog->fileSelected(QString::fromStdString(dir.file("Song.MP3")));
    EXPECT_EQ(window.edit(kFile)->text().toStdString(), dir.file("Song.MP3"));
    dialog->reject();
}

}  // namespace
}  // namespace orvel
