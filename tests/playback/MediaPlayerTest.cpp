#include "playback/MediaPlayer.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSignalSpy>
#include <chrono>
#include <thread>

#include "FakeStream.h"
#include "TestMedia.h"
#include "support/Signal.h"
#include "support/TempDir.h"

namespace orvel {
namespace {

using namespace std::chrono_literals;
using test::FakeSpeakers;
using test::TempDir;
using test::waitFor;

const AudioFormat kCd{2, 44100, 16};

class PlayerTest : public ::testing::Test {
protected:
    PlayerTest()
        : m_speakers(std::make_shared<FakeSpeakers>()), m_player(test::fakeStreams(m_speakers)) {}

    std::string makeFile(const std::string& name, OutputFormat format,
                         const std::vector<std::uint8_t>& pcm, const AudioFormat& audio = kCd) {
        const std::string path = m_dir.file(name);
        EXPECT_TRUE(test::writeMedia(path, format, audio, pcm));
        return path;
    }
    // Opens the file with a tap, plays it to its end and keeps every tap block.
    std::vector<std::vector<std::uint8_t>> tapWholeFile(const std::string& path,
                                                        const AudioFormat& tap) {
        std::vector<std::vector<std::uint8_t>> blocks;
        m_player.setTap(tap, [&](const std::uint8_t* data, std::size_t bytes) {
            blocks.emplace_back(data, data + bytes);
        });
        QSignalSpy ended(&m_player, &MediaPlayer::endOfStream);
        EXPECT_EQ(m_player.open(path), MediaError::None);
        EXPECT_TRUE(m_player.run());
        EXPECT_TRUE(waitFor([&] { return ended.count() > 0; }));
        return blocks;
    }

