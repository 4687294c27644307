#include "cli/RecordingPlan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "config/SettingsStore.h"
#include "devices/DeviceList.h"
#include "devices/FakeSoundServer.h"
#include "support/TempDir.h"

namespace orvel {
namespace {

using test::FakeSoundServer;

bool hasNote(const RecordingPlan& plan, const std::string& part) {
    return std::any_of(plan.notes.begin(), plan.notes.end(), [&](const std::string& note) {
        return note.find(part) != std::string::npos;
    });
}

// Plans against two devices, with the settings of a test of its own.
class PlanTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_server.deviceList = {FakeSoundServer::device("Card", {"mic", "line-in"}),
                               FakeSoundServer::device("Sound server", {"tone", "silence"})};
    }

    RecordingPlan plan(RecordArguments arguments) {
        if (arguments.file.empty()) {
            arguments.file = "take.wav";
        }
        return RecordingPlan::make(arguments, m_settings, m_devices);
    }

    test::TempDir m_dir{test::TempDir::Xdg::Redirect};
    SettingsStore m_settings;
    FakeSoundServer m_server;
    DeviceList m_devices{m_server};
};

TEST_F(PlanTest, WithNothingStoredRecordsTheFirstLineOfTheFirstDeviceAndSaysSo) {
    const RecordingPlan p = plan({});
    ASSERT_TRUE(p.ok()) << p.detail;
    EXPECT_EQ(p.deviceRow, 0);
    EXPECT_EQ(p.lineIndex, 0);
    EXPECT_EQ(p.line.sourceName, "mic");
    EXPECT_TRUE(hasNote(p, "no device is stored"));
    // The stored defaults: 44100 Hz, 16 bits, stereo, WAV.
    EXPECT_EQ(p.capture.format, (AudioFormat{2, 44100, 16}));
    EXPECT_EQ(p.capture.outputFormat, OutputFormat::Wav);
    EXPECT_EQ(p.capture.fileName, "take.wav");
    EXPECT_GE(p.capture.ringCapacity, 80000u);
    EXPECT_EQ(m_devices.selectedRow(), 0);
}

TEST_F(PlanTest, StoredDeviceLineAndFormatAreUsedAndOptionsOverrideThem) {
    m_settings.writeDevice(1);
    m_settings.writeAudioLine(1);
    m_settings.writeFreq(1);
    m_settings.writeBit(0);
    m_settings.writeChannel(0);
    RecordingPlan p = plan({});
    ASSERT_TRUE(p.ok()) << p.detail;
    EXPECT_EQ(p.line.sourceName, "silence");
    EXPECT_EQ(p.capture.format, (AudioFormat{1, 11025, 8}));
    EXPECT_TRUE(p.notes.empty());

    RecordArguments a;
    a.line = 0;
    a.rate = 48000;
    a.bits = 16;
    p = plan(a);
    ASSERT_TRUE(p.ok());
    EXPECT_EQ(p.line.sourceName, "tone");
    EXPECT_EQ(p.capture.format, (AudioFormat{1, 48000, 16}));
}

TEST_F(PlanTest, TheStoredLineBelongsToTheStoredDeviceOnly) {
    m_settings.writeDevice(1);
    m_settings.writeAudioLine(1);
    RecordArguments a;
    a.device = 0;
    const RecordingPlan p = plan(a);
    ASSERT_TRUE(p.ok());
    EXPECT_EQ(p.line.sourceName, "mic");
    EXPECT_TRUE(hasNote(p, "no line is stored for device 0"));
}

TEST_F(PlanTest, DevicesAndLinesThatAreNotThereAreRefused) {
    RecordArguments a;
    a.device = 2;
    RecordingPlan p = plan(a);
    EXPECT_EQ(p.messageKey, "DeviceAvailabity");
    EXPECT_EQ(p.detail,
              "there is no device 2; the devices are 0..1 (orvel-rec devices lists them)");

    a.device = 1;
    a.line = 2;
    p = plan(a);
    EXPECT_EQ(p.messageKey, "DeviceAvailabity");
    EXPECT_EQ(p.detail, "there is no line 2 on device 1 \"Sound server\"; its lines are 0..1");

    m_settings.writeDevice(5);
    p = plan({});
    EXPECT_EQ(p.messageKey, "DeviceAvailabity");
    EXPECT_NE(p.detail.find("the stored device 5 is not there"), std::string::npos);

    m_server.deviceList.clear();
    p = plan({});
    EXPECT_EQ(p.messageKey, "DeviceAvailabity");
    EXPECT_EQ(p.detail, "the sound server lists no capture device");
}

