#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "audio/LevelDisplay.h"
#include "audio/LevelTables.h"
#include "audio/SignalDetector.h"

namespace orvel {
namespace {

const AudioFormat kMono16{1, 44100, 16};
const AudioFormat kStereo16{2, 44100, 16};
const AudioFormat kMono8{1, 11025, 8};
const AudioFormat kStereo8{2, 11025, 8};

std::vector<std::uint8_t> block16(const std::vector<int>& samples) {
    std::vector<std::uint8_t> bytes;
    for (int s : samples) {
        const auto u = static_cast<std::uint16_t>(static_cast<std::int16_t>(s));
        bytes.push_back(static_cast<std::uint8_t>(u & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(u >> 8));
    }
    return bytes;
}

int sample16(const std::vector<std::uint8_t>& bytes, std::size_t k) {
    return static_cast<std::int16_t>(
        static_cast<std::uint16_t>(bytes[2 * k] | bytes[2 * k + 1] << 8));
}

TEST(LevelTables, MatchTheirDecibelFormula) {
    for (int i = 0; i < kLevelSteps; ++i) {
        const long double factor = std::pow(10.0L, -(i + 1) / 20.0L);
        EXPECT_EQ(LevelTable16::kEntries[i], static_cast<int>(std::floor(32767.0L * factor)))
            << "16-bit entry " << i;
        EXPECT_EQ(LevelTable8::kEntries[i], static_cast<int>(std::floor(127.0L * factor)))
            << "8-bit entry " << i;
    }
    EXPECT_EQ(LevelTable16::kEntries[0], 29203);
    EXPECT_EQ(LevelTable16::kEntries[47], 130);
    EXPECT_EQ(LevelTable8::kEntries[0], 113);
    EXPECT_EQ(LevelTable8::kEntries[41], 1);
    EXPECT_EQ(LevelTable8::kEntries[42], 0);
}

TEST(LevelTables, ThresholdSettingCountsFromMinus48Decibels) {
    EXPECT_EQ(LevelTable16::threshold(0), 130);     // -48 dB
    EXPECT_EQ(LevelTable16::threshold(47), 29203);  // -1 dB
    EXPECT_EQ(LevelTable8::threshold(47), 113);
    // Out-of-range settings never index outside the table.
    EXPECT_EQ(LevelTable16::threshold(-5), 130);
    EXPECT_EQ(LevelTable16::threshold(99), 29203);
}

TEST(LevelTables, LevelIndexIsTheFirstEntryBelowTheAmplitude) {
    EXPECT_EQ(LevelTable16::levelIndex(32767), 0);
    EXPECT_EQ(LevelTable16::levelIndex(29204), 0);
    EXPECT_EQ(LevelTable16::levelIndex(29203), 1);  // equal is not below
    EXPECT_EQ(LevelTable16::levelIndex(131), 47);
    EXPECT_EQ(LevelTable16::levelIndex(130), 48);
    EXPECT_EQ(LevelTable16::levelIndex(0), 48);
    EXPECT_EQ(LevelTable8::levelIndex(128), 0);
    EXPECT_EQ(LevelTable8::levelIndex(113), 1);
    EXPECT_EQ(LevelTable8::levelIndex(1), 42);
    EXPECT_EQ(LevelTable8::levelIndex(0), 48);
    EXPECT_EQ(LevelTable8::levelIndex(256 + 128), 0);  // taken modulo 256
}

TEST(SignalDetector, FullScaleBlockIsPresentStrongAndReadsZeroDecibels) {
    SignalDetector detector;
    auto data = block16(std::vector<int>(400, 32767));
    EXPECT_TRUE(detector.detect(data.data(), data.size(), kMono16));
    EXPECT_TRUE(detector.strongSignal());
    EXPECT_EQ(detector.leftAverage(), 32767u);
    EXPECT_EQ(LevelTable16::levelIndex(detector.leftAverage()), 0);
}

TEST(SignalDetector, SilencesSamplesBelowMinus48DecibelsOnly) {
    SignalDetector detector;
    auto data = block16({129, -129, 1, -1, 130, -130, -32768, 5000});
    detector.detect(data.data(), data.size(), kMono16);
    const std::vector<int> expected = {0, 0, 0, 0, 130, -130, -32768, 5000};
    for (std::size_t k = 0; k < expected.size(); ++k) {
        EXPECT_EQ(sample16(data, k), expected[k]) << "sample " << k;
    }
    // Averages use the samples as they came in; -32768 counts as 32768.
    EXPECT_EQ(detector.leftAverage(), (129u * 2 + 2 + 130 * 2 + 32768 + 5000) / 8);
}

TEST(SignalDetector, PresentWhenAThirdOfTheSamplesReachTheThreshold) {
    SignalDetector detector;
    detector.setThreshold(47);  // -1 dB: 29203
    auto mixed = [](int loud) {
        std::vector<int> samples(30, -29202);
        for (int i = 0; i < loud; ++i) {
            samples[static_cast<std::size_t>(i)] = (i % 2 != 0) ? -29203 : 29203;
        }
        return block16(samples);
    };
    auto tenLoud = mixed(10);
    EXPECT_TRUE(detector.detect(tenLoud.data(), tenLoud.size(), kMono16));
    EXPECT_FALSE(detector.strongSignal());  // 20 quiet of 30 is not fewer than 10
    auto nineLoud = mixed(9);
    EXPECT_FALSE(detector.detect(nineLoud.data(), nineLoud.size(), kMono16));

    auto allLoud = mixed(30);
    EXPECT_TRUE(detector.detect(allLoud.data(), allLoud.size(), kMono16));
    EXPECT_TRUE(detector.strongSignal());
}

TEST(SignalDetector, StereoKeepsOneAverageForEachChannel) {
    SignalDetector detector;
    auto data = block16({1000, -3000, -1000, 3000, 1000, -3000});
    detector.detect(data.data(), data.size(), kStereo16);
    EXPECT_EQ(detector.leftAverage(), 1000u);
    EXPECT_EQ(detector.rightAverage(), 3000u);

    auto mono = block16({1000, -3000, -1000, 3000});
    detector.detect(mono.data(), mono.size(), kMono16);
    EXPECT_EQ(detector.leftAverage(), 2000u);
    EXPECT_EQ(detector.rightAverage(), 0u);
}

TEST(SignalDetector, EightBitLevelsAreDistancesFrom128AndLeaveSamplesAlone) {
    SignalDetector detector;
    detector.setThreshold(0);  // table entry 0 plus 5
    std::vector<std::uint8_t> loud(30, 128 + 5);
    EXPECT_TRUE(detector.detect(loud.data(), loud.size(), kMono8));
    std::vector<std::uint8_t> below(30, 128 - 4);
    EXPECT_FALSE(detector.detect(below.data(), below.size(), kMono8));
    EXPECT_EQ(below, std::vector<std::uint8_t>(30, 128 - 4));

    std::vector<std::uint8_t> stereo = {0, 128, 255, 128, 0, 128};
    detector.detect(stereo.data(), stereo.size(), kStereo8);
    EXPECT_EQ(detector.leftAverage(), (128u + 127 + 128) / 3);
    EXPECT_EQ(detector.rightAverage(), 0u);
}

TEST(SignalDetector, BlocksWithoutAWholeSampleChangeNothing) {
    SignalDetector detector;
    auto loud = block16(std::vector<int>(10, 20000));
    ASSERT_TRUE(detector.detect(loud.data(), loud.size(), kStereo16));
    EXPECT_FALSE(detector.detect(loud.data(), 0, kStereo16));
    EXPECT_FALSE(detector.detect(loud.data(), 1, kMono16));
    EXPECT_EQ(detector.leftAverage(), 20000u);
    EXPECT_EQ(detector.rightAverage(), 20000u);

    // A lone byte of a stereo 8-bit block still measures without dividing by zero.
    std::uint8_t one = 200;
    EXPECT_TRUE(detector.detect(&one, 1, kStereo8));
    EXPECT_EQ(detector.leftAverage(), 72u);
}

TEST(LevelDisplay, NumericBarRisesAtOnceAndFallsOneSegmentPerTick) {
    LevelDisplay display;
    display.setStyle(1);
    const AudioFormat format = kStereo16;
    LevelFrame frame = display.tick(32767, 0, format, nullptr, 0, true);
    EXPECT_TRUE(frame.rows[0].firstPaint);
    EXPECT_TRUE(frame.rows[1].firstPaint);
    EXPECT_EQ(frame.rows[0].level, 0);
    EXPECT_EQ(frame.rows[0].litSegments(), 48);
    EXPECT_EQ(frame.rows[0].turnedOff, -1);
    EXPECT_EQ(frame.rows[1].litSegments(), 0);

    frame = display.tick(0, 0, format, nullptr, 0, true);
    EXPECT_FALSE(frame.rows[0].firstPaint);
    EXPECT_EQ(frame.rows[0].level, 48);
    EXPECT_EQ(frame.rows[0].turnedOff, 47);
    EXPECT_EQ(frame.rows[0].displayed, 1);
    frame = display.tick(0, 0, format, nullptr, 0, true);
    EXPECT_EQ(frame.rows[0].turnedOff, 46);
    EXPECT_EQ(frame.rows[0].litSegments(), 46);
    EXPECT_EQ(frame.rows[0].highest, 0);

    // Louder than what is shown: the whole row is redrawn at the new level.
    frame = display.tick(29203, 0, format, nullptr, 0, true);
    EXPECT_EQ(frame.rows[0].level, 1);
    EXPECT_EQ(frame.rows[0].turnedOff, -1);
    EXPECT_EQ(frame.rows[0].displayed, 1);

    display.resetHighest();
    frame = display.tick(LevelTable16::kEntries[9], 0, format, nullptr, 0, true);
    EXPECT_EQ(frame.rows[0].highest, 10);
    EXPECT_EQ(frame.rows[1].highest, 48);
}

TEST(LevelDisplay, SwitchingToTheMeterRedrawsItsStrip) {
    LevelDisplay display;
    display.setStyle(1);
    display.tick(0, 0, kMono16, nullptr, 0, false);
    display.setStyle(0);
    EXPECT_FALSE(display.numeric());
    display.tick(0, 0, kMono16, nullptr, 0, false);
    display.setStyle(1);
    EXPECT_TRUE(display.tick(0, 0, kMono16, nullptr, 0, false).rows[0].firstPaint);
}

TEST(LevelDisplay, AnimatedBarsSampleTheBlockAtMovingPositions) {
    LevelDisplay display;
    display.setStyle(2);
    // 2000 bytes, as in the short-block mode: 1000 samples, fewer than the bars may reach.
    std::vector<int> samples(1000, 0);
    samples[0] = 32767;                         // bar 0, first tick: -0 dB
    samples[200] = LevelTable16::kEntries[46];  // bar 1: -48 dB reads as 47
    samples[440] = -32768;                      // bar 2, second tick
    const auto block = block16(samples);

    LevelFrame frame = display.tick(0, 0, kMono16, block.data(), block.size(), true);
    ASSERT_TRUE(frame.animated);
    EXPECT_EQ(frame.bars.level[0], 0);
    EXPECT_EQ(frame.bars.litRows[0], 16);
    EXPECT_EQ(frame.bars.level[1], 47);
    EXPECT_EQ(frame.bars.litRows[1], 1);
    EXPECT_EQ(frame.bars.level[2], 48);
    EXPECT_EQ(frame.bars.litRows[2], 0);
    EXPECT_EQ(frame.bars.position, 0);

    frame = display.tick(0, 0, kMono16, block.data(), block.size(), true);
    EXPECT_EQ(frame.bars.level[0], 48);
    EXPECT_EQ(frame.bars.level[2], 0);
    EXPECT_EQ(frame.bars.position, 1);

    // While there is no signal the bars stay empty; positions past the block read as silence.
    for (int i = 2; i < 40; ++i) {
        frame = display.tick(0, 0, kMono16, block.data(), block.size(), i < 20);
        EXPECT_EQ(frame.bars.position, i % 20);
        if (i >= 20) {
            EXPECT_EQ(frame.bars.litRows, (std::array<int, 3>{0, 0, 0}));
        }
    }
    frame = display.tick(0, 0, kMono16, block.data(), block.size(), true);  // counters wrapped
    EXPECT_EQ(frame.bars.level[0], 0);

    const std::vector<std::uint8_t> eight = {128, 255, 0};
    EXPECT_EQ(LevelDisplay::sampleLevel(eight.data(), eight.size(), kMono8, 0), 48);
    EXPECT_EQ(LevelDisplay::sampleLevel(eight.data(), eight.size(), kMono8, 2), 0);
    EXPECT_EQ(LevelDisplay::sampleLevel(eight.data(), eight.size(), kMono8, 3), 48);
}

}  // namespace
}  // namespace orvel
