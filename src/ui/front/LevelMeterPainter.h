#pragma once

#include <QRect>
#include <optional>

#include "audio/LevelDisplay.h"
#include "skin/layout/SkinLayout.h"

class QPainter;

// Draws the front face's input level display from one display tick's LevelFrame: the numeric
// meter (two strips of 48 segments, left channel above, with "L :-12dB Max:-3dB" beside each)
// or the animated style (three bars of 16 rows that wander through six places, with the same
// texts), and the threshold area shown in signal mode. The face keeps its own copy of the last
// frame; nothing here points into the engine.
//
// Thread contract: GUI thread only.
namespace orvel {

class LevelMeterPainter {
public:
    explicit LevelMeterPainter(const skin::FaceSpec& face);

    // Without a frame (nothing runs) the numeric style shows its empty strips and the animated
    // style nothing.
    void paint(QPainter& painter, const std::optional<LevelFrame>& frame, bool numeric) const;
    // "Threshold" over "-%ddB" (48 - threshold), white on the dark grey area.
    void paintThreshold(QPainter& painter, int threshold) const;

    // Everything paint() may touch, for repaints.
    QRect area() const;

private:
    void paintStrip(QPainter& painter, const QRect& strip, int lit) const;
    void paintBar(QPainter& painter, const QRect& bar, int lit) const;
    void paintTexts(QPainter& painter, const LevelFrame& frame) const;

    QRect m_meter;
    QRect m_strips[2];
    QRect m_texts[2];
    QRect m_bars[3];
    QRect m_threshold;
};

}  // namespace orvel