TEST_F(PlanTest, FormatsOutsideTheTablesAreRefused) {
    RecordArguments a;
    a.rate = 44101;
    EXPECT_EQ(plan(a).messageKey, "FormatError");
    a = {};
    a.bits = 24;
    EXPECT_EQ(plan(a).messageKey, "FormatError");
    a = {};
    a.channels = 6;
    const RecordingPlan p = plan(a);
    EXPECT_EQ(p.messageKey, "FormatError");
    EXPECT_EQ(p.detail, "6 channels: the recorder records 1 (mono) or 2 (stereo)");
}

// The name's extension chooses the format in any letter case; a name the recorder cannot write
// is refused, never recorded as WAV data under an extension that says otherwise.
TEST_F(PlanTest, TheExtensionChoosesTheOutputAndAnyOtherNameIsRefused) {
    RecordArguments a;
    for (const auto& [name, format] :
         {std::pair{"a.MP3", OutputFormat::Mp3}, std::pair{"a.Wma", OutputFormat::Wma},
          std::pair{"my-take.wav", OutputFormat::Wav}}) {
        a.file = name;
        const RecordingPlan p = plan(a);
        ASSERT_TRUE(p.ok()) << name << ": " << p.detail;
        EXPECT_EQ(p.capture.outputFormat, format) << name;
    }
    for (const char* name : {"take.flac", "take", "take.wav.ogg", "mp3"}) {
        a.file = name;
        const RecordingPlan p = plan(a);
        EXPECT_EQ(p.messageKey, "UnknowType") << name;
        EXPECT_EQ(p.detail, "\"" + std::string(name) +
                                "\": only .wav, .mp3 and .wma files are written (any letter case)");
    }
}

TEST_F(PlanTest, Mp3IsRaisedTo32kHzAnd16BitsAndTheModeSetsTheChannels) {
    RecordArguments a;
    a.file = "take.mp3";
    a.rate = 11025;
    a.bits = 8;
    a.mp3Mode = 1;
    const RecordingPlan p = plan(a);
    ASSERT_TRUE(p.ok());
    EXPECT_EQ(p.capture.format, (AudioFormat{1, 44100, 16}));
    EXPECT_TRUE(hasNote(p, "recording at 44100 Hz instead of 11025 Hz"));
    EXPECT_TRUE(hasNote(p, "recording 16 bits instead of 8"));
    EXPECT_TRUE(hasNote(p, "recording 1 channel"));

    a.rate = 32000;
    a.bits = 16;
    a.mp3Mode = 0;
    a.channels = 2;
    const RecordingPlan kept = plan(a);
    EXPECT_EQ(kept.capture.format, (AudioFormat{2, 32000, 16}));
    EXPECT_FALSE(hasNote(kept, "instead of"));
}

TEST_F(PlanTest, Mp3OptionsOverrideTheStoredOnesAndAnIncompleteTagIsTold) {
    m_settings.writeNumber(setting::kCrc, 1);
    m_settings.writeText(setting::kArtist, "Stored");
    m_settings.writeNumber(setting::kId3, 1);
    RecordArguments a;
    a.file = "take.mp3";
    a.crc = false;
    a.mp3Bitrate = 14;
    a.title = "A title that is far longer than thirty bytes";
    const RecordingPlan p = plan(a);
    EXPECT_FALSE(p.encoder.mp3.crc);
    EXPECT_EQ(p.encoder.mp3BitRateKbps(), 256);
    EXPECT_EQ(p.encoder.mp3.artist(), "Stored");
    EXPECT_EQ(p.encoder.mp3.title().size(), 30u);
    EXPECT_TRUE(hasNote(p, "no ID3 tag will be written"));
}

