#pragma once

#include <array>
#include <cstdint>

// Levels are whole decibels below full scale. Entry i of a level table is the amplitude of
// -(i + 1) dB: floor(full scale x 10^(-(i + 1) / 20)), with full scale 32767 for 16-bit samples
// and 127 (the distance from the 8-bit centre 128) for 8-bit samples.
//
// A threshold setting (0..47) means (setting - 48) dB: 0 is -48 dB, 47 is -1 dB; its amplitude
// is table entry 47 - setting.
//
// A level index (0..48) reads as minus that many decibels; 48 means at or below -48 dB.
//
// Thread contract: constant tables and pure functions, any thread.
namespace orvel {

inline constexpr int kLevelSteps = 48;
// The level index of "nothing above -48 dB".
inline constexpr int kLevelFloor = 48;

// Clamps a stored threshold setting into 0..47.
int clampThresholdSetting(int setting);

class LevelTable16 {
public:
    static constexpr std::array<std::int32_t, kLevelSteps> kEntries = {
        29203, 26027, 23197, 20674, 18426, 16422, 14636, 13044, 11626, 10361, 9234, 8230,
        7335,  6537,  5826,  5193,  4628,  4125,  3676,  3276,  2920,  2602,  2319, 2067,
        1842,  1642,  1463,  1304,  1162,  1036,  923,   823,   733,   653,   582,  519,
        462,   412,   367,   327,   292,   260,   231,   206,   184,   164,   146,  130};

    // Amplitude of a threshold setting (clamped into 0..47).
    static std::int32_t threshold(int setting) {
        return kEntries[static_cast<std::size_t>(47 - clampThresholdSetting(setting))];
    }
    // The first index whose amplitude lies below `amplitude`, 48 when none does.
    static int levelIndex(std::uint32_t amplitude);
};

class LevelTable8 {
public:
    static constexpr std::array<std::int32_t, kLevelSteps> kEntries = {
        113, 100, 89, 80, 71, 63, 56, 50, 45, 40, 35, 31, 28, 25, 22, 20,
        17,  15,  14, 12, 11, 10, 8,  8,  7,  6,  5,  5,  4,  4,  3,  3,
        2,   2,   2,  2,  1,  1,  1,  1,  1,  1,  0,  0,  0,  0,  0,  0};

    static std::int32_t threshold(int setting) {
        return kEntries[static_cast<std::size_t>(47 - clampThresholdSetting(setting))];
    }
    // As LevelTable16::levelIndex; 8-bit amplitudes are taken modulo 256 first.
    static int levelIndex(std::uint32_t amplitude);
};

// Magnitude of a 16-bit little-endian sample (0..32768) and of an 8-bit unsigned sample (its
// distance from 128, 0..128).
inline std::uint32_t magnitude16(const std::uint8_t* sample) {
    const auto x = static_cast<std::int16_t>(
        static_cast<std::uint16_t>(sample[0] | static_cast<unsigned>(sample[1]) << 8));
    return static_cast<std::uint32_t>(x < 0 ? -static_cast<std::int32_t>(x) : x);
}
inline std::uint32_t magnitude8(std::uint8_t sample) {
    const int v = static_cast<int>(sample) - 128;
    return static_cast<std::uint32_t>(v < 0 ? -v : v);
}

// The level index of an amplitude in the table of the given sample width.
inline int levelIndex(std::uint32_t amplitude, bool sixteenBit) {
    return sixteenBit ? LevelTable16::levelIndex(amplitude) : LevelTable8::levelIndex(amplitude);
}

}  // namespace orvel
