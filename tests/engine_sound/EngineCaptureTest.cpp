#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>

#include "EngineSoundSupport.h"
#include "devices/DeviceList.h"
#include "devices/MixerControl.h"
#include "support/Signal.h"
#include "support/TempDir.h"

namespace orvel {

void PrintTo(const AudioFormat& format, std::ostream* out) {
    *out << format.sampleRate << " Hz, " << format.bitsPerSample << " bits, " << format.channels
         << " channels";
}

namespace {

using namespace std::chrono_literals;

class EngineOnServer : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        m_server = platform::connectSoundServer(&error);
        ASSERT_NE(m_server, nullptr) << error;
    }

    platform::SoundLine line(const std::string& source) {
        const std::optional<platform::SoundLine> found = test::findLine(*m_server, source);
        EXPECT_TRUE(found) << source << " is not a line of the server";
        return found.value_or(platform::SoundLine{});
    }

    CaptureOptions options(const AudioFormat& format, const std::string& name,
                           bool shortBlocks = false) {
        CaptureOptions o;
        o.format = format;
        o.fileName = m_dir.file(name);
        o.shortBlocks = shortBlocks;
        return o;
    }

    test::TempDir m_dir;
    std::unique_ptr<platform::SoundServer> m_server;
};

// The tone line (440 Hz, -6 dBFS peak) recorded for two seconds in the recording's own format.
class ToneRecording : public EngineOnServer, public ::testing::WithParamInterface<AudioFormat> {};

TEST_P(ToneRecording, HoldsTheToneAtItsLevelForTheAskedTime) {
    const AudioFormat format = GetParam();
    const CaptureOptions o = options(format, "tone.wav");
    const test::EngineRun run = test::recordWithEngine(*m_server, line("tone"), o, 2.0);
    ASSERT_EQ(run.result, StartResult::Ok);
    ASSERT_TRUE(run.finished);
    EXPECT_TRUE(run.finishedOk);

    const test::WavSamples wav = test::readWav(o.fileName);
    ASSERT_TRUE(wav.info.ok());
    EXPECT_FALSE(wav.info.sizeRecovered);
    EXPECT_EQ(wav.info.audioFormat(), format);
    // Two seconds, rounded up to whole blocks.
    const double block =
        CaptureEngine::blockSizeFor(format, false) / static_cast<double>(format.bytesPerSecond());
    EXPECT_GE(wav.seconds(), 2.0 - 0.01);
    EXPECT_LE(wav.seconds(), 2.0 + block + 0.01);
    for (const std::vector<double>& channel : wav.channels) {
        EXPECT_NEAR(test::peakDbfs(channel), -6.0, 1.0);
        EXPECT_NEAR(test::zeroCrossingFrequency(channel, format.sampleRate), 440.0, 4.0);
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, ToneRecording,
                         ::testing::Values(AudioFormat{2, 44100, 16}, AudioFormat{2, 11025, 8}));

TEST_F(EngineOnServer, TheSpeakersMixHoldsWhatIsPlayed) {
    const AudioFormat format{2, 44100, 16};
    std::string error;
    std::unique_ptr<platform::PlaybackStream> playback = m_server->createPlayback(format, &error);
    ASSERT_NE(playback, nullptr) << error;
    // A 1 kHz tone kept flowing into the speakers for as long as the recording runs.
    const std::vector<std::uint8_t> tone = test::sinePcm(1000, -6, 1.0, 44100, 2, 16);
    std::size_t at = 0;
    auto feed = [&] {
        std::size_t room = playback->writableBytes();
        while (room > 0) {
            const std::size_t n = std::min(room, tone.size() - at) / 4 * 4;
            if (n == 0 || !playback->write(tone.data() + at, n)) {
                break;
            }
            at = (at + n) % tone.size();
            room -= n;
        }
    };
    feed();
    const platform::SoundLine mix = line("speakers.monitor");
    EXPECT_TRUE(mix.monitor);
    const CaptureOptions o = options(format, "mix.wav");
    const test::EngineRun run = test::recordWithEngine(*m_server, mix, o, 3.0, feed);
    ASSERT_EQ(run.result, StartResult::Ok);
    ASSERT_TRUE(run.finishedOk);
    playback.reset();

    const test::WavSamples wav = test::readWav(o.fileName);
    ASSERT_EQ(wav.channels.size(), 2u);
    const std::vector<double> loud = test::loudPart(wav.channels[0], 0.1, 441);
    ASSERT_GT(loud.size(), 44100u) << "less than a second of the tone was recorded";
    EXPECT_NEAR(test::zeroCrossingFrequency(loud, 44100), 1000.0, 5.0);
    EXPECT_NEAR(test::peakDbfs(loud), -6.0, 1.0);
    EXPECT_NEAR(test::toneAmplitude(loud, 44100, 1000), 0.5, 0.05);
}

// The recording-line test's own recording: 11025 Hz, 8 bits, stereo, short blocks straight to
// the file, measured from byte 4096 on.
TEST_F(EngineOnServer, TheSilentLineMeasuresBelowTheFoundLevelAndTheToneAbove) {
    const AudioFormat test{2, 11025, 8};
    const CaptureOptions quiet = options(test, "AudioTestRec1.wav", true);
    const test::EngineRun silent = test::recordWithEngine(*m_server, line("silence"), quiet, 1.0);
    ASSERT_TRUE(silent.finishedOk);
    const int silentLevel = MixerControl::measureTestFile(quiet.fileName);
    EXPECT_GE(silentLevel, 0);
    EXPECT_LT(silentLevel, 6);

    const CaptureOptions loud = options(test, "AudioTestRec0.wav", true);
    const test::EngineRun tone = test::recordWithEngine(*m_server, line("tone"), loud, 1.0);
    ASSERT_TRUE(tone.finishedOk);
    // A -6 dBFS sine: on average 2/pi of its 64-step peak away from silence.
    EXPECT_NEAR(MixerControl::measureTestFile(loud.fileName), 40, 3);
}

// The line test as the recorder runs it on the speakers' mix: select, record, announce.
TEST_F(EngineOnServer, AnAnnouncedLineIsHeardOnTheSpeakersMix) {
    DeviceList devices(*m_server);
    devices.refresh();
    const auto indexes = test::findLineIndexes(*m_server, "speakers.monitor");
    ASSERT_TRUE(indexes);
    ASSERT_TRUE(devices.selectRow(indexes->first));
    MixerControl mixer(*m_server, devices);
    ASSERT_TRUE(mixer.selectLine(indexes->second));
    EXPECT_TRUE(mixer.isLineEnabled(indexes->second));

    const CaptureOptions o = options(AudioFormat{2, 11025, 8}, "announced.wav", true);
    bool announced = false;
    const test::EngineRun run =
        test::recordWithEngine(*m_server, *mixer.line(indexes->second), o, 2.0, [&] {
            if (!announced) {
                announced = mixer.announceLine(indexes->second);
            }
        });
    ASSERT_TRUE(run.finishedOk);
    EXPECT_TRUE(announced);
    const test::WavSamples wav = test::readWav(o.fileName);
    ASSERT_FALSE(wav.channels.empty());
    // The spoken clip peaks at -3 dBFS; the mix is silent without it.
    EXPECT_GT(test::peakDbfs(wav.channels[0]), -12.0);
}

}  // namespace
}  // namespace orvel