// The common tag names reach whichever format is recorded; what it cannot keep is told.
TEST_F(PlanTest, TagsGoToTheRecordedFormatAndWhatItCannotKeepIsTold) {
    m_settings.writeNumber(setting::kId3, 0);
    RecordArguments a;
    a.title = "Take";
    a.artist = "Ann";
    a.album = "Demo";
    a.composer = "Bo";
    a.genre = 17;
    a.wmaTitle = "WMA take";
    a.file = "take.wma";
    RecordingPlan p = plan(a);
    EXPECT_EQ(p.encoder.wmaAttributes.title, "WMA take");  // the WMA form wins
    EXPECT_EQ(p.encoder.wmaAttributes.artist, "Ann");
    EXPECT_EQ(p.encoder.wmaAttributes.composer, "Bo");
    EXPECT_EQ(p.encoder.wmaAttributes.genre, "Rock");
    EXPECT_FALSE(hasNote(p, "--title"));

    a.file = "take.mp3";
    p = plan(a);
    EXPECT_EQ(p.encoder.mp3.title(), "Take");
    EXPECT_TRUE(p.encoder.mp3.writeId3);  // a tag given is a tag wanted
    EXPECT_TRUE(hasNote(p, "--composer is not kept in an MP3 recording"));
    EXPECT_TRUE(hasNote(p, "--wma-title is not kept in an MP3 recording"));

    a.file = "take.wav";
    p = plan(a);
    EXPECT_TRUE(hasNote(p, "--title is not kept in a WAV recording"));
}

TEST_F(PlanTest, AWmaProfileOfAnotherFormatConvertsTheRecording) {
    RecordArguments a;
    a.file = "take.wma";
    a.wmaProfile = 0;  // 8 kHz mono
    a.wmaAuthor = "Ann";
    a.wmaGenre = 2;
    RecordingPlan p = plan(a);
    ASSERT_TRUE(p.ok()) << p.detail;
    EXPECT_TRUE(hasNote(p, "WMA profile 0 \"Voice Audio 8 kHz mono 24 kbit/s\" takes 8000 Hz "
                           "mono: the recording is converted to it"));
    a.rate = 8000;
    a.channels = 1;
    p = plan(a);
    ASSERT_TRUE(p.ok()) << p.detail;
    EXPECT_FALSE(hasNote(p, "converted"));
    EXPECT_EQ(p.encoder.wmaProfile, 0);
    EXPECT_EQ(p.encoder.wmaAttributes.artist, "Ann");
    EXPECT_EQ(p.encoder.wmaAttributes.genre, "Country");
}

TEST_F(PlanTest, EffectsTakeTheirStoredSettingsHeldToTheWindowsRanges) {
    m_settings.writeNumber(setting::kNoiseThreshold, 60);
    m_settings.writeNumber(setting::kReleaseTime, 3);
    m_settings.writeNumber(setting::kLowPass, 5000);
    m_settings.writeNumber(setting::kHighPass, 300);
    m_settings.writeThreshold(20);
    m_settings.writeNewFileDelay(4);
    RecordArguments a;
    a.gate = true;
    a.lowPass = true;
    RecordingPlan p = plan(a);
    const ProcessingSettings& s = p.processing;
    EXPECT_TRUE(s.noiseGate);
    EXPECT_EQ(s.gateThreshold, 47);
    EXPECT_EQ(s.gateReleaseSeconds, 3);
    EXPECT_TRUE(s.lowPass);
    EXPECT_EQ(s.lowPassHz, 10000);
    EXPECT_FALSE(s.highPass);
    EXPECT_EQ(s.highPassHz, 300);
    EXPECT_FALSE(s.signalActivated);
    EXPECT_EQ(s.threshold, 20);

    a.signalThreshold = 30;
    a.bits = 8;
    p = plan(a);
    EXPECT_TRUE(p.processing.signalActivated);
    EXPECT_EQ(p.processing.threshold, 30);
    EXPECT_EQ(p.processing.silenceDelaySeconds, 4);
    EXPECT_TRUE(hasNote(p, "the filters work on 16-bit recordings only"));
}

}  // namespace
}  // namespace orvel
