#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTimer>
#include <chrono>
#include <cmath>
#include <mutex>
#include <thread>

#include "../playback/TestMedia.h"
#include "audio/CaptureEngine.h"
#include "audio/WavReader.h"
#include "platform/SoundServer.h"
#include "playback/BackgroundMixer.h"
#include "playback/BackgroundMusic.h"
#include "playback/MediaPlayer.h"
#include "support/Signal.h"
#include "support/TempDir.h"
#include "support/WavData.h"

// The player and background music against the private sound server: what is played reaches
// the speakers' mix, and background music is mixed into recordings of the tone line.
namespace orvel {
namespace {

using namespace std::chrono_literals;
using test::TempDir;
using test::waitFor;
using test::writeMedia;

const AudioFormat kCd{2, 44100, 16};

std::vector<std::vector<double>> wavChannels(const std::string& path, AudioFormat* format) {
    WavInfo info;
    const auto data = test::wavPcm(path, &info);
    if (!info.ok()) {
        return {};
    }
    *format = info.audioFormat();
    std::vector<std::vector<double>> channels;
    for (int c = 0; c < format->channels; ++c) {
        channels.push_back(test::channelSamples(data, format->channels, format->bitsPerSample, c));
    }
    return channels;
}

// Keeps what a capture source delivers.
class Keeper : public CaptureConsumer {
public:
    void onCapturedData(const std::uint8_t* data, std::size_t bytes) override {
        std::lock_guard lock(m_mutex);
        if (data == nullptr) {
            m_pcm.insert(m_pcm.end(), bytes, 0);
        } else {
            m_pcm.insert(m_pcm.end(), data, data + bytes);
        }
    }
    void onCaptureEnded(CaptureEnd, const std::string&) override {}
    std::size_t waitForRoom(std::size_t wanted, std::chrono::milliseconds) override {
        return wanted;
    }
    std::vector<std::uint8_t> pcm() {
        std::lock_guard lock(m_mutex);
        return m_pcm;
    }
    std::size_t bytes() {
        std::lock_guard lock(m_mutex);
        return m_pcm.size();
    }

private:
    std::mutex m_mutex;
    std::vector<std::uint8_t> m_pcm;
};

class OnServer : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        m_server = platform::connectSoundServer(&error);
        ASSERT_NE(m_server, nullptr) << error;
    }

    platform::SoundLine line(const std::string& source) {
        for (const platform::SoundDevice& device : m_server->devices()) {
            for (const platform::SoundLine& l : device.lines) {
                if (l.sourceName == source) {
                    return l;
                }
            }
        }
        ADD_FAILURE() << source << " is not a line of the server";
        return {};
    }

    // Records `seconds` of a line through the engine, with background music when `settings`
    // names a file; the result of the background's start through `background`.
    std::vector<std::vector<double>> record(const std::string& source, const AudioFormat& format,
                                            double seconds, const BackgroundSettings* settings,
                                            StartResult* background, AudioFormat* recorded) {
        MediaPlayer player(MediaPlayer::streamsOf(*m_server));
        BackgroundMusic music(player);
        CaptureEngine engine;
        CaptureOptions options;
        options.format = format;
        options.fileName = m_dir.file("take.wav");
        options.ringCapacity = ringCapacity(160000, availablePhysicalMemory());
        if (settings != nullptr) {
            options.background = std::make_shared<BackgroundMixer>(*settings);
        }
        EXPECT_EQ(engine.start(m_server->createCaptureSource(line(source)), options),
                  StartResult::Ok);
        if (settings != nullptr) {
            *background = music.startRecording(*settings, engine);
            music.waitForFirstBlock(100ms);
        }
        const auto blockSeconds =
            double(CaptureEngine::blockSizeFor(format, false)) / format.bytesPerSecond();
        int blocks = 0;
        QObject::connect(&engine, &CaptureEngine::blockHandled, [&] {
            if (++blocks == static_cast<int>(std::ceil(seconds / blockSeconds))) {
                engine.stop();
            }
        });
        EXPECT_TRUE(engine.waitUntilIdle(std::chrono::milliseconds(int(seconds * 1000) + 10000)));
        return wavChannels(options.fileName, recorded);
    }

    TempDir m_dir;
    std::unique_ptr<platform::SoundServer> m_server;
};

