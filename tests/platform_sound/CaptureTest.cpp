#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <ostream>
#include <thread>

#include "SoundTestSupport.h"
#include "platform/SoundServer.h"
#include "support/Signal.h"

namespace orvel {

// Names the format in test output instead of its bytes.
void PrintTo(const AudioFormat& format, std::ostream* out) {
    *out << format.sampleRate << " Hz, " << format.bitsPerSample << " bits, " << format.channels
         << " channels";
}

namespace platform {
namespace {

using namespace std::chrono_literals;
using test::RecordingConsumer;

SoundLine line(const std::string& source) {
    return {source, source, "", false};
}

AudioFormat format(int rate, int bits, int channels) {
    AudioFormat f;
    f.sampleRate = rate;
    f.bitsPerSample = bits;
    f.channels = channels;
    return f;
}

double seconds(RecordingConsumer::Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

class CaptureTest : public test::ConnectedTest {};

// The tone line: 440 Hz at about -6 dBFS peak, in whichever format the recording asks for, at
// the rate the clock says.
class ToneCapture : public CaptureTest, public ::testing::WithParamInterface<AudioFormat> {};

TEST_P(ToneCapture, DeliversTheToneAtItsLevelAndRate) {
    const AudioFormat f = GetParam();
    RecordingConsumer consumer(f.silenceByte());
    std::unique_ptr<CaptureSource> capture = m_server->createCaptureSource(line("tone"));
    std::string error;
    const auto asked = RecordingConsumer::Clock::now();
    ASSERT_TRUE(capture->start(f, &consumer, &error)) << error;
    EXPECT_LT(RecordingConsumer::Clock::now() - asked, 1s);
    ASSERT_TRUE(consumer.waitForBytes(1, 4s));
    std::this_thread::sleep_for(1500ms);
    capture->stop();
    const auto stopped = RecordingConsumer::Clock::now();

    const std::vector<RecordingConsumer::Piece> pieces = consumer.pieces();
    ASSERT_FALSE(pieces.empty());
    // Everything after the first piece was captured after it arrived, up to the stop.
    const double expected =
        static_cast<double>(pieces.front().bytes) +
        seconds(stopped - pieces.front().arrival) * static_cast<double>(f.bytesPerSecond());
    const double block = f.bytesPerSecond() / 10.0;
    EXPECT_NEAR(static_cast<double>(consumer.bytes()), expected, 1.5 * block);
    EXPECT_EQ(consumer.bytes() % static_cast<std::size_t>(f.blockAlign()), 0u);
    // Steady pieces, not bursts of seconds.
    for (std::size_t i = 1; i < pieces.size(); ++i) {
        EXPECT_LT(seconds(pieces[i].arrival - pieces[i - 1].arrival), 0.5) << "piece " << i;
    }

    const std::vector<std::uint8_t> pcm = consumer.pcm();
    for (int channel = 0; channel < f.channels; ++channel) {
        const std::vector<double> samples =
            test::channelSamples(pcm, f.channels, f.bitsPerSample, channel);
        EXPECT_NEAR(test::zeroCrossingFrequency(samples, f.sampleRate), 440.0, 4.0);
        EXPECT_NEAR(test::peakDbfs(samples), -6.0, 1.0);
        EXPECT_NEAR(test::amplitudeDb(test::toneAmplitude(samples, f.sampleRate, 440.0)), -6.0,
                    1.0);
        EXPECT_LT(test::toneAmplitude(samples, f.sampleRate, 1000.0), 0.01);
    }
    EXPECT_EQ(consumer.endCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(Formats, ToneCapture,
                         ::testing::Values(format(44100, 16, 2), format(11025, 8, 2),
                                           format(48000, 16, 1)),
                         [](const ::testing::TestParamInfo<AudioFormat>& tested) {
                             const AudioFormat& f = tested.param;
                             return std::to_string(f.sampleRate) + "Hz" +
                                    std::to_string(f.bitsPerSample) + "bit" +
                                    std::to_string(f.channels) + "ch";
                         });

TEST_F(CaptureTest, SilentLineCapturesSilence) {
    for (const AudioFormat& f : {format(44100, 16, 2), format(22050, 8, 1)}) {
        const std::vector<std::uint8_t> pcm = test::recordLine(*m_server, "silence", f, 0.5);
        ASSERT_GE(pcm.size(), f.bytesPerSecond() / 4);
        EXPECT_TRUE(std::all_of(pcm.begin(), pcm.end(),
                                [&](std::uint8_t b) { return b == f.silenceByte(); }))
            << f.bitsPerSample << " bits";
    }
}

TEST_F(CaptureTest, StopDeliversEverythingUpToTheStopMoment) {
    // The silent line is a source of its own clock that hands over 100 ms at a time, as a sound
    // card does. Stopping just before its next piece is due: a source that only disconnects
    // loses most of a piece here.
    const AudioFormat f = format(44100, 16, 2);
    RecordingConsumer consumer;
    std::unique_ptr<CaptureSource> capture = m_server->createCaptureSource(line("silence"));
    std::string error;
    ASSERT_TRUE(capture->start(f, &consumer, &error)) << error;
    // Past the start, where a server may hand over a backlog at once.
    ASSERT_TRUE(consumer.waitForBytes(1, 4s));
    std::this_thread::sleep_for(1s);
    const std::size_t count = consumer.pieces().size();
    ASSERT_TRUE(test::waitUntil([&] { return consumer.pieces().size() > count; }, 1s));
    // Some pieces later, counting from the latest arrival.
    std::this_thread::sleep_for(300ms);
    const std::vector<RecordingConsumer::Piece> before = consumer.pieces();
    std::size_t reference = 0;
    for (const RecordingConsumer::Piece& piece : before) {
        reference += piece.bytes;
    }
    const auto referenceArrival = before.back().arrival;
    std::this_thread::sleep_until(referenceArrival + 85ms);
    const auto stopAsked = RecordingConsumer::Clock::now();
    capture->stop();
    const auto stopDone = RecordingConsumer::Clock::now();

    const double owed =
        static_cast<double>(reference) +
        seconds(stopAsked - referenceArrival) * static_cast<double>(f.bytesPerSecond());
    const double delivered = static_cast<double>(consumer.bytes());
    EXPECT_GE(delivered, owed - 0.025 * f.bytesPerSecond())
        << "short by " << (owed - delivered) / f.bytesPerSecond() << " s";
    EXPECT_LE(delivered, owed + 0.15 * f.bytesPerSecond());
    EXPECT_LT(stopDone - stopAsked, 600ms);

    // Nothing arrives after stop() returned.
    const std::size_t atStop = consumer.bytes();
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(consumer.bytes(), atStop);
    EXPECT_EQ(consumer.endCount(), 0);
}

TEST_F(CaptureTest, RemovedSourceEndsTheCapture) {
    test::LoadedModule extra(
        {"module-null-source", "source_name=orvel_gone", "rate=44100", "max_latency_msec=100"});
    ASSERT_TRUE(extra.loaded());
    RecordingConsumer consumer;
    std::unique_ptr<CaptureSource> capture = m_server->createCaptureSource(line("orvel_gone"));
    std::string error;
    ASSERT_TRUE(capture->start(format(44100, 16, 2), &consumer, &error)) << error;
    ASSERT_TRUE(consumer.waitForBytes(1, 4s));
    ASSERT_TRUE(extra.unload());

    ASSERT_TRUE(test::waitUntil([&] { return consumer.endCount() > 0; }, 3s));
    EXPECT_EQ(consumer.endReason(), CaptureEnd::SourceLost);
    std::this_thread::sleep_for(200ms);
    capture->stop();
    capture->stop();
    EXPECT_EQ(consumer.endCount(), 1);
    EXPECT_FALSE(consumer.deliveredAfterEnd());
}

TEST_F(CaptureTest, RefusesWhatCannotBeRecorded) {
    RecordingConsumer consumer;
    std::string error;
    std::unique_ptr<CaptureSource> missing = m_server->createCaptureSource(line("no-such-source"));
    EXPECT_FALSE(missing->start(format(44100, 16, 2), &consumer, &error));
    EXPECT_FALSE(error.empty());
    missing->stop();

    std::unique_ptr<CaptureSource> tone = m_server->createCaptureSource(line("tone"));
    error.clear();
    EXPECT_FALSE(tone->start(format(44100, 24, 2), &consumer, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(tone->start(format(44100, 16, 3), &consumer, &error));
    EXPECT_FALSE(tone->start(format(44100, 16, 2), nullptr, &error));

    // A second start while running is refused; the first run goes on.
    ASSERT_TRUE(tone->start(format(44100, 16, 2), &consumer, &error)) << error;
    RecordingConsumer other;
    EXPECT_FALSE(tone->start(format(44100, 16, 2), &other, &error));
    ASSERT_TRUE(consumer.waitForBytes(1, 4s));
    tone->stop();
    EXPECT_EQ(other.bytes(), 0u);

    // The same source records again after a stop.
    RecordingConsumer again;
    ASSERT_TRUE(tone->start(format(8000, 8, 1), &again, &error)) << error;
    EXPECT_TRUE(again.waitForBytes(800, 4s));
    tone->stop();
    EXPECT_EQ(consumer.endCount() + again.endCount(), 0);
}

TEST_F(CaptureTest, MonitorPlaysTheRecordingToTheSpeakers) {
    const AudioFormat f = format(44100, 16, 2);
    RecordingConsumer speakers;
    std::unique_ptr<CaptureSource> mix =
        m_server->createCaptureSource({"", "speakers.monitor", "", true});
    std::string error;
    ASSERT_TRUE(mix->start(f, &speakers, &error)) << error;
    ASSERT_TRUE(speakers.waitForBytes(1, 4s));

    RecordingConsumer toneConsumer;
    std::unique_ptr<CaptureSource> tone = m_server->createCaptureSource(line("tone"));
    tone->setMonitor(true);
    ASSERT_TRUE(tone->start(f, &toneConsumer, &error)) << error;
    ASSERT_TRUE(toneConsumer.waitForBytes(1, 4s));
    std::this_thread::sleep_for(2s);
    tone->setMonitor(false);
    const std::size_t monitoredUpTo = speakers.bytes();
    std::this_thread::sleep_for(1s);
    mix->stop();
    tone->stop();

    // While monitoring, the tone is heard unbroken at its level: pieces reach the speakers
    // whole. After it, the speakers fall silent although the recording goes on.
    const std::vector<std::uint8_t> pcm = speakers.pcm();
    const std::vector<double> left = test::channelSamples(pcm, 2, 16, 0);
    const std::vector<double> heard = test::loudPart(
        std::vector<double>(left.begin(),
                            left.begin() + static_cast<std::ptrdiff_t>(monitoredUpTo / 4)),
        0.05, 2205);
    ASSERT_GT(heard.size(), 44100u);
    EXPECT_NEAR(test::amplitudeDb(test::toneAmplitude(heard, 44100, 440.0)), -6.0, 0.5);
    EXPECT_NEAR(test::zeroCrossingFrequency(heard, 44100), 440.0, 1.0);
    const std::vector<double> after(left.end() - 22050, left.end());
    EXPECT_LT(test::toneAmplitude(after, 44100, 440.0), 0.001);
    EXPECT_EQ(toneConsumer.endCount(), 0);
    EXPECT_GT(toneConsumer.bytes(), 2 * f.bytesPerSecond());
}

TEST(CaptureLoss, ServerLossEndsTheCaptureAndFrozenServerDoesNotHangStop) {
    test::ThrowawayServer throwaway;
    ASSERT_TRUE(throwaway.running());
    std::string error;
    std::unique_ptr<SoundServer> server = connectSoundServer(&error);
    ASSERT_NE(server, nullptr) << error;
    const AudioFormat f = format(44100, 16, 2);

    // A frozen server: stop() gives up within its bound.
    RecordingConsumer frozen;
    std::unique_ptr<CaptureSource> first = server->createCaptureSource(line("tone"));
    ASSERT_TRUE(first->start(f, &frozen, &error)) << error;
    ASSERT_TRUE(frozen.waitForBytes(1, 4s));
    ASSERT_TRUE(throwaway.freeze(true));
    const auto stopAsked = std::chrono::steady_clock::now();
    first->stop();
    EXPECT_LT(std::chrono::steady_clock::now() - stopAsked, 1s);
    ASSERT_TRUE(throwaway.freeze(false));

    RecordingConsumer consumer;
    std::unique_ptr<CaptureSource> capture = server->createCaptureSource(line("tone"));
    ASSERT_TRUE(capture->start(f, &consumer, &error)) << error;
    ASSERT_TRUE(consumer.waitForBytes(1, 4s));
    ASSERT_TRUE(throwaway.stop());
    ASSERT_TRUE(test::waitUntil([&] { return consumer.endCount() > 0; }, 5s));
    EXPECT_EQ(consumer.endReason(), CaptureEnd::ServerLost);
    capture->stop();
    EXPECT_EQ(consumer.endCount(), 1);
    EXPECT_FALSE(consumer.deliveredAfterEnd());

    // Streams made after the loss fail at once.
    RecordingConsumer late;
    std::unique_ptr<CaptureSource> after = server->createCaptureSource(line("tone"));
    EXPECT_FALSE(after->start(f, &late, &error));
}

}  // namespace
}  // namespace platform
}  // namespace orvel