    TempDir m_dir;
    std::shared_ptr<FakeSpeakers> m_speakers;
    MediaPlayer m_player;
};

std::vector<std::uint8_t> joined(const std::vector<std::vector<std::uint8_t>>& blocks) {
    std::vector<std::uint8_t> all;
    for (const auto& b : blocks) {
        all.insert(all.end(), b.begin(), b.end());
    }
    return all;
}

struct TapCase {
    const char* file;
    OutputFormat format;
    AudioFormat tap;
};

class PlayerTap : public PlayerTest, public ::testing::WithParamInterface<TapCase> {};

TEST_P(PlayerTap, DecodedSoundArrivesInBlocksOfTheRequestedFormat) {
    const TapCase& c = GetParam();
    const std::string path = makeFile(c.file, c.format, test::toneFrom(0.5, 2.0, 440, -6, kCd));
    const auto blocks = tapWholeFile(path, c.tap);
    ASSERT_GE(blocks.size(), 1u);
    for (std::size_t i = 0; i + 1 < blocks.size(); ++i) {
        EXPECT_EQ(blocks[i].size(), MediaPlayer::kTapBlockBytes);
    }
    EXPECT_GT(blocks.back().size(), 0u);
    EXPECT_LE(blocks.back().size(), MediaPlayer::kTapBlockBytes);
    EXPECT_EQ(m_player.tapBlocks(), blocks.size());

    const auto pcm = joined(blocks);
    EXPECT_EQ(pcm.size() % static_cast<std::size_t>(c.tap.blockAlign()), 0u);
    EXPECT_NEAR(double(pcm.size()) / c.tap.bytesPerSecond(), 2.0, 0.06);
    const auto left = test::channelSamples(pcm, c.tap.channels, c.tap.bitsPerSample, 0);
    EXPECT_NEAR(test::onsetSample(left, 0.05) * 1000.0 / c.tap.sampleRate, 500.0, 1.0);
    const auto tone = test::loudPart(left, 0.1, 400);
    EXPECT_NEAR(test::zeroCrossingFrequency(tone, c.tap.sampleRate), 440.0, 3.0);
    EXPECT_NEAR(test::peakDbfs(tone), -6.0, 1.0);

    // The speakers heard the file in its own format, as much as the tap got.
    EXPECT_EQ(m_speakers->format, kCd);
    EXPECT_EQ(m_speakers->writtenTotal / kCd.bytesPerSecond(), pcm.size() / c.tap.bytesPerSecond());
}

INSTANTIATE_TEST_SUITE_P(Formats, PlayerTap,
                         ::testing::Values(TapCase{"a.wav", OutputFormat::Wav, {2, 44100, 16}},
                                           TapCase{"b.wav", OutputFormat::Wav, {1, 8000, 8}},
                                           TapCase{"c.mp3", OutputFormat::Mp3, {2, 22050, 16}},
                                           TapCase{"d.mp3", OutputFormat::Mp3, {1, 44100, 16}},
                                           TapCase{"e.wma", OutputFormat::Wma, {2, 48000, 16}},
                                           TapCase{"f.wma", OutputFormat::Wma, {2, 11025, 8}}));

class PlayerSeek : public PlayerTest, public ::testing::WithParamInterface<OutputFormat> {};

TEST_P(PlayerSeek, StartAtLandsWithinAMillisecondOfTheContent) {
    const char* names[] = {"s.wav", "s.mp3", "s.wma"};
    const std::string path = makeFile(names[static_cast<int>(GetParam())], GetParam(),
                                      test::toneFrom(1.0, 3.0, 1000, -6, kCd));
    QSignalSpy ended(&m_player, &MediaPlayer::endOfStream);
    ASSERT_EQ(m_player.open(path), MediaError::None);
    for (const int target : {900, 333, 980}) {
        const int flushes = m_speakers->flushes;
        ASSERT_TRUE(m_player.startAt(target));
        ASSERT_TRUE(waitFor([&] { return ended.count() > 0; }));
        ended.clear();
        // What the speakers got after the seek's flush starts at the target.
        EXPECT_GT(m_speakers->flushes, flushes);
        const auto left = test::channelSamples(m_speakers->lastSound(), 2, 16, 0);
        const double onsetMs = test::onsetSample(left, 0.05) * 1000.0 / 44100;
        EXPECT_NEAR(onsetMs, 1000.0 - target, 1.0) << "start at " << target;
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, PlayerSeek,
                         ::testing::Values(OutputFormat::Wav, OutputFormat::Mp3,
                                           OutputFormat::Wma));

TEST_F(PlayerTest, DurationTexts) {
    const std::string path = makeFile("long.wav", OutputFormat::Wav,
                                      std::vector<std::uint8_t>(std::size_t{2712150} * 4, 0));
    std::int64_t ms = 0;
    EXPECT_EQ(MediaPlayer::durationText(path, &ms), "01m:01.500s");
    EXPECT_EQ(ms, 61500);
    EXPECT_EQ(MediaPlayer::durationText(m_dir.file("absent.wav"), &ms), "<00:00.000>");
    EXPECT_EQ(ms, -1);
    EXPECT_EQ(MediaPlayer::formatDuration(-1), "<00:00.000>");
    EXPECT_EQ(MediaPlayer::formatDuration(0), "00m:00.000s");
    EXPECT_EQ(MediaPlayer::formatDuration(3599999), "59m:59.999s");
    EXPECT_EQ(MediaPlayer::formatDuration(6000000), "100m:00.000s");
}

TEST_F(PlayerTest, VolumeScaleMapsOntoFiftyDecibels) {
    EXPECT_DOUBLE_EQ(MediaPlayer::volumeDb(50), -25.0);
    EXPECT_DOUBLE_EQ(MediaPlayer::volumeDb(0), -50.0);
    EXPECT_DOUBLE_EQ(MediaPlayer::volumeDb(100), 0.0);
    EXPECT_DOUBLE_EQ(MediaPlayer::volumeDb(33), -33.5);
    EXPECT_DOUBLE_EQ(MediaPlayer::volumeDb(250), 0.0);

    const std::string path =
        makeFile("v.wav", OutputFormat::Wav, test::sinePcm(440, -6, 0.5, 44100, 2, 16));
    ASSERT_EQ(m_player.open(path), MediaError::None);
    m_player.setVolume(50);
    EXPECT_DOUBLE_EQ(m_speakers->lastVolume(), -25.0);
    EXPECT_FALSE(m_speakers->isMuted());
    m_player.mute();
    EXPECT_TRUE(m_speakers->isMuted());
    m_player.setVolume(80);
    EXPECT_FALSE(m_speakers->isMuted());
    EXPECT_DOUBLE_EQ(m_speakers->lastVolume(), -10.0);
    // Without preview the sound goes on, unheard; the volume comes back with it.
    m_player.setPreview(false);
    ASSERT_TRUE(m_player.run());
    EXPECT_TRUE(m_speakers->isMuted());
    m_player.setPreview(true);
    EXPECT_FALSE(m_speakers->isMuted());
    EXPECT_DOUBLE_EQ(m_speakers->lastVolume(), -10.0);
}

TEST_F(PlayerTest, EndOfStreamStopsAtTheStartWithoutRepeat) {
    const auto pcm = test::sinePcm(440, -6, 0.7, 44100, 2, 16);
    const std::string path = makeFile("e.wav", OutputFormat::Wav, pcm);
    QSignalSpy ended(&m_player, &MediaPlayer::endOfStream);
    ASSERT_EQ(m_player.open(path), MediaError::None);
    EXPECT_EQ(m_player.duration(), 700);
    ASSERT_TRUE(m_player.run());
    EXPECT_EQ(MediaPlayer::processState(), MediaPlayer::Running);
    ASSERT_TRUE(waitFor([&] { return ended.count() > 0; }));
    EXPECT_EQ(m_player.state(), MediaPlayer::Stopped);
    EXPECT_EQ(MediaPlayer::processState(), MediaPlayer::Stopped);
    EXPECT_EQ(m_player.position(), 0);
    EXPECT_EQ(m_speakers->writtenTotal, pcm.size());
    // Nothing more comes, and the file plays again from the start.
    QCoreApplication::processEvents();
    EXPECT_EQ(ended.count(), 1);
    ASSERT_TRUE(m_player.run());
    ASSERT_TRUE(waitFor([&] { return ended.count() == 2; }));
    EXPECT_EQ(m_speakers->writtenTotal, 2 * pcm.size());
}

TEST_F(PlayerTest, RepeatPlaysOnWithoutAGap) {
    const auto pcm = test::sinePcm(441, -6, 0.5, 44100, 2, 16);
    const std::string path = makeFile("r.wav", OutputFormat::Wav, pcm);
    QSignalSpy ended(&m_player, &MediaPlayer::endOfStream);
    std::uint64_t tapped = 0;
    m_player.setTap(kCd, [&](const std::uint8_t*, std::size_t bytes) { tapped += bytes; });
    ASSERT_EQ(m_player.open(path), MediaError::None);
    m_player.setRepeat(true);
    ASSERT_TRUE(m_player.run());
    ASSERT_TRUE(waitFor([&] { return m_speakers->writtenTotal > 4 * pcm.size(); }));
    EXPECT_EQ(ended.count(), 0);
    EXPECT_EQ(m_player.state(), MediaPlayer::Running);
    EXPECT_LT(m_player.position(), 500);
    // 441 Hz in 0.5 s is a whole number of periods: the loop joins without a click.
    const auto left = test::channelSamples(m_speakers->pcm(), 2, 16, 0);
    for (std::size_t i = 1; i < std::min<std::size_t>(left.size(), 4 * 22050); ++i) {
        ASSERT_LT(std::abs(left[i] - left[i - 1]), 0.04) << "at sample " << i;
    }
    m_player.setRepeat(false);
    ASSERT_TRUE(waitFor([&] { return ended.count() == 1; }));
    EXPECT_GT(tapped, 4 * pcm.size());
}

TEST_F(PlayerTest, SliderSeeksKeepThePlayState) {
    m_speakers->pace = FakeSpeakers::Pace::RealTime;
    const std::string path =
        makeFile("p.wav", OutputFormat::Wav, test::sinePcm(440, -6, 10.0, 44100, 2, 16));
    ASSERT_EQ(m_player.open(path), MediaError::None);

    // Stopped: a drag moves the position and leaves the player stopped.
    EXPECT_EQ(m_player.sliderScrolled(20, false), 2000);
    EXPECT_TRUE(m_player.dragging());
    EXPECT_EQ(m_player.sliderScrolled(30, true), 3000);
    EXPECT_FALSE(m_player.dragging());
    EXPECT_EQ(m_player.state(), MediaPlayer::Stopped);
    EXPECT_EQ(m_player.position(), 3000);
    QCoreApplication::processEvents();
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(m_player.state(), MediaPlayer::Stopped);
    EXPECT_EQ(m_player.position(), 3000);

    // Running: paused during the drag, running after it, from the new position.
    ASSERT_TRUE(m_player.run());
    std::this_thread::sleep_for(200ms);
    EXPECT_NEAR(m_player.position(), 3200, 120);
    m_player.sliderScrolled(50, false);
    EXPECT_EQ(m_player.state(), MediaPlayer::Paused);
    EXPECT_EQ(m_player.sliderScrolled(60, true), 6000);
    EXPECT_EQ(m_player.state(), MediaPlayer::Running);
    std::this_thread::sleep_for(200ms);
    EXPECT_NEAR(m_player.position(), 6200, 120);

    // Paused stays paused, at the new position.
    m_player.pause();
    m_player.sliderScrolled(10, true);
    EXPECT_EQ(m_player.state(), MediaPlayer::Paused);
    ASSERT_TRUE(waitFor([&] { return m_player.position() == 1000; }, 2s));
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(m_player.position(), 1000);
}

TEST_F(PlayerTest, PauseHoldsThePositionAndStopKeepsIt) {
    m_speakers->pace = FakeSpeakers::Pace::RealTime;
    const std::string path =
        makeFile("h.wav", OutputFormat::Wav, test::sinePcm(440, -6, 5.0, 44100, 2, 16));
    ASSERT_EQ(m_player.open(path), MediaError::None);
    ASSERT_TRUE(m_player.run());
    std::this_thread::sleep_for(300ms);
    m_player.toggle();
    EXPECT_EQ(m_player.state(), MediaPlayer::Paused);
    const std::int64_t held = m_player.position();
    EXPECT_NEAR(held, 300, 100);
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(m_player.position(), held);
    m_player.toggle();
    EXPECT_EQ(m_player.state(), MediaPlayer::Running);
    std::this_thread::sleep_for(200ms);
    EXPECT_NEAR(m_player.position(), held + 200, 100);
    m_player.stop();
    const std::int64_t stopped = m_player.position();
    EXPECT_EQ(m_player.state(), MediaPlayer::Stopped);
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(m_player.position(), stopped);
    // The sound queued at the stop is dropped; the next run starts where the sound stopped.
    ASSERT_TRUE(m_player.run());
    std::this_thread::sleep_for(100ms);
    EXPECT_NEAR(m_player.position(), stopped + 100, 80);
}

TEST_F(PlayerTest, FilesThatCannotBePlayedFailToOpen) {
    EXPECT_EQ(m_player.open(m_dir.file("absent.wav")), MediaError::NotFound);
    EXPECT_FALSE(m_player.isOpen());
    EXPECT_FALSE(m_player.run());
    EXPECT_EQ(m_player.state(), MediaPlayer::Stopped);
    m_dir.write("broken.mp3", std::string(20000, '\x33'));
    EXPECT_EQ(m_player.open(m_dir.file("broken.mp3")), MediaError::NotMedia);
    m_dir.write("broken.wma", "0&\xb2\x75\x8e\x66\xcf\x11 not really an ASF header");
    EXPECT_EQ(m_player.open(m_dir.file("broken.wma")), MediaError::NotMedia);
    EXPECT_FALSE(m_player.isOpen());
    EXPECT_EQ(m_player.position(), 0);
    EXPECT_EQ(m_player.duration(), -1);
    m_player.pause();
    m_player.stop();
    m_player.seekTo(100);
    EXPECT_EQ(m_player.sliderScrolled(50, true), 0);

    // A file that plays, but no sound output.
    const std::string good =
        makeFile("g.wav", OutputFormat::Wav, test::sinePcm(440, -6, 0.2, 44100, 2, 16));
    m_speakers->refuse = true;
    EXPECT_EQ(m_player.open(good), MediaError::NoOutput);
    EXPECT_FALSE(m_player.isOpen());
}

TEST_F(PlayerTest, ALostOutputStopsThePlayer) {
    m_speakers->pace = FakeSpeakers::Pace::RealTime;
    const std::string path =
        makeFile("l.wav", OutputFormat::Wav, test::sinePcm(440, -6, 5.0, 44100, 2, 16));
    QSignalSpy failed(&m_player, &MediaPlayer::failed);
    ASSERT_EQ(m_player.open(path), MediaError::None);
    ASSERT_TRUE(m_player.run());
    std::this_thread::sleep_for(100ms);
    {
        std::lock_guard lock(m_speakers->mutex);
        m_speakers->fail = true;
    }
    ASSERT_TRUE(waitFor([&] { return failed.count() == 1; }, 3s));
    EXPECT_EQ(m_player.state(), MediaPlayer::Stopped);
    EXPECT_FALSE(m_player.run());
}

TEST_F(PlayerTest, ReopeningAndClosingWhilePlaying) {
    m_speakers->pace = FakeSpeakers::Pace::RealTime;
    const std::string a =
        makeFile("a.wav", OutputFormat::Wav, test::sinePcm(440, -6, 3.0, 44100, 2, 16));
    const std::string b = makeFile("b.wav", OutputFormat::Wav,
                                   test::sinePcm(440, -6, 1.0, 22050, 1, 16), {1, 22050, 16});
    int blocks = 0;
    m_player.setTap(kCd, [&](const std::uint8_t*, std::size_t) { ++blocks; });
    ASSERT_EQ(m_player.open(a), MediaError::None);
    ASSERT_TRUE(m_player.run());
    std::this_thread::sleep_for(100ms);
    ASSERT_EQ(m_player.open(b), MediaError::None);
    EXPECT_EQ(m_player.state(), MediaPlayer::Stopped);
    EXPECT_EQ(m_player.outputFormat(), (AudioFormat{1, 22050, 16}));
    EXPECT_EQ(m_player.duration(), 1000);
    ASSERT_TRUE(m_player.run());
    std::this_thread::sleep_for(50ms);
    m_player.close();
    EXPECT_FALSE(m_player.isOpen());
    EXPECT_EQ(m_player.state(), MediaPlayer::Stopped);
    QCoreApplication::processEvents();  // late blocks of a closed file are not delivered
    const int seen = blocks;
    QCoreApplication::processEvents();
    EXPECT_EQ(blocks, seen);
}

}  // namespace
}  // namespace orvel
