#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "audio/AudioFormat.h"
#include "audio/LevelTables.h"

namespace orvel {

// What one channel's row of the numeric level meter shows after a display tick. The row has
// 48 segments; segment i is lit when i < litSegments().
struct MeterRow {
    int level = kLevelFloor;      // level index of the channel average at this tick
    int highest = kLevelFloor;    // smallest level index seen since the last reset
    int displayed = kLevelFloor;  // index the bar shows after this tick (it falls slowly)
    // The strip and all 48 unlit segments must be drawn before anything else (first paint).
    bool firstPaint = false;
    // The input got quieter: only this segment (the topmost lit one before the tick) is turned
    // off and nothing else of the row is redrawn. -1: the whole row is redrawn for `displayed`.
    int turnedOff = -1;

    int litSegments() const { return kLevelSteps - displayed; }
};

// The three bars of the animated style.
struct AnimatedBars {
    std::array<int, 3> level{kLevelFloor, kLevelFloor, kLevelFloor};
    std::array<int, 3> litRows{0, 0, 0};  // of 16 one-pixel rows, from the bottom
    int position = 0;                     // rotation through six places, 0..19
};

struct LevelFrame {
    bool animated = false;
    std::array<MeterRow, 2> rows;  // left (or only) channel, right channel
    AnimatedBars bars;             // only filled in the animated style
};

// The state of the input level display between ticks: level indexes, the falling bar, the
// highest level seen and the counters of the animated bars. It decides what a tick shows;
// drawing it is the front face's business.
//
// Thread contract: called on the GUI thread only.
class LevelDisplay {
public:
    static constexpr int kNotDrawn = 49;
    static constexpr int kBarRows = 16;

    // The front face's show-switch setting: 1 is the numeric meter, anything else the bars.
    void setStyle(int showSwitch);
    bool numeric() const { return m_numeric; }

    // Forgets the highest level seen on both channels.
    void resetHighest();

    // One display tick from the detector's channel averages. In the animated style the three
    // bars are taken from single samples of the latest block (drawn empty while `signal` is
    // clear); `block` may be null. Both counters advance on every tick.
    LevelFrame tick(std::uint32_t leftAverage, std::uint32_t rightAverage,
                    const AudioFormat& format, const std::uint8_t* block, std::size_t length,
                    bool signal);

    // The level index of sample number `position` of a block (counting samples of all
    // channels), 48 when the block does not hold it.
    static int sampleLevel(const std::uint8_t* block, std::size_t length, const AudioFormat& format,
                           std::size_t position);

private:
    MeterRow meterRow(std::size_t channel, int level);

    bool m_numeric = true;
    std::array<int, 2> m_previous{kNotDrawn, kNotDrawn};
    std::array<int, 2> m_displayed{kLevelFloor, kLevelFloor};
    std::array<int, 2> m_highest{kLevelFloor, kLevelFloor};
    int m_count20 = 0;
    int m_count40 = 0;
};

}  // namespace orvel
