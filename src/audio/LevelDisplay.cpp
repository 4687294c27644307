#include "audio/LevelDisplay.h"

#include <algorithm>

namespace orvel {

void LevelDisplay::setStyle(int showSwitch) {
    const bool numeric = showSwitch == 1;
    if (numeric != m_numeric) {
        // The bars never drew the meter strip: the next numeric tick starts from scratch.
        m_previous = {kNotDrawn, kNotDrawn};
        m_displayed = {kLevelFloor, kLevelFloor};
    }
    m_numeric = numeric;
}

void LevelDisplay::resetHighest() {
    m_highest = {kLevelFloor, kLevelFloor};
}

MeterRow LevelDisplay::meterRow(std::size_t channel, int level) {
    MeterRow row;
    row.level = level;
    m_highest[channel] = std::min(m_highest[channel], level);
    row.highest = m_highest[channel];
    if (!m_numeric) {
        row.displayed = level;
        return row;
    }
    row.firstPaint = m_previous[channel] == kNotDrawn;
    m_previous[channel] = level;
    int& displayed = m_displayed[channel];
    if (level > displayed) {
        row.turnedOff = kLevelSteps - 1 - displayed;
        displayed = std::min(displayed + 1, static_cast<int>(kLevelFloor));
    } else {
        displayed = level;
    }
    row.displayed = displayed;
    return row;
}

LevelFrame LevelDisplay::tick(std::uint32_t leftAverage, std::uint32_t rightAverage,
                              const AudioFormat& format, const std::uint8_t* block,
                              std::size_t length, bool signal) {
    const bool sixteen = format.is16Bit();
    LevelFrame frame;
    frame.animated = !m_numeric;
    frame.rows[0] = meterRow(0, levelIndex(leftAverage, sixteen));
    frame.rows[1] = meterRow(1, levelIndex(rightAverage, sixteen));
    if (frame.animated) {
        const auto base = static_cast<std::size_t>(40 * m_count40);
        for (std::size_t bar = 0; bar < 3; ++bar) {
            const int level =
                signal ? sampleLevel(block, length, format, base + 200 * bar) : kLevelFloor;
            frame.bars.level[bar] = level;
            frame.bars.litRows[bar] = std::min(kBarRows, kBarRows - level / 3);
        }
        frame.bars.position = m_count20;
    }
    m_count20 = (m_count20 + 1) % 20;
    m_count40 = (m_count40 + 1) % 40;
    return frame;
}

int LevelDisplay::sampleLevel(const std::uint8_t* block, std::size_t length,
                              const AudioFormat& format, std::size_t position) {
    if (block == nullptr) {
        return kLevelFloor;
    }
    if (format.is16Bit()) {
        if (position >= length / 2) {
            return kLevelFloor;
        }
        return LevelTable16::levelIndex(magnitude16(block + 2 * position));
    }
    if (position >= length) {
        return kLevelFloor;
    }
    return LevelTable8::levelIndex(magnitude8(block[position]));
}

}  // namespace orvel
