#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include "Decoded.h"
#include "Recording.h"
#include "TagWindowDriver.h"
#include "config/SettingsStore.h"
#include "skin/SkinButton.h"
#include "support/Signal.h"
#include "support/TempDir.h"
#include "support/WindowDriver.h"
#include "ui/settings/Mp3Window.h"

namespace orvel {
namespace {

TEST(Mp3Settings, ShowsTheStoredChoicesAndOkStoresTheEditedOnes) {
    test::TempDir dir(test::TempDir::Xdg::Redirect);
    SettingsStore store;
    store.writeMp3Bitrate(14);
    store.writeNumber(setting::kCrc, 1);
    store.writeText(setting::kArtist, "Ann");
    store.writeNumber(setting::kGenre, 79);
    Mp3Window window(store);
    window.show();
    EXPECT_EQ(window.combo(ControlId::COMBO_BITRATE)->count(), 16);
    EXPECT_EQ(window.combo(ControlId::COMBO_BITRATE)->currentText(), "256");
    EXPECT_EQ(window.combo(ControlId::COMBO_STEREOMODE)->currentText(), "Default");
    EXPECT_EQ(window.combo(ControlId::COMBO_GENRE)->count(), 80);
    EXPECT_EQ(window.combo(ControlId::COMBO_GENRE)->currentText(), "Hard Rock ");
    EXPECT_TRUE(window.button(ControlId::BTN_CRC)->latched());
    EXPECT_EQ(window.edit(ControlId::EDIT_ARTIST)->text(), "Ann");
    for (ControlId id : {ControlId::EDIT_ARTIST, ControlId::EDIT_ALBUM, ControlId::EDIT_TITLE,
                         ControlId::EDIT_YEAR, ControlId::COMBO_GENRE}) {
        EXPECT_FALSE(window.control(id)->isEnabled())
            << static_cast<int>(id) << " enabled with ID3 off";
    }
    test::click(window, ControlId::BTN_ID3);
    EXPECT_TRUE(window.control(ControlId::COMBO_GENRE)->isEnabled() &&
                window.control(ControlId::EDIT_TITLE)->isEnabled());

    window.combo(ControlId::COMBO_STEREOMODE)->setCurrentText("Mono");
    window.edit(ControlId::EDIT_TITLE)->setText(QString(35, 'T'));
    window.edit(ControlId::EDIT_YEAR)->setText("19845");
    test::click(window, ControlId::BTN_CRC);
    test::click(window, ControlId::BTN_CANCEL);
    EXPECT_EQ(store.readMp3Mode(), 0);
    EXPECT_EQ(store.readNumber(setting::kId3), 0);

    window.show();
    test::click(window, ControlId::BTN_OK);
    EXPECT_EQ(store.readMp3Mode(), 1);
    EXPECT_EQ(store.readMp3Bitrate(), 14);
    EXPECT_EQ(store.readNumber(setting::kId3), 1);
    EXPECT_EQ(store.readNumber(setting::kCrc), 0);
    EXPECT_EQ(store.readText(setting::kTitle), std::string(30, 'T'));
    EXPECT_EQ(store.readText(setting::kYear), "1984");
    EXPECT_EQ(store.readNumber(setting::kGenre), 79);
}

class Mp3Tag : public ::testing::Test {
protected:
    void SetUp() override {
        EncoderSettings settings;
        settings.mp3.writeId3 = true;
        settings.mp3.setArtist("Night Owls");
        settings.mp3.setTitle("Morning Train");
        settings.mp3.setAlbum("Harbour");
        settings.mp3.setYear("2024");
        settings.mp3.genre = 255;  // no genre
        const auto pcm = test::sinePcm(440.0, -6.0, 0.5, 44100, 2, 16);
        ASSERT_EQ(test::recordThroughEngine(pcm, {2, 44100, 16}, path, OutputFormat::Mp3, settings)
                      .result,
                  StartResult::Ok);
    }
    void TearDown() override { test::dismissMessages(); }

    test::TempDir dir;
    const std::string path = dir.file("take.mp3");
};

// Tag mode on a real MP3 file: the changed title reaches the file, the genre the file never
// had is not replaced by the first of the list, and the file still plays.
TEST_F(Mp3Tag, WritesTheChangedFieldsAndLeavesTheUntouchedGenreAlone) {
    test::whenOpen<Mp3Window>([](Mp3Window& window) {
        EXPECT_FALSE(window.button(ControlId::BTN_CRC)->isEnabled() ||
                     window.combo(ControlId::COMBO_BITRATE)->isEnabled());
        EXPECT_EQ(window.edit(ControlId::EDIT_TITLE)->text(), "Morning Train");
        EXPECT_EQ(window.combo(ControlId::COMBO_GENRE)->currentIndex(), -1);
        window.edit(ControlId::EDIT_TITLE)->setText("Evening Train");
        test::click(window, ControlId::BTN_OK);
    });
    const auto written = Mp3Window::runTag(nullptr, path, dir.file("other.mp3"));
    ASSERT_TRUE(written.has_value());
    EXPECT_EQ(written->written, unsigned{TagRecord::Title});
    const test::Decoded decoded = test::decodeFile(path);
    ASSERT_TRUE(decoded.ok);
    EXPECT_GT(decoded.seconds(), 0.4);
    EXPECT_EQ(decoded.metadata.at("title"), "Evening Train");
    EXPECT_EQ(decoded.metadata.at("artist"), "Night Owls");
    EXPECT_EQ(decoded.metadata.at("album"), "Harbour");
    EXPECT_EQ(decoded.metadata.count("genre"), 0u) << decoded.metadata.at("genre");

    // A genre the user picks is written; Cancel writes nothing.
    test::whenOpen<Mp3Window>([](Mp3Window& window) {
        window.combo(ControlId::COMBO_GENRE)->setCurrentText("Jazz");
        test::click(window, ControlId::BTN_OK);
    });
    ASSERT_TRUE(Mp3Window::runTag(nullptr, path, ""));
    EXPECT_EQ(test::decodeFile(path).metadata.at("genre"), "Jazz");
    const auto before = test::readBytes(path);
    test::whenOpen<Mp3Window>([](Mp3Window& window) {
        window.edit(ControlId::EDIT_ARTIST)->setText("Someone else");
        test::click(window, ControlId::BTN_CANCEL);
    });
    EXPECT_FALSE(Mp3Window::runTag(nullptr, path, ""));
    EXPECT_EQ(test::readBytes(path), before);
}

TEST_F(Mp3Tag, RefusesTheFileBeingRecorded) {
    const auto before = test::readBytes(path);
    EXPECT_FALSE(Mp3Window::runTag(nullptr, path, path));
    QMessageBox* box = test::awaitMessage();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), TagFace::beingRecordedMessage(QString::fromStdString(path)));
    EXPECT_EQ(test::readBytes(path), before);
}

}  // namespace
}  // namespace orvel
