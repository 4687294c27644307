#include <gtest/gtest.h>

#include <QSignalSpy>
#include <chrono>
#include <thread>

#include "FakeStream.h"
#include "TestMedia.h"
#include "audio/CaptureEngine.h"
#include "audio/WavFileCaptureSource.h"
#include "audio/WavReader.h"
#include "playback/BackgroundMixer.h"
#include "playback/BackgroundMusic.h"
#include "playback/MediaPlayer.h"
#include "support/Signal.h"
#include "support/TempDir.h"
#include "support/WavData.h"

namespace orvel {
namespace {

using namespace std::chrono_literals;
using test::TempDir;

const AudioFormat kCd{2, 44100, 16};

// What detection leaves of the recording's 16-bit PCM.
std::vector<std::uint8_t> measured(std::vector<std::uint8_t> pcm) {
    return test::floorSilenced(std::move(pcm), kCd);
}

std::shared_ptr<const BackgroundMix> mixerFor(int scale) {
    BackgroundSettings settings;
    settings.scale = scale;
    return std::make_shared<BackgroundMixer>(settings);
}

// Records a file through the capture engine with background music; `feed` runs right after
// the start, before any block was handled, and may queue background or end it.
class EngineMixing : public ::testing::Test {
protected:
    template <class Feed>
    std::vector<std::uint8_t> record(
        const std::vector<std::uint8_t>& pcm, const AudioFormat& format, CaptureOptions options,
        Feed feed, WavFileCaptureSource::Pacing pacing = WavFileCaptureSource::Pacing::AsTaken) {
        const std::string in = m_dir.file("in.wav");
        const std::string out = m_dir.file("out.wav");
        EXPECT_TRUE(test::writeMedia(in, OutputFormat::Wav, format, pcm));
        options.format = format;
        options.fileName = out;
        EXPECT_EQ(m_engine.start(std::make_unique<WavFileCaptureSource>(in, pacing), options),
                  StartResult::Ok);
        feed();
        EXPECT_TRUE(m_engine.waitUntilIdle(30s));
        return test::wavPcm(out);
    }

    TempDir m_dir;
    CaptureEngine m_engine;
};

TEST_F(EngineMixing, TheWriterMixesRecordingAndBackgroundAtTheScalesGains) {
    const auto recording = test::sinePcm(1000, -12, 1.0, 44100, 2, 16);
    const auto background = test::sinePcm(300, -12, 1.0, 44100, 2, 16);
    for (const int scale : {50, 25}) {
        CaptureOptions options;
        options.ringCapacity = 8 << 20;
        options.background = mixerFor(scale);
        const auto out = record(recording, kCd, options, [&] {
            EXPECT_TRUE(m_engine.mixesBackground());
            EXPECT_EQ(m_engine.queueBackground(background.data(), background.size()),
                      background.size());
        });
        ASSERT_EQ(out.size(), recording.size()) << "scale " << scale;
        const auto left = test::channelSamples(out, 2, 16, 0);
        const double amplitude = std::pow(10.0, -12 / 20.0);
        EXPECT_NEAR(test::toneAmplitude(left, 44100, 1000), amplitude * 2 * (100 - scale) / 100,
                    0.01);
        EXPECT_NEAR(test::toneAmplitude(left, 44100, 300), amplitude * 2 * scale / 100, 0.01);
        EXPECT_EQ(m_engine.backgroundSilenceBytes(), 0u);
        EXPECT_EQ(m_engine.droppedBytes(), 0u);
    }
}

TEST_F(EngineMixing, AfterTheBackgroundEndsTheRecordingGoesOnAgainstSilence) {
    const auto recording = test::sinePcm(1000, -12, 1.0, 44100, 2, 16);
    const auto background = test::sinePcm(300, -12, 0.4, 44100, 2, 16);
    CaptureOptions options;
    options.ringCapacity = 8 << 20;
    options.background = mixerFor(50);
    const auto out = record(recording, kCd, options, [&] {
        m_engine.queueBackground(background.data(), background.size());
        m_engine.endBackground();
        EXPECT_EQ(m_engine.queueBackground(background.data(), 4), 0u);
    });
    ASSERT_EQ(out.size(), recording.size());
    EXPECT_EQ(m_engine.backgroundSilenceBytes(), recording.size() - background.size());
    const auto left = test::channelSamples(out, 2, 16, 0);
    const std::vector<double> first(left.begin(), left.begin() + 17640);
    const std::vector<double> last(left.end() - 17640, left.end());
    EXPECT_GT(test::toneAmplitude(first, 44100, 300), 0.2);
    EXPECT_LT(test::toneAmplitude(last, 44100, 300), 0.01);
    EXPECT_NEAR(test::toneAmplitude(last, 44100, 1000), std::pow(10.0, -12 / 20.0), 0.01);
}

TEST_F(EngineMixing, ABackgroundThatNeverComesCostsTheRecordingNothing) {
    // A small ring, a source that fills it as fast as it can and no background at all: the
    // writer gives up waiting before the recording's ring overflows.
    const auto recording = test::sinePcm(1000, -12, 3.0, 44100, 2, 16);
    CaptureOptions options;
    options.ringCapacity = 160000;
    options.background = mixerFor(50);
    const auto out = record(recording, kCd, options, [] {});
    ASSERT_EQ(out.size(), recording.size());
    EXPECT_EQ(m_engine.droppedBytes(), 0u);
    EXPECT_EQ(m_engine.backgroundSilenceBytes(), recording.size());
    EXPECT_EQ(out, measured(recording));
}

TEST_F(EngineMixing, EightBitRecordingsAndRunsWithoutAFileTakeNoBackground) {
    const AudioFormat eight{2, 22050, 8};
    const auto recording = test::sinePcm(1000, -6, 0.5, 22050, 2, 8);
    CaptureOptions options;
    options.background = mixerFor(0);
    const auto out = record(recording, eight, options, [&] {
        EXPECT_FALSE(m_engine.mixesBackground());
        EXPECT_EQ(m_engine.queueBackground(recording.data(), 100), 0u);
    });
    EXPECT_EQ(out, recording);
}

// Background music through the player into a running recording. The speakers stand in at the
// sound's own pace, the recording comes from a file at its own pace.
class BackgroundRun : public ::testing::Test {
protected:
    BackgroundRun()
        : m_speakers(std::make_shared<test::FakeSpeakers>()),
          m_player(test::fakeStreams(m_speakers)),
          m_music(m_player) {
        m_speakers->pace = test::FakeSpeakers::Pace::RealTime;
    }

