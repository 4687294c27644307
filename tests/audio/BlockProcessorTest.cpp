#include "audio/BlockProcessor.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "support/Signal.h"

namespace orvel {
namespace {

using namespace std::chrono_literals;

const AudioFormat kFormat{1, 8000, 16};
constexpr std::size_t kBlock = 1600;  // 100 ms
constexpr std::uint8_t kMark = 0x20;

// Feeds numbered blocks, loud or quiet, 100 ms of the clock apart, and records what the sink
// was given as the numbers of the blocks it came from.
class BlockProcessorTest : public ::testing::Test {
protected:
    BlockProcessorTest() {
        processor.setClock([this] { return now; });
        settings.threshold = 20;
        processor.setSettings(settings);
        EXPECT_TRUE(processor.prepare(kFormat, kBlock));
        processor.begin([this](const std::uint8_t* data, std::size_t bytes) {
            written.push_back(numberOf(data, bytes));
            return true;
        });
    }

    void feed(int from, int to, bool loud) {
        static const auto tone = test::sinePcm(500, -6, 0.1, 8000, 1, 16);
        for (int n = from; n <= to; ++n) {
            std::vector<std::uint8_t> block = loud ? tone : std::vector<std::uint8_t>(kBlock, 0);
            block.resize(kBlock);
            // The block's number in its last sample: one sample does not make a quiet block loud,
            // and at this level the detector does not silence it.
            block[kBlock - 2] = static_cast<std::uint8_t>(n);
            block[kBlock - 1] = kMark;
            processor.handle(block.data(), block.size());
            now += 100ms;
        }
    }

    static int numberOf(const std::uint8_t* data, std::size_t bytes) {
        // -1: not a whole block, or one changed on its way
        return bytes == kBlock && data[kBlock - 1] == kMark ? data[kBlock - 2] : -1;
    }

    static std::vector<int> range(int from, int to) {
        std::vector<int> numbers;
        for (int n = from; n <= to; ++n) {
            numbers.push_back(n);
        }
        return numbers;
    }

    static std::vector<int> join(std::initializer_list<std::vector<int>> parts) {
        std::vector<int> all;
        for (const auto& part : parts) {
            all.insert(all.end(), part.begin(), part.end());
        }
        return all;
    }

    std::chrono::steady_clock::time_point now = std::chrono::steady_clock::time_point{} + 1000s;
    ProcessingSettings settings;
    BlockProcessor processor;
    std::vector<int> written;
};

// Signal mode's pause: a passage that begins while paused is written when the signal lifts the
// pause, with the pre-roll before it, ahead of the next block, each block once. The user's own
// resume lets what was held go.
TEST_F(BlockProcessorTest, AHeldOnsetAndItsPreRollAreWrittenAheadOfTheNextBlockOnce) {
    settings.preRollMs = 300;
    processor.setSettings(settings);
    feed(0, 4, true);
    processor.setPaused(true);
    feed(5, 14, false);
    EXPECT_FALSE(processor.onsetHeld());
    feed(15, 17, true);
    EXPECT_TRUE(processor.onsetHeld());
    EXPECT_EQ(written, range(0, 4));

    EXPECT_TRUE(processor.resumeFromSignal());
    EXPECT_FALSE(processor.resumeFromSignal());
    feed(18, 18, true);
    EXPECT_EQ(written, join({range(0, 4), range(12, 18)}));

    processor.setPaused(true);
    feed(19, 25, true);
    processor.setPaused(false);
    EXPECT_FALSE(processor.resumeFromSignal());
    feed(26, 26, false);
    EXPECT_EQ(written, join({range(0, 4), range(12, 18), {26}}));
    EXPECT_EQ(processor.bytesQueued(), written.size() * kBlock);
}

// Signal-activated mode: the flag outlives the last loud block by the silence delay, and the
// next passage's pre-roll is made of blocks that were not written, never of the delay's.
TEST_F(BlockProcessorTest, APassagesPreRollHoldsOnlyBlocksThatWereNotWritten) {
    settings.signalActivated = true;
    settings.silenceDelaySeconds = 1;
    settings.preRollMs = 500;
    processor.setSettings(settings);
    feed(0, 9, false);
    EXPECT_TRUE(written.empty());
    feed(10, 14, true);
    feed(15, 29, false);
    feed(30, 30, true);
    // 15..23 are less than a second after block 14; 24 clears the flag.
    EXPECT_EQ(written, join({range(5, 23), range(25, 30)}));

    // Once the run is stopping, nothing more is held for a passage to come.
    processor.stopHolding();
    feed(31, 45, false);
    feed(46, 46, true);
    EXPECT_EQ(written, join({range(5, 23), range(25, 39), {46}}));
}

// A timed recording has exactly its length: the last block is cut to whole frames, and what the
// sink refused (a file that could not be opened) does not count against it.
TEST_F(BlockProcessorTest, ALengthLimitCutsToWholeFramesAndCountsWhatTheSinkTook) {
    const AudioFormat stereo{2, 8000, 16};
    const std::size_t block = 3200;
    std::vector<std::size_t> sizes;
    bool refuse = true;
    ASSERT_TRUE(processor.prepare(stereo, block));
    processor.begin([&](const std::uint8_t*, std::size_t bytes) {
        sizes.push_back(bytes);
        return !std::exchange(refuse, false);
    });
    processor.setLengthLimit(2 * block + 1003);
    for (int n = 0; n < 5; ++n) {
        std::vector<std::uint8_t> silence(block, 0);
        processor.handle(silence.data(), silence.size());
    }
    EXPECT_EQ(sizes, (std::vector<std::size_t>{block, block, block, 1000}));
    EXPECT_EQ(processor.bytesQueued(), 2 * block + 1000);
}

}  // namespace
}  // namespace orvel