TEST_F(OnServer, APlayedFileReachesTheSpeakersAtTheSetVolume) {
    const std::string file = m_dir.file("tone.mp3");
    ASSERT_TRUE(
        writeMedia(file, OutputFormat::Mp3, kCd, test::sinePcm(1000, -6, 3.0, 44100, 2, 16)));
    std::unique_ptr<CaptureSource> speakers =
        m_server->createCaptureSource(line("speakers.monitor"));
    Keeper kept;
    std::string error;
    ASSERT_TRUE(speakers->start(kCd, &kept, &error)) << error;
    // The mix's first piece may take up to two seconds.
    ASSERT_TRUE(waitFor([&] { return kept.bytes() > 0; }, 4s));

    MediaPlayer player(MediaPlayer::streamsOf(*m_server));
    QSignalSpy ended(&player, &MediaPlayer::endOfStream);
    ASSERT_EQ(player.open(file), MediaError::None);
    EXPECT_NEAR(player.duration(), 3000, 40);
    std::int64_t quietAt = 0;
    ASSERT_TRUE(player.run());
    // The first half at full volume, the second at scale 50 (-25 dB).
    ASSERT_TRUE(waitFor([&] { return player.position() >= 1500; }, 5s));
    quietAt = static_cast<std::int64_t>(kept.bytes());
    player.setVolume(50);
    std::int64_t last = player.position();
    bool monotonic = true;
    ASSERT_TRUE(waitFor(
        [&] {
            const std::int64_t now = player.position();
            monotonic = monotonic && (now >= last || ended.count() > 0);
            last = now;
            return ended.count() > 0;
        },
        5s));
    EXPECT_TRUE(monotonic);
    EXPECT_EQ(player.state(), MediaPlayer::Stopped);
    EXPECT_EQ(player.position(), 0);
    std::this_thread::sleep_for(300ms);
    speakers->stop();

    const auto left = test::channelSamples(kept.pcm(), 2, 16, 0);
    const auto split = static_cast<std::size_t>(quietAt / 4);
    const std::vector<double> loud =
        test::loudPart(std::vector<double>(left.begin(), left.begin() + split), 0.3, 4410);
    ASSERT_GT(loud.size(), 22050u);
    EXPECT_NEAR(test::peakDbfs(loud), -6.0, 1.0);
    EXPECT_NEAR(test::zeroCrossingFrequency(loud, 44100), 1000.0, 5.0);
    const std::vector<double> quiet =
        test::loudPart(std::vector<double>(left.begin() + split + 22050, left.end()), 0.01, 4410);
    ASSERT_GT(quiet.size(), 22050u);
    EXPECT_NEAR(test::peakDbfs(quiet), -31.0, 1.5);
}

// The tone line is 440 Hz at -6 dBFS (amplitude 0.5); the background file 1000 Hz at -12 dBFS.
class BackgroundOnTheToneLine : public OnServer, public ::testing::WithParamInterface<int> {};

TEST_P(BackgroundOnTheToneLine, BothTonesAtTheLevelsTheScalePredicts) {
    const int scale = GetParam();
    BackgroundSettings settings;
    settings.file = m_dir.file("music.wma");
    ASSERT_TRUE(writeMedia(settings.file, OutputFormat::Wma, kCd,
                           test::sinePcm(1000, -12, 5.0, 44100, 2, 16)));
    settings.scale = scale;
    settings.preview = false;
    StartResult background = StartResult::MemError;
    AudioFormat recorded;
    const auto channels = record("tone", kCd, 4.0, &settings, &background, &recorded);
    EXPECT_EQ(background, StartResult::Ok);
    ASSERT_EQ(channels.size(), 2u);
    EXPECT_EQ(recorded, kCd);
    for (const auto& channel : channels) {
        // At least the time asked; the sound captured up to the stop comes on top.
        EXPECT_GE(channel.size(), 4.0 * 44100);
        EXPECT_LE(channel.size(), 4.3 * 44100);
        // The background comes in as late as the speakers' stream starts (up to 1.5 s on the
        // test server), and what the recording holds beyond it at the stop is mixed against
        // silence: the span from 0.2 s to 2 s has both whatever the server's start-up lag.
        const std::vector<double> steady(channel.begin() + 8820, channel.begin() + 88200);
        EXPECT_NEAR(test::toneAmplitude(steady, 44100, 440), 0.5 * 2 * (100 - scale) / 100, 0.03);
        EXPECT_NEAR(test::toneAmplitude(steady, 44100, 1000), 0.2512 * 2 * scale / 100, 0.03);
    }
}

INSTANTIATE_TEST_SUITE_P(Scales, BackgroundOnTheToneLine, ::testing::Values(50, 25));

TEST_F(OnServer, EightBitRecordingsRecordWithoutBackground) {
    BackgroundSettings settings;
    settings.file = m_dir.file("music.wav");
    ASSERT_TRUE(writeMedia(settings.file, OutputFormat::Wav, kCd,
                           test::sinePcm(1000, -6, 3.0, 44100, 2, 16)));
    settings.scale = 50;
    settings.preview = false;
    StartResult background = StartResult::MemError;
    AudioFormat recorded;
    const auto channels = record("tone", {2, 22050, 8}, 1.0, &settings, &background, &recorded);
    EXPECT_EQ(background, StartResult::Ok);
    ASSERT_EQ(channels.size(), 2u);
    EXPECT_EQ(recorded, (AudioFormat{2, 22050, 8}));
    EXPECT_NEAR(test::toneAmplitude(channels[0], 22050, 440), 0.5, 0.03);
    EXPECT_LT(test::toneAmplitude(channels[0], 22050, 1000), 0.01);
}

TEST_F(OnServer, ADamagedBackgroundFileLeavesTheRecordingGoingOn) {
    BackgroundSettings settings;
    settings.file = m_dir.file("damaged.wma");
    m_dir.write("damaged.wma",
                std::string("0&\xb2\x75\x8e\x66\xcf\x11", 8) + std::string(3000, 'x'));
    StartResult background = StartResult::Ok;
    AudioFormat recorded;
    const auto channels = record("tone", kCd, 1.5, &settings, &background, &recorded);
    EXPECT_EQ(background, StartResult::BackgroundError);
    ASSERT_EQ(channels.size(), 2u);
    EXPECT_GE(channels[0].size(), 1.5 * 44100);
    EXPECT_LE(channels[0].size(), 1.8 * 44100);
    // Mixed against silence at the recording's gain (1 at scale 50).
    EXPECT_NEAR(test::toneAmplitude(channels[0], 44100, 440), 0.5, 0.03);
}

}  // namespace
}  // namespace orvel
