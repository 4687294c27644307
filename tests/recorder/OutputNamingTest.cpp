#include "recorder/OutputNaming.h"

#include <gtest/gtest.h>

#include <QDir>

#include "audio/FileLock.h"
#include "config/SettingNames.h"
#include "config/SettingsStore.h"
#include "support/TempDir.h"

namespace orvel {
namespace {

using FormatResult = OutputNaming::FormatResult;

const QDateTime kStart(QDate(2006, 12, 5), QTime(14, 3, 9));

// A private settings store and folder per test; the naming's clock stands at kStart.
class OutputNamingTest : public ::testing::Test {
protected:
    OutputNamingTest() : naming(settings, [] { return kStart; }) {
        QDir().mkpath(QString::fromStdString(dir.file("rec")));
    }

    std::string rec(const std::string& name) const { return dir.file("rec/" + name); }
    void touch(const std::string& name) const { dir.write("rec/" + name, ""); }
    // Starts from a field text the way the output settings window leaves it.
    void loadField(const std::string& field, bool multiFile, bool timeStamped = false) {
        settings.writeLastName(field);
        settings.writeMultiFileStatus(multiFile ? 1 : 0);
        settings.writeTimeStampedStatus(timeStamped ? 1 : 0);
        naming.load();
    }

    test::TempDir dir{test::TempDir::Xdg::Redirect};
    SettingsStore settings;
    OutputNaming naming;
};

TEST_F(OutputNamingTest, NumberedNamesCountUpFromTheHighestFilePresent) {
    loadField(rec("song.wav"), true);
    EXPECT_EQ(naming.pathForRecording(), rec("song_001.WAV"));
    EXPECT_EQ(naming.fieldText(), rec("song_001.WAV"));
    touch("song_001.WAV");
    EXPECT_EQ(naming.pathForRecording(), rec("song_002.WAV"));

    // The base ends at the field's last "_", so a numbered field continues its own series.
    loadField(rec("song_007.mp3"), true);
    touch("song_003.MP3");
    touch("song_007.mp3");
    touch("SONG_010.Mp3");      // any letter case counts
    touch("song_050.wav");      // another extension does not
    touch("songbook_090.mp3");  // another base does not
    ASSERT_TRUE(naming.nextName());
    EXPECT_EQ(naming.outputPath(), rec("song_011.MP3"));
}

TEST_F(OutputNamingTest, NumberedNameEdgeCases) {
    // A match without digits reads as 0, yet the next number is never below 002.
    touch("song_.MP3");
    loadField(rec("song.mp3"), true);
    EXPECT_EQ(naming.pathForRecording(), rec("song_002.MP3"));

    // Past 999 the number grows a digit.
    touch("tape_998.wav");
    touch("tape_999.wav");
    loadField(rec("tape.wav"), true);
    EXPECT_EQ(naming.pathForRecording(), rec("tape_1000.WAV"));

    // A number too large for an int is not wrapped into a negative or garbage name.
    touch("big_99999999999.wav");
    loadField(rec("big.wav  "), true);  // trailing white space is not part of the name
    EXPECT_EQ(naming.pathForRecording(), rec("big_2147483648.WAV"));
}

TEST_F(OutputNamingTest, NumberedFilesStayInTheFieldsFolder) {
    // A "_" in a folder name is no numbering mark: the files go next to the named one.
    QDir().mkpath(QString::fromStdString(dir.file("my_rec")));
    loadField(dir.file("my_rec/song.wav"), true);
    EXPECT_EQ(naming.pathForRecording(), dir.file("my_rec/song_001.WAV"));
    dir.write("my_rec/song_004.wav", "");
    dir.write("my_001.wav", "");  // what the folder's "_" would have matched
    EXPECT_EQ(naming.pathForRecording(), dir.file("my_rec/song_005.WAV"));
}

TEST_F(OutputNamingTest, FieldWithoutRecordingExtensionKeepsTheLastOutputPath) {
    loadField(rec("song.wav"), true);
    const std::string first = naming.pathForRecording();
    ASSERT_EQ(first, rec("song_001.WAV"));

    loadField(rec("notes.ogg"), true);
    EXPECT_EQ(naming.outputPath(), rec("notes.ogg"));  // load sets both texts
    EXPECT_FALSE(naming.nextName());
    EXPECT_EQ(naming.fieldText(), rec("notes.ogg"));
    EXPECT_EQ(naming.pathForRecording(), rec("notes.ogg"));

    // Multi-file off: the field is the path, whatever its extension.
    loadField(rec("plain.wav"), false);
    touch("plain_004.wav");
    EXPECT_EQ(naming.pathForRecording(), rec("plain.wav"));
}

TEST_F(OutputNamingTest, TimeStampedNamesUseTheClockAndTheFieldsFolder) {
    loadField(rec("talk.mp3"), true, true);
    EXPECT_EQ(naming.pathForRecording(), rec("20061205-140309.MP3"));
    // A second start within the same second forms the same name.
    EXPECT_EQ(naming.pathForRecording(), rec("20061205-140309.MP3"));

    loadField("talk.wma", true, true);
    EXPECT_EQ(naming.pathForRecording(), "20061205-140309.WMA");

    // Without multi-file a time-stamped flag forms no names.
    loadField(rec("talk.mp3"), false, true);
    EXPECT_EQ(naming.pathForRecording(), rec("talk.mp3"));
}

// Two recorders started in the same second (one at login, one by hand) never share a file: the
// name the other one records into is numbered on.
TEST_F(OutputNamingTest, ANameAnotherRecordingHoldsIsPassedOver) {
    loadField(rec("talk.mp3"), true, true);
    FileLock other;
    ASSERT_EQ(other.acquire(rec("20061205-140309.MP3")), FileLock::Result::Locked);
    EXPECT_EQ(naming.pathForRecording(), rec("20061205-140309_001.MP3"));
    FileLock third;
    ASSERT_EQ(third.acquire(rec("20061205-140309_001.MP3")), FileLock::Result::Locked);
    EXPECT_EQ(naming.pathForRecording(), rec("20061205-140309_002.MP3"));
    // A file nobody records into any more is overwritten as before.
    other.release();
    EXPECT_EQ(naming.pathForRecording(), rec("20061205-140309.MP3"));
}

TEST_F(OutputNamingTest, FormatButtonsReplaceTheExtension) {
    loadField(rec("song.wav"), false);
    EXPECT_EQ(naming.selectedFormat(), OutputFormat::Wav);

    EXPECT_EQ(naming.chooseFormat(OutputFormat::Wav, false, true), FormatResult::Ignored);
    EXPECT_EQ(naming.chooseFormat(OutputFormat::Mp3, true, true), FormatResult::Ignored);
    EXPECT_EQ(naming.fieldText(), rec("song.wav"));

    EXPECT_EQ(naming.chooseFormat(OutputFormat::Mp3, false, true), FormatResult::Changed);
    EXPECT_EQ(naming.fieldText(), rec("song.MP3"));
    EXPECT_EQ(naming.selectedFormat(), OutputFormat::Mp3);
    EXPECT_EQ(naming.outputPath(), rec("song.wav"));  // the last recording's path stays

    // A field without a recording extension keeps every character (none cut in half) and gets
    // the format's extension, which is then what the button shows and the recording writes.
    loadField("/rec/t\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9", false);
    EXPECT_EQ(naming.chooseFormat(OutputFormat::Mp3, false, true), FormatResult::Changed);
    EXPECT_EQ(naming.fieldText(), "/rec/t\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9.MP3");
    EXPECT_EQ(naming.selectedFormat(), OutputFormat::Mp3);
}

TEST_F(OutputNamingTest, WmaButtonNeedsTheWriterAndAProfile) {
    loadField(rec("song.wav"), false);
    EXPECT_EQ(naming.chooseFormat(OutputFormat::Wma, false, false), FormatResult::WmaUnavailable);
    EXPECT_EQ(OutputNaming::kWmaSupportMessage, "WMASupport");
    EXPECT_EQ(naming.chooseFormat(OutputFormat::Wma, false, true), FormatResult::WmaSettingsNeeded);
    EXPECT_EQ(naming.fieldText(), rec("song.wav"));
    EXPECT_EQ(naming.selectedFormat(), OutputFormat::Wav);

    settings.writeNumber(setting::kWmaFormat.name, 0);
    EXPECT_EQ(naming.chooseFormat(OutputFormat::Wma, false, true), FormatResult::Changed);
    EXPECT_EQ(naming.fieldText(), rec("song.WMA"));
}

TEST_F(OutputNamingTest, SwitchesRestoreTheKeptName) {
    loadField(rec("kept.wav"), false);
    EXPECT_FALSE(naming.toggleMultiFile(true));
    EXPECT_FALSE(naming.toggleTimeStamped(true));
    EXPECT_FALSE(naming.multiFile());

    // Time-stamped on keeps the field as LastName and turns multi-file on.
    ASSERT_TRUE(naming.chooseFormat(OutputFormat::Mp3, false, true) == FormatResult::Changed);
    ASSERT_TRUE(naming.toggleTimeStamped(false));
    EXPECT_TRUE(naming.timeStamped());
    EXPECT_TRUE(naming.multiFile());
    EXPECT_EQ(settings.readLastName(), rec("kept.MP3"));

    naming.pathForRecording();
    ASSERT_EQ(naming.fieldText(), rec("20061205-140309.MP3"));
    // Time-stamped off restores the kept name; multi-file stays on.
    ASSERT_TRUE(naming.toggleTimeStamped(false));
    EXPECT_FALSE(naming.timeStamped());
    EXPECT_TRUE(naming.multiFile());
    EXPECT_EQ(naming.fieldText(), rec("kept.MP3"));
    EXPECT_EQ(naming.outputPath(), rec("kept.MP3"));

    // Multi-file off clears time-stamped too and restores the kept name.
    ASSERT_TRUE(naming.toggleTimeStamped(false));
    naming.pathForRecording();
    ASSERT_TRUE(naming.toggleMultiFile(false));
    EXPECT_FALSE(naming.multiFile());
    EXPECT_FALSE(naming.timeStamped());
    EXPECT_EQ(naming.fieldText(), rec("kept.MP3"));

    // With nothing kept, the default name comes back.
    settings.writeLastName("");
    ASSERT_TRUE(naming.toggleMultiFile(false));
    ASSERT_TRUE(naming.toggleMultiFile(false));
    EXPECT_EQ(naming.fieldText(), OutputNaming::defaultPath());
}

TEST_F(OutputNamingTest, LoadAndStoreGoThroughTheSettings) {
    // The default name lies in the music folder, which is created when missing.
    const std::string music = dir.file("Sounds of mine");
    dir.write("config/user-dirs.dirs", "XDG_MUSIC_DIR=\"" + music + "\"\n");
    settings.writeLastName("");
    naming.load();
    EXPECT_EQ(naming.fieldText(), music + "/Orvel.wav");
    EXPECT_TRUE(QDir(QString::fromStdString(music)).exists());
    EXPECT_EQ(naming.selectedFormat(), OutputFormat::Wav);

    settings.writeLastName(rec("night.Wma") + "  ");
    settings.writeMultiFileStatus(1);
    naming.load();
    EXPECT_EQ(naming.fieldText(), rec("night.Wma"));
    EXPECT_EQ(naming.selectedFormat(), OutputFormat::Wma);
    EXPECT_TRUE(naming.multiFile());
    EXPECT_FALSE(naming.timeStamped());

    ASSERT_TRUE(naming.toggleTimeStamped(false));
    naming.pathForRecording();
    naming.store();
    EXPECT_EQ(settings.readTimeStampedStatus(), 1);
    EXPECT_EQ(settings.readMultiFileStatus(), 1);
    EXPECT_EQ(settings.readLastName(), rec("20061205-140309.WMA"));
}

TEST(OutputNamingFormat, FormatFollowsTheLastFourCharacters) {
    test::TempDir dir{test::TempDir::Xdg::Redirect};
    SettingsStore settings;
    OutputNaming naming(settings);
    const std::pair<const char*, OutputFormat> cases[] = {
        {"/a/b.mp3", OutputFormat::Mp3}, {"/a/b.Wma", OutputFormat::Wma},
        {"/a/b.WAV", OutputFormat::Wav}, {"/a/b.ogg", OutputFormat::Wav},
        {"/a/bmp3", OutputFormat::Wav},  {".mp3", OutputFormat::Mp3},
        {"mp3", OutputFormat::Wav},      {"", OutputFormat::Wav},
    };
    for (const auto& [name, format] : cases) {
        naming.setFieldText(name);
        EXPECT_EQ(naming.selectedFormat(), format) << '"' << name << '"';
    }
}

}  // namespace
}  // namespace orvel
