#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <thread>

#include "SoundTestSupport.h"
#include "platform/SoundServer.h"
#include "support/Signal.h"

namespace orvel::platform {
namespace {

using namespace std::chrono_literals;
using test::RecordingConsumer;

const AudioFormat kCd{2, 44100, 16};

int sinkInputCount() {
    const std::optional<std::string> listed = test::pactl({"list", "short", "sink-inputs"});
    if (!listed) {
        return -1;
    }
    return listed->empty() ? 0
                           : static_cast<int>(std::count(listed->begin(), listed->end(), '\n')) + 1;
}

// Plays the PCM completely through the stream, as the player does: wait, write what fits.
bool playAll(PlaybackStream& stream, const std::vector<std::uint8_t>& pcm) {
    std::size_t at = 0;
    while (at < pcm.size()) {
        const std::size_t room = stream.waitWritable(1000ms);
        if (stream.failed() || room == 0) {
            return false;
        }
        const std::size_t count = std::min(room, pcm.size() - at);
        if (!stream.write(pcm.data() + at, count)) {
            return false;
        }
        at += count;
    }
    return true;
}

// Records the speakers' mix while something plays, and finds the loud part in it.
class SpeakersRecording {
public:
    explicit SpeakersRecording(SoundServer& server)
        : m_capture(server.createCaptureSource({"", "speakers.monitor", "", true})) {
        std::string error;
        m_started = m_capture->start(kCd, &m_consumer, &error);
        // The mix's first piece may take up to two seconds.
        m_started = m_started && m_consumer.waitForBytes(1, 4000ms);
    }
    bool started() const { return m_started; }
    std::vector<double> stop() {
        m_capture->stop();
        return test::channelSamples(m_consumer.pcm(), 2, 16, 0);
    }

private:
    RecordingConsumer m_consumer;
    std::unique_ptr<CaptureSource> m_capture;
    bool m_started = false;
};

class PlaybackTest : public test::ConnectedTest {};

TEST_F(PlaybackTest, PlayedToneReachesTheSpeakersAndThePositionFollows) {
    SpeakersRecording speakers(*m_server);
    ASSERT_TRUE(speakers.started());
    std::string error;
    std::unique_ptr<PlaybackStream> stream = m_server->createPlayback(kCd, &error);
    ASSERT_NE(stream, nullptr) << error;
    EXPECT_EQ(stream->playedMicroseconds(), 0);

    const std::vector<std::uint8_t> tone = test::sinePcm(1000.0, -6.0, 2.0, 44100, 2, 16);
    std::int64_t previous = 0;
    bool monotonic = true;
    std::size_t at = 0;
    while (at < tone.size()) {
        ASSERT_GT(stream->waitWritable(1000ms), 0u);
        const std::size_t count = std::min<std::size_t>(stream->writableBytes(), tone.size() - at);
        ASSERT_TRUE(stream->write(tone.data() + at, count));
        at += count;
        const std::int64_t played = stream->playedMicroseconds();
        monotonic = monotonic && played >= previous;
        previous = played;
    }
    EXPECT_TRUE(monotonic);
    ASSERT_TRUE(stream->drain(5000ms));
    EXPECT_FALSE(stream->failed());
    // Drained means handed to the sink; its last part is heard a sink's delay later.
    std::this_thread::sleep_for(400ms);
    EXPECT_NEAR(static_cast<double>(stream->playedMicroseconds()), 2e6, 0.02e6);

    // The test server's sink may drop the first moments of a stream from its monitor when it
    // rewinds to mix the stream in: most of the tone is heard, none of it twice.
    const std::vector<double> heard = test::loudPart(speakers.stop(), 0.05, 2205);
    ASSERT_GT(heard.size(), 44100u);
    EXPECT_GE(heard.size(), 1.75 * 44100 - 2 * 2205);
    EXPECT_LE(heard.size(), 2.0 * 44100 - 2 * 2205 + 441);
    EXPECT_NEAR(test::zeroCrossingFrequency(heard, 44100), 1000.0, 2.0);
    EXPECT_NEAR(test::peakDbfs(heard), -6.0, 0.5);
}

TEST_F(PlaybackTest, VolumeInDecibelsAndMuteApplyToTheStream) {
    SpeakersRecording speakers(*m_server);
    ASSERT_TRUE(speakers.started());
    std::string error;
    std::unique_ptr<PlaybackStream> stream = m_server->createPlayback(kCd, &error);
    ASSERT_NE(stream, nullptr) << error;
    stream->setVolumeDb(-20.0);
    // Odd write sizes split frames: the stream keeps them whole.
    const std::vector<std::uint8_t> tone = test::sinePcm(1000.0, -6.0, 1.5, 44100, 2, 16);
    for (std::size_t at = 0; at < tone.size(); at += 4097) {
        ASSERT_GT(stream->waitWritable(2000ms), 0u);
        ASSERT_TRUE(stream->write(tone.data() + at, std::min<std::size_t>(4097, tone.size() - at)));
    }
    ASSERT_TRUE(stream->drain(5000ms));
    stream->setMuted(true);
    stream->setVolumeDb(0.0);
    ASSERT_TRUE(playAll(*stream, test::sinePcm(1000.0, -6.0, 0.5, 44100, 2, 16)));
    ASSERT_TRUE(stream->drain(5000ms));
    std::this_thread::sleep_for(400ms);

    const std::vector<double> heard = test::loudPart(speakers.stop(), 0.01, 2205);
    ASSERT_GT(heard.size(), 44100u / 2);
    EXPECT_NEAR(test::peakDbfs(heard), -26.0, 0.5);
    EXPECT_NEAR(test::zeroCrossingFrequency(heard, 44100), 1000.0, 2.0);
    // The muted part is not there: the loud part ends with the -20 dB tone.
    EXPECT_LE(heard.size(), 1.5 * 44100 - 2 * 2205 + 441);
    EXPECT_GE(heard.size(), 1.25 * 44100 - 2 * 2205);
}

TEST_F(PlaybackTest, PauseHoldsAndFlushRestartsThePosition) {
    std::string error;
    std::unique_ptr<PlaybackStream> stream = m_server->createPlayback(kCd, &error);
    ASSERT_NE(stream, nullptr) << error;
    const std::vector<std::uint8_t> piece(kCd.bytesPerSecond() / 10, 0);
    // Feeds silence until the position passes the mark. An idle sink may take up to two
    // seconds to start playing.
    auto feedUntilPlayed = [&](std::int64_t mark) {
        const auto until = std::chrono::steady_clock::now() + 5s;
        while (stream->playedMicroseconds() <= mark) {
            if (std::chrono::steady_clock::now() > until || stream->failed()) {
                return false;
            }
            const std::size_t room = std::min(stream->waitWritable(50ms), piece.size());
            if (room > 0 && !stream->write(piece.data(), room)) {
                return false;
            }
        }
        return true;
    };
    ASSERT_TRUE(feedUntilPlayed(200000));

    stream->setPaused(true);
    std::this_thread::sleep_for(200ms);
    const std::int64_t paused = stream->playedMicroseconds();
    std::this_thread::sleep_for(400ms);
    EXPECT_LE(stream->playedMicroseconds() - paused, 50000);

    // After a flush the position counts only what is written from then on, and all of it.
    stream->setPaused(false);
    stream->flush();
    EXPECT_EQ(stream->playedMicroseconds(), 0);
    ASSERT_TRUE(playAll(*stream, std::vector<std::uint8_t>(kCd.bytesPerSecond(), 0)));
    ASSERT_TRUE(stream->drain(5000ms));
    std::this_thread::sleep_for(400ms);
    EXPECT_NEAR(static_cast<double>(stream->playedMicroseconds()), 1e6, 0.02e6);
}

TEST_F(PlaybackTest, ShortSoundsPlayOnTheirOwnAndAreDisposedOf) {
    const int before = sinkInputCount();
    ASSERT_GE(before, 0);
    SpeakersRecording speakers(*m_server);
    ASSERT_TRUE(speakers.started());

    // A new sound ends the one still playing, as the system's sound call does.
    EXPECT_TRUE(m_server->playSound(kCd, test::sinePcm(500.0, -6.0, 5.0, 44100, 2, 16)));
    std::this_thread::sleep_for(300ms);
    EXPECT_TRUE(m_server->playSound(kCd, test::sinePcm(1000.0, -6.0, 0.4, 44100, 2, 16)));
    std::this_thread::sleep_for(1500ms);
    EXPECT_EQ(sinkInputCount(), before);
    const std::vector<double> heard = speakers.stop();
    const std::vector<double> tail(heard.end() - std::min<std::size_t>(heard.size(), 44100),
                                   heard.end());
    // The last second holds the end of the short sound and then silence, no 500 Hz.
    EXPECT_LT(test::toneAmplitude(tail, 44100, 500.0), 0.001);
    const std::vector<double> loud = test::loudPart(heard, 0.05, 441);
    ASSERT_GT(loud.size(), 4410u);
    const std::vector<double> last(loud.end() - 4410, loud.end());
    EXPECT_NEAR(test::zeroCrossingFrequency(last, 44100), 1000.0, 10.0);

    // Nothing to play is not a failure; a format the recorder does not use is.
    EXPECT_TRUE(m_server->playSound(kCd, {}));
    EXPECT_FALSE(m_server->playSound(AudioFormat{2, 44100, 24}, {0, 0, 0, 0, 0, 0}));
}

TEST_F(PlaybackTest, RefusesFormatsTheRecorderDoesNotUse) {
    std::string error;
    EXPECT_EQ(m_server->createPlayback(AudioFormat{3, 44100, 16}, &error), nullptr);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(m_server->createPlayback(AudioFormat{2, 0, 16}, &error), nullptr);
}

}  // namespace
}  // namespace orvel::platform
