#include <gtest/gtest.h>

#include <taglib/asffile.h>
#include <taglib/asftag.h>

#include <QComboBox>
#include <QLineEdit>

#include "Decoded.h"
#include "Recording.h"
#include "TagWindowDriver.h"
#include "config/SettingsStore.h"
#include "encoders/WmaProfile.h"
#include "support/Signal.h"
#include "support/TempDir.h"
#include "support/WindowDriver.h"
#include "ui/settings/WmaWindow.h"

namespace orvel {
namespace {

// The profile list is whole before the window shows: OK at once keeps the chosen profile, and a
// stored profile the list lacks counts as none: the recording's own is chosen, and OK stores it.
TEST(WmaSettings, ProfileListIsCompleteBeforeTheWindowShows) {
    test::TempDir dir(test::TempDir::Xdg::Redirect);
    SettingsStore store;
    store.writeNumber(setting::kWmaFormat, 16);
    {
        WmaWindow window(store);
        const QComboBox* list = window.combo(ControlId::COMBO_FORMAT);
        ASSERT_EQ(list->count(), static_cast<int>(WmaProfile::all().size()));
        for (int i = 1; i < list->count(); ++i) {
            EXPECT_LE(list->itemText(i - 1), list->itemText(i)) << "not sorted by name";
        }
        EXPECT_EQ(list->currentText().toStdString(), WmaProfile::at(16)->name);
        window.show();
        test::click(window, ControlId::BTN_OK);
    }
    EXPECT_EQ(store.readNumber(setting::kWmaFormat), 16);
    store.writeNumber(setting::kWmaFormat, 99);
    WmaWindow window(store);
    window.show();
    test::click(window, ControlId::BTN_OK);
    EXPECT_EQ(store.readNumber(setting::kWmaFormat), WmaProfile::firstFor(AudioFormat{}));
}

// With no profile stored the window shows the profile a recording in the face's format uses,
// so OK at once does not switch recordings to the list's first (a 16 kHz mono) profile.
TEST(WmaSettings, WithNoStoredProfileTheRecordingsOwnIsShown) {
    test::TempDir dir(test::TempDir::Xdg::Redirect);
    SettingsStore store;
    for (const AudioFormat format : {AudioFormat{2, 44100, 16}, AudioFormat{1, 11025, 8}}) {
        SCOPED_TRACE(format.sampleRate);
        store.writeNumber(setting::kWmaFormat, -1);
        WmaWindow window(store, nullptr, format);
        const int used = WmaProfile::firstFor(format);
        EXPECT_EQ(window.combo(ControlId::COMBO_FORMAT)->currentText().toStdString(),
                  WmaProfile::at(used)->name);
        window.show();
        test::click(window, ControlId::BTN_OK);
        EXPECT_EQ(store.readNumber(setting::kWmaFormat), used);
    }
}

TEST(WmaSettings, OkStoresTheAttributesCutAndCancelNothing) {
    test::TempDir dir(test::TempDir::Xdg::Redirect);
    SettingsStore store;
    store.writeNumber(setting::kWmaGenre, 80);
    store.writeText(setting::kWmaArtist, "Ann");
    WmaWindow window(store);
    window.show();
    EXPECT_EQ(window.combo(ControlId::COMBO_GENRE)->currentIndex(), -1);
    EXPECT_EQ(window.edit(ControlId::EDIT_AUTHOR)->text(), "Ann");
    window.edit(ControlId::EDIT_DISTRIBUTOR)->setText(QString(200, 'd'));
    window.combo(ControlId::COMBO_GENRE)->setCurrentIndex(8);
    test::click(window, ControlId::BTN_CANCEL);
    EXPECT_EQ(store.readText(setting::kWmaDescription), "");
    window.show();
    test::click(window, ControlId::BTN_OK);
    EXPECT_EQ(store.readText(setting::kWmaDescription), std::string(126, 'd'));
    EXPECT_EQ(store.readNumber(setting::kWmaGenre), 8);
}

class WmaTag : public ::testing::Test {
protected:
    void SetUp() override {
        EncoderSettings settings;
        settings.wmaAttributes.artist = "Night Owls";
        settings.wmaAttributes.title = "Morning Train";
        settings.wmaAttributes.genre = "Electronica";
        const auto pcm = test::sinePcm(440.0, -6.0, 0.5, 44100, 2, 16);
        ASSERT_EQ(test::recordThroughEngine(pcm, {2, 44100, 16}, path, OutputFormat::Wma, settings)
                      .result,
                  StartResult::Ok);
        // A description longer than the recorder ever writes, as other programs write them.
        TagLib::ASF::File file(path.c_str());
        ASSERT_TRUE(file.isValid());
        const TagLib::String text(longDescription, TagLib::String::UTF8);
        file.tag()->setComment(text);
        file.tag()->setAttribute("Description", TagLib::ASF::Attribute(text));
        ASSERT_TRUE(file.save());
        ASSERT_EQ(test::decodeFile(path).metadata.at("comment"), longDescription);
    }

    test::TempDir dir;
    const std::string path = dir.file("take.wma");
    const std::string longDescription = std::string(150, 'a') + " " + std::string(149, 'b');
};

// Tag mode on a real WMA file: a changed title reaches the file; the long description and the
// genre no list knows, both left alone, stay exactly as they were.
TEST_F(WmaTag, WritesTheChangedTitleAndKeepsWhatWasLeftAlone) {
    test::whenOpen<WmaWindow>([this](WmaWindow& window) {
        EXPECT_FALSE(window.combo(ControlId::COMBO_FORMAT)->isEnabled());
        EXPECT_EQ(window.combo(ControlId::COMBO_GENRE)->currentIndex(), -1);
        EXPECT_EQ(window.combo(ControlId::COMBO_GENRE)->placeholderText(), "Electronica");
        EXPECT_EQ(window.edit(ControlId::EDIT_DISTRIBUTOR)->text().toStdString(), longDescription);
        window.edit(ControlId::EDIT_TITLE)->setText("Evening Train");
        test::click(window, ControlId::BTN_OK);
    });
    const auto written = WmaWindow::runTag(nullptr, path, "");
    ASSERT_TRUE(written.has_value());
    EXPECT_EQ(written->written, unsigned{TagRecord::Title});
    const test::Decoded decoded = test::decodeFile(path);
    ASSERT_TRUE(decoded.ok);
    EXPECT_GT(decoded.seconds(), 0.4);
    EXPECT_EQ(decoded.metadata.at("title"), "Evening Train");
    EXPECT_EQ(decoded.metadata.at("artist"), "Night Owls");
    EXPECT_EQ(decoded.metadata.at("comment"), longDescription);
    EXPECT_EQ(decoded.metadata.at("genre"), "Electronica");

    test::whenOpen<WmaWindow>([](WmaWindow& window) {
        window.combo(ControlId::COMBO_GENRE)->setCurrentText("Jazz");
        test::click(window, ControlId::BTN_OK);
    });
    ASSERT_TRUE(WmaWindow::runTag(nullptr, path, ""));
    EXPECT_EQ(test::decodeFile(path).metadata.at("genre"), "Jazz");
}

}  // namespace
}  // namespace orvel
