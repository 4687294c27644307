#include "ui/front/LevelMeterPainter.h"

#include <QPainter>

#include "skin/layout/SkinStyle.h"

namespace orvel {

namespace {

QRect toQRect(const skin::Rect& r) {
    return {r.x, r.y, r.width, r.height};
}

QRect areaRow(const skin::FaceSpec& face, skin::AreaId id, int row) {
    const skin::AreaSpec* area = face.area(id);
    return area ? toQRect(area->row(row)) : QRect();
}

// The numeric strip's colours by group of six segments, quiet to loud.
const QColor kGroups[] = {{0, 153, 0},    {51, 153, 0},   {51, 204, 0},  {102, 204, 0},
                          {153, 204, 51}, {204, 204, 51}, {204, 153, 0}, {204, 102, 0}};
const QColor kStrip(102, 102, 102);
const QColor kUnlitLoud(162, 0, 0);  // the last three segments, unlit
constexpr int kSegmentPitch = 3;
constexpr int kBarRows = LevelDisplay::kBarRows;

}  // namespace

LevelMeterPainter::LevelMeterPainter(const skin::FaceSpec& face)
    : m_meter(areaRow(face, skin::AreaId::LevelMeter, 0)),
      m_threshold(areaRow(face, skin::AreaId::ThresholdArea, 0)) {
    for (int i = 0; i < 2; ++i) {
        m_strips[i] = areaRow(face, skin::AreaId::MeterStrips, i);
        m_texts[i] = areaRow(face, skin::AreaId::MeterTexts, i);
    }
    // The bars stand side by side, the area's pitch apart.
    const skin::AreaSpec* bars = face.area(skin::AreaId::MeterBars);
    for (int i = 0; i < 3 && bars; ++i) {
        m_bars[i] = toQRect(bars->rect).translated(i * bars->pitch, 0);
    }
}

QRect LevelMeterPainter::area() const {
    return m_meter.united(m_texts[0]).united(m_texts[1]);
}

void LevelMeterPainter::paint(QPainter& painter, const std::optional<LevelFrame>& frame,
                              bool numeric) const {
    if (!frame) {
        if (numeric) {
            for (const QRect& strip : m_strips) {
                paintStrip(painter, strip, 0);
            }
        }
        return;
    }
    if (frame->animated) {
        // The bars sweep through the six places once a second (the counter runs to 20).
        const int place = frame->bars.position * skin::kMeterBarPlaces / 20;
        for (int i = 0; i < 3; ++i) {
            paintBar(painter, m_bars[i].translated(place * skin::kMeterBarShift, 0),
                     frame->bars.litRows[static_cast<std::size_t>(i)]);
        }
    } else {
        for (int i = 0; i < 2; ++i) {
            paintStrip(painter, m_strips[i],
                       frame->rows[static_cast<std::size_t>(i)].litSegments());
        }
    }
    paintTexts(painter, *frame);
}

void LevelMeterPainter::paintStrip(QPainter& painter, const QRect& strip, int lit) const {
    painter.fillRect(strip, kStrip);
    for (int i = 0; i < kLevelSteps; ++i) {
        const int x = strip.x() + i * kSegmentPitch;
        const QColor dot =
            i < lit ? kGroups[i / 6] : (i >= kLevelSteps - 3 ? kUnlitLoud : Qt::black);
        painter.fillRect(QRect(x + 1, strip.y() + 1, 2, 2), dot);
        painter.fillRect(QRect(x + 1, strip.y() + 4, 2, 2), dot);
    }
}

void LevelMeterPainter::paintBar(QPainter& painter, const QRect& bar, int lit) const {
    // Rows from the bottom: green to -12 dB, amber to -3 dB, red above (a row stands for 3 dB).
    const QColor low = skin::SkinStyle::colour(skin::palette::kMeterLow);
    const QColor mid = skin::SkinStyle::colour(skin::palette::kMeterMid);
    const QColor high = skin::SkinStyle::colour(skin::palette::kMeterHigh);
    for (int row = 0; row < std::min(lit, kBarRows); ++row) {
        const QColor colour = row >= kBarRows - 1 ? high : row >= kBarRows - 4 ? mid : low;
        painter.fillRect(QRect(bar.x(), bar.bottom() - row, bar.width(), 1), colour);
    }
}

void LevelMeterPainter::paintTexts(QPainter& painter, const LevelFrame& frame) const {
    painter.save();
    painter.setFont(skin::SkinStyle::font(skin::FontRole::Display));
    painter.setPen(skin::SkinStyle::colour(skin::palette::kFieldText));
    const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
    const QString letters[] = {QStringLiteral("L"), QStringLiteral("R")};
    for (int i = 0; i < 2; ++i) {
        const MeterRow& row = frame.rows[static_cast<std::size_t>(i)];
        const QRect texts = m_texts[i];
        painter.drawText(texts, flags, letters[i]);
        painter.drawText(texts.adjusted(skin::kMeterValueOffset, 0, 0, 0), flags,
                         QStringLiteral(":-%1dB").arg(row.level));
        painter.drawText(texts.adjusted(skin::kMeterMaxOffset, 0, 0, 0), flags,
                         QStringLiteral("Max:-%1dB").arg(row.highest));
    }
    painter.restore();
}

void LevelMeterPainter::paintThreshold(QPainter& painter, int threshold) const {
    const QRect area = m_threshold;
    painter.fillRect(area, skin::SkinStyle::colour(skin::palette::kThresholdFill));
    painter.save();
    painter.setFont(skin::SkinStyle::font(skin::FontRole::Display));
    painter.setPen(Qt::white);
    const int half = area.height() / 2;
    painter.drawText(area.adjusted(0, 1, 0, -half), Qt::AlignCenter, QStringLiteral("Threshold"));
    painter.drawText(area.adjusted(0, half, 0, -1), Qt::AlignCenter,
                     QStringLiteral("-%1dB").arg(kLevelSteps - threshold));
    painter.restore();
}

}  // namespace orvel
