#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "audio/LevelTables.h"
#include "audio/NoiseGate.h"
#include "audio/SignalDetector.h"

namespace orvel {
namespace {

const AudioFormat kMono16{1, 44100, 16};
const AudioFormat kStereo16{2, 44100, 16};
const AudioFormat kMono8{1, 8000, 8};

std::vector<std::uint8_t> constant16(int value, std::size_t samples) {
    std::vector<std::uint8_t> bytes;
    const auto u = static_cast<std::uint16_t>(static_cast<std::int16_t>(value));
    for (std::size_t i = 0; i < samples; ++i) {
        bytes.push_back(static_cast<std::uint8_t>(u & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(u >> 8));
    }
    return bytes;
}

bool allBytes(const std::vector<std::uint8_t>& bytes, std::uint8_t value) {
    for (std::uint8_t b : bytes) {
        if (b != value) {
            return false;
        }
    }
    return true;
}

// Measures the block as the block handler does, then gates it; true when it was silenced.
struct GateRig {
    SignalDetector detector;
    NoiseGate gate;
    AudioFormat format = kMono16;

    bool run(std::vector<std::uint8_t>& block, std::int64_t now) {
        detector.detect(block.data(), block.size(), format);
        const auto measured = block;
        const bool silenced = gate.apply(block.data(), block.size(), format, detector, now);
        if (silenced) {
            EXPECT_TRUE(allBytes(block, format.silenceByte()));
        } else {
            EXPECT_EQ(block, measured);
        }
        return silenced;
    }
    bool run(int value, std::int64_t now) {
        auto block = constant16(value, 100);
        return run(block, now);
    }
};

TEST(NoiseGate, ClosesReleaseTimeSecondsAfterTheLastLoudBlock) {
    GateRig rig;
    rig.gate.setThreshold(28);  // -20 dB: 3276
    rig.gate.setReleaseTime(2);
    const int threshold = LevelTable16::threshold(28);

    EXPECT_TRUE(rig.run(1000, 100));        // never heard anything: closed
    EXPECT_FALSE(rig.run(threshold, 100));  // at the threshold opens it
    EXPECT_FALSE(rig.run(1000, 110));       // quiet from 110 on
    EXPECT_FALSE(rig.run(1000, 111));
    EXPECT_TRUE(rig.run(1000, 112));
    EXPECT_TRUE(rig.run(threshold - 1, 113));
    EXPECT_FALSE(rig.run(-threshold, 113));  // a loud block opens it again at once
    EXPECT_FALSE(rig.run(0, 200));
}

TEST(NoiseGate, WithoutReleaseTimeClosesOnTheSecondQuietBlock) {
    GateRig rig;
    rig.gate.setThreshold(28);
    rig.gate.setReleaseTime(0);
    EXPECT_FALSE(rig.run(30000, 5));
    EXPECT_FALSE(rig.run(10, 5));
    EXPECT_TRUE(rig.run(10, 5));
}

TEST(NoiseGate, AlmostFullScaleStaysBelowTheTopThreshold) {
    GateRig rig;
    rig.gate.setThreshold(47);  // -1 dB
    rig.gate.setReleaseTime(1);
    EXPECT_FALSE(rig.run(32767, 0));
    EXPECT_FALSE(rig.run(29202, 0));
    EXPECT_FALSE(rig.run(29202, 0));
    EXPECT_TRUE(rig.run(29202, 1));
}

TEST(NoiseGate, StereoLevelIsTheMeanOfBothChannels) {
    GateRig rig;
    rig.format = kStereo16;
    rig.gate.setThreshold(28);
    const int threshold = LevelTable16::threshold(28);
    // Left at twice the threshold, right silent: the mean just reaches it.
    auto stereo = [](int firstLeft, int left) {
        std::vector<std::uint8_t> block;
        for (int i = 0; i < 50; ++i) {
            const auto l = constant16(i == 0 ? firstLeft : left, 1);
            const auto r = constant16(0, 1);
            block.insert(block.end(), l.begin(), l.end());
            block.insert(block.end(), r.begin(), r.end());
        }
        return block;
    };
    auto block = stereo(2 * threshold, 2 * threshold);
    EXPECT_FALSE(rig.run(block, 0));
    EXPECT_TRUE(rig.gate.open());
    auto softer = stereo(2 * threshold - 100, 2 * threshold);  // left average 2 lower
    EXPECT_FALSE(rig.run(softer, 0));
    EXPECT_FALSE(rig.gate.open());
}

TEST(NoiseGate, EightBitBlocksAreComparedWithTheEightBitTable) {
    GateRig rig;
    rig.format = kMono8;
    rig.gate.setThreshold(47);  // 113 from 128
    rig.gate.setReleaseTime(0);
    std::vector<std::uint8_t> loud(100, 255);  // 127 from the centre
    EXPECT_FALSE(rig.run(loud, 0));
    EXPECT_TRUE(rig.gate.open());
    std::vector<std::uint8_t> quiet(100, 128 + 112);
    EXPECT_FALSE(rig.run(quiet, 0));
    EXPECT_TRUE(rig.run(quiet, 0));
    EXPECT_TRUE(allBytes(quiet, 0x80));
}

}  // namespace
}  // namespace orvel