    StartResult startRecording(const std::vector<std::uint8_t>& pcm, const AudioFormat& format,
                               const BackgroundSettings& settings) {
        const std::string in = m_dir.file("line.wav");
        EXPECT_TRUE(test::writeMedia(in, OutputFormat::Wav, format, pcm));
        CaptureOptions options;
        options.format = format;
        options.fileName = m_dir.file("take.wav");
        options.ringCapacity = 8 << 20;
        options.background = std::make_shared<BackgroundMixer>(settings);
        EXPECT_EQ(m_engine.start(std::make_unique<WavFileCaptureSource>(
                                     in, WavFileCaptureSource::Pacing::RealTime),
                                 options),
                  StartResult::Ok);
        return m_music.startRecording(settings, m_engine);
    }

    TempDir m_dir;
    std::shared_ptr<test::FakeSpeakers> m_speakers;
    MediaPlayer m_player;
    BackgroundMusic m_music;
    CaptureEngine m_engine;
};

TEST_F(BackgroundRun, TheBackgroundFileIsMixedIntoTheRecording) {
    BackgroundSettings settings;
    settings.file = m_dir.file("music.mp3");
    ASSERT_TRUE(test::writeMedia(settings.file, OutputFormat::Mp3, kCd,
                                 test::sinePcm(300, -12, 3.0, 44100, 2, 16)));
    settings.scale = 50;
    settings.preview = false;
    ASSERT_EQ(startRecording(test::sinePcm(1000, -12, 1.5, 44100, 2, 16), kCd, settings),
              StartResult::Ok);
    EXPECT_TRUE(m_music.isActive());
    EXPECT_TRUE(m_music.waitForFirstBlock(2s));
    EXPECT_TRUE(m_speakers->isMuted());  // preview off: unheard
    ASSERT_TRUE(m_engine.waitUntilIdle(10s));
    EXPECT_FALSE(m_music.isActive());  // the end of the recording ended its background
    EXPECT_EQ(m_player.state(), MediaPlayer::Stopped);
    const auto left = test::channelSamples(test::wavPcm(m_dir.file("take.wav")), 2, 16, 0);
    ASSERT_NEAR(left.size(), 1.5 * 44100, 10);
    const std::vector<double> middle(left.begin() + 22050, left.end() - 4410);
    const double amplitude = std::pow(10.0, -12 / 20.0);
    EXPECT_NEAR(test::toneAmplitude(middle, 44100, 1000), amplitude, 0.02);
    EXPECT_NEAR(test::toneAmplitude(middle, 44100, 300), amplitude, 0.02);
}

TEST_F(BackgroundRun, TheEndOfTheFileStopsTheRecordingOrOnlyTheBackground) {
    BackgroundSettings settings;
    settings.file = m_dir.file("short.wav");
    ASSERT_TRUE(test::writeMedia(settings.file, OutputFormat::Wav, kCd,
                                 test::sinePcm(300, -12, 0.3, 44100, 2, 16)));
    settings.action = BackgroundSettings::StopRecording;
    QSignalSpy stopAsked(&m_music, &BackgroundMusic::stopRecordingRequested);
    QSignalSpy ended(&m_music, &BackgroundMusic::backgroundEnded);
    ASSERT_EQ(startRecording(test::sinePcm(1000, -12, 3.0, 44100, 2, 16), kCd, settings),
              StartResult::Ok);
    ASSERT_TRUE(stopAsked.wait(5000));
    EXPECT_EQ(ended.count(), 0);
    EXPECT_FALSE(m_music.isActive());
    EXPECT_TRUE(m_engine.backgroundEnded());
    m_engine.stop();
    ASSERT_TRUE(m_engine.waitUntilIdle(10s));

    settings.action = BackgroundSettings::StopBackground;
    ASSERT_EQ(startRecording(test::sinePcm(1000, -12, 1.2, 44100, 2, 16), kCd, settings),
              StartResult::Ok);
    ASSERT_TRUE(ended.wait(5000));
    EXPECT_EQ(stopAsked.count(), 1);
    EXPECT_TRUE(m_engine.isRunning());
    EXPECT_TRUE(m_engine.backgroundEnded());
    ASSERT_TRUE(m_engine.waitUntilIdle(10s));
    // The whole recording is there; the background only at its start.
    const auto left = test::channelSamples(test::wavPcm(m_dir.file("take.wav")), 2, 16, 0);
    ASSERT_NEAR(left.size(), 1.2 * 44100, 10);
    const std::vector<double> first(left.begin(), left.begin() + 8820);
    const std::vector<double> last(left.end() - 8820, left.end());
    EXPECT_GT(test::toneAmplitude(first, 44100, 300), 0.2);
    EXPECT_LT(test::toneAmplitude(last, 44100, 300), 0.01);
    EXPECT_GT(test::toneAmplitude(last, 44100, 1000), 0.2);
}

TEST_F(BackgroundRun, ABackgroundThatCannotBePlayedIsAWarningOnly) {
    BackgroundSettings settings;
    settings.file = m_dir.file("damaged.mp3");
    m_dir.write("damaged.mp3", std::string(4000, '\x7f'));
    const auto recording = test::sinePcm(1000, -12, 0.6, 44100, 2, 16);
    EXPECT_EQ(startRecording(recording, kCd, settings), StartResult::BackgroundError);
    EXPECT_EQ(messageKey(StartResult::BackgroundError), "BackgroundError");
    EXPECT_FALSE(m_music.isActive());
    EXPECT_TRUE(m_engine.isRunning());
    EXPECT_TRUE(m_engine.backgroundEnded());
    ASSERT_TRUE(m_engine.waitUntilIdle(10s));
    EXPECT_EQ(test::wavPcm(m_dir.file("take.wav")), measured(recording));

    settings.file = std::string(300, 'x') + ".mp3";  // longer than a background name may be
    EXPECT_EQ(startRecording(recording, kCd, settings), StartResult::BackgroundError);
    ASSERT_TRUE(m_engine.waitUntilIdle(10s));
    settings.file.clear();
    EXPECT_EQ(startRecording(recording, kCd, settings), StartResult::BackgroundError);
    ASSERT_TRUE(m_engine.waitUntilIdle(10s));
}

TEST_F(BackgroundRun, EightBitRecordingsStartNoBackground) {
    BackgroundSettings settings;
    settings.file = m_dir.file("music.wav");
    ASSERT_TRUE(test::writeMedia(settings.file, OutputFormat::Wav, kCd,
                                 test::sinePcm(300, -12, 1.0, 44100, 2, 16)));
    const AudioFormat eight{2, 22050, 8};
    const auto recording = test::sinePcm(1000, -6, 0.4, 22050, 2, 8);
    EXPECT_EQ(startRecording(recording, eight, settings), StartResult::Ok);
    EXPECT_FALSE(m_music.isActive());
    EXPECT_FALSE(m_player.isOpen());
    ASSERT_TRUE(m_engine.waitUntilIdle(10s));
    EXPECT_EQ(test::wavPcm(m_dir.file("take.wav")), recording);
}

TEST_F(BackgroundRun, PlaybackModeFeedsTheLevelsAndQueuesNothing) {
    const std::string file = m_dir.file("played.wav");
    ASSERT_TRUE(
        test::writeMedia(file, OutputFormat::Wav, kCd, test::toneFrom(0.4, 0.8, 1000, -6, kCd)));
    QSignalSpy finished(&m_music, &BackgroundMusic::playbackFinished);
    ASSERT_EQ(m_music.startPlayback(file, {1, 22050, 16}), MediaError::None);
    EXPECT_TRUE(m_music.playbackMode());
    EXPECT_EQ(m_player.volume(), 100);
    EXPECT_FALSE(m_speakers->isMuted());
    ASSERT_TRUE(finished.wait(5000));
    EXPECT_EQ(m_music.blocks(), 1u);  // 0.8 s of 22050 Hz mono is one block
    EXPECT_TRUE(m_music.signalPresent());
    // The last block: half silence, half a -6 dB tone (average amplitude 0.5 x 2/pi x 0.5).
    EXPECT_NEAR(m_music.levels().left, 32767 * 0.5 * 0.5 * 2 / 3.14159, 300);
    EXPECT_EQ(m_music.latestBlock().size(), 35280u);
    EXPECT_EQ(m_music.startPlayback(m_dir.file("absent.wav"), kCd), MediaError::NotFound);
    EXPECT_FALSE(m_music.isActive());
}

}  // namespace
}  // namespace orvel
