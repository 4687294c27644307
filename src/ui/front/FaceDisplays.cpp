#include "ui/front/FaceDisplays.h"

#include <QFontMetrics>
#include <QPainter>

#include "skin/FacePicture.h"
#include "skin/layout/SkinStyle.h"

namespace orvel {

namespace {

QRect toQRect(const skin::Rect& r) {
    return {r.x, r.y, r.width, r.height};
}

QRect areaRow(const skin::FaceSpec& face, skin::AreaId id, int row = 0) {
    const skin::AreaSpec* area = face.area(id);
    return area ? toQRect(area->row(row)) : QRect();
}

QColor colour(skin::Rgb rgb) {
    return skin::SkinStyle::colour(rgb);
}

const char* const kRowLabels[] = {"Output   File : ", "Background : ", "File for playing : "};
const char* const kRateLabels[] = {"IDR_F8K",  "IDR_F11K", "IDR_F12K", "IDR_F16K", "IDR_F22K",
                                   "IDR_F24K", "IDR_F32K", "IDR_F44K", "IDR_F48K"};

constexpr int kLeft = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
constexpr int kRight = Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine;

// A text in the first font that fits the width, else elided in the last one.
void fittedText(QPainter& painter, const QRect& rect, int width, const QString& text,
                std::initializer_list<skin::FontRole> fonts) {
    QFont font;
    for (const skin::FontRole role : fonts) {
        font = skin::SkinStyle::font(role);
        if (QFontMetrics(font).horizontalAdvance(text) <= width) {
            painter.setFont(font);
            painter.drawText(rect, kLeft, text);
            return;
        }
    }
    painter.setFont(font);
    painter.drawText(rect, kLeft, QFontMetrics(font).elidedText(text, Qt::ElideRight, width));
}

}  // namespace

FaceDisplays::FaceDisplays(const skin::FaceSpec& face)
    : m_rowClip(areaRow(face, skin::AreaId::DashboardTextClip)),
      m_infoSecondClip(areaRow(face, skin::AreaId::InfoSecondClip)),
      m_dataRate(areaRow(face, skin::AreaId::DataRate)),
      m_rateLabel(areaRow(face, skin::AreaId::SampleRateLabel)),
      m_recordingArea(areaRow(face, skin::AreaId::RecordingDisplay)),
      m_playbackArea(areaRow(face, skin::AreaId::PlaybackDisplay)),
      m_clockArea(areaRow(face, skin::AreaId::Clock)) {
    for (int i = 0; i < 3; ++i) {
        m_rows[static_cast<std::size_t>(i)] = areaRow(face, skin::AreaId::DashboardRows, i);
        m_startupRows[static_cast<std::size_t>(i)] = areaRow(face, skin::AreaId::StartupTexts, i);
    }
    for (int i = 0; i < 2; ++i) {
        m_infoRows[static_cast<std::size_t>(i)] = areaRow(face, skin::AreaId::InfoLine, i);
    }
}

QRect FaceDisplays::setInfo(const QString& line1, const QString& line2) {
    if (m_info[0] == line1 && m_info[1] == line2) {
        return {};
    }
    m_info = {line1, line2};
    return m_infoRows[0].united(m_infoRows[1]);
}

QRect FaceDisplays::setTimes(const QString& recording, const QString& playback) {
    QRect changed;
    if (m_recording != recording) {
        m_recording = recording;
        // The recording text may run out of its box to the left.
        changed |= m_recordingArea.adjusted(-m_recordingArea.width(), 0, 0, 0);
    }
    if (m_playback != playback) {
        m_playback = playback;
        changed |= m_playbackArea;
    }
    return changed;
}

QRect FaceDisplays::setClock(const QString& clock) {
    if (m_clock == clock) {
        return {};
    }
    m_clock = clock;
    return m_clockArea;
}

QRect FaceDisplays::setFileLines(const std::array<QString, 3>& files) {
    if (m_files == files) {
        return {};
    }
    m_files = files;
    return m_rows[0].united(m_rows[2]);
}

QRect FaceDisplays::setStartupLines(const std::array<QString, 3>& lines) {
    m_startup = lines;
    return m_rows[0].united(m_rows[2]);
}

int FaceDisplays::dashboardRowAt(const QPoint& point) const {
    for (int i = 0; i < 3; ++i) {
        if (m_rows[static_cast<std::size_t>(i)].intersected(m_rowClip).contains(point)) {
            return i;
        }
    }
    return -1;
}

void FaceDisplays::paint(QPainter& painter, const Shown& shown) const {
    const QColor display = colour(skin::palette::kDisplay);
    const QColor ink = colour(skin::palette::kDisplayText);
    if (shown.rateIndex >= 0 && shown.rateIndex < 9) {
        FacePicture(kRateLabels[shown.rateIndex]).render(painter, m_rateLabel);
    }
    painter.save();
    painter.setPen(ink);
    skin::SkinStyle::fillDisplay(painter, m_dataRate, display);
    painter.setFont(skin::SkinStyle::font(skin::FontRole::Display));
    painter.drawText(m_dataRate.adjusted(0, 0, -1, 0), kRight, shown.dataRate);
    paintInfo(painter);
    paintDashboard(painter, shown);
    painter.setFont(skin::SkinStyle::font(skin::FontRole::Display));
    if (shown.recordingTimes) {
        skin::SkinStyle::fillDisplay(painter, m_recordingArea, display);
        // "12.50MB / 01:02:03" is wider than the box: it runs out to the left, over the plain
        // backlit window, rather than losing its size.
        painter.drawText(m_recordingArea.adjusted(0, 0, -2, 0), kRight | Qt::TextDontClip,
                         m_recording);
    } else {
        skin::SkinStyle::fillDisplay(painter, m_playbackArea, display);
        painter.drawText(m_playbackArea.adjusted(0, -1, 0, 0), kRight | Qt::TextDontClip,
                         m_playback);
    }
    if (shown.clock) {
        skin::SkinStyle::fillDisplay(painter, m_clockArea, display);
        painter.drawText(m_clockArea.adjusted(1, 0, 0, 0), kLeft, m_clock);
    }
    painter.restore();
}

void FaceDisplays::paintInfo(QPainter& painter) const {
    using skin::FontRole;
    const QRect first = m_infoRows[0].adjusted(0, -1, 0, 1);
    fittedText(painter, first, first.width(), m_info[0], {FontRole::Dashboard, FontRole::Display});
    // The second line ends where the data rate begins.
    const QRect second = m_infoRows[1].adjusted(0, -1, 0, 1);
    fittedText(painter, second, m_infoSecondClip.right() - second.left(), m_info[1],
               {FontRole::Dashboard, FontRole::Display});
}

void FaceDisplays::paintDashboard(QPainter& painter, const Shown& shown) const {
    const QFont rowFont = skin::SkinStyle::font(shown.startupFace ? skin::FontRole::Display
                                                                  : skin::FontRole::Dashboard);
    const QFontMetrics metrics(rowFont);
    painter.setFont(rowFont);
    for (std::size_t i = 0; i < 3; ++i) {
        const QRect row = m_rows[i];
        const bool source = !shown.startupFace && static_cast<int>(i) == shown.playSource;
        skin::SkinStyle::fillDisplay(
            painter, row, colour(source ? skin::palette::kDisplayActive : skin::palette::kDisplay));
        // The level switch covers the rows' right end.
        const QRect text = row.adjusted(0, -1, 0, 1).intersected(m_rowClip.adjusted(0, -1, 0, 1));
        if (shown.startupFace) {
            painter.drawText(text, kLeft,
                             metrics.elidedText(m_startup[i], Qt::ElideRight, text.width()));
            continue;
        }
        // A long path loses the middle of its folder: the file name stays in view.
        const QString label = QString::fromLatin1(kRowLabels[i]);
        const int room = text.width() - metrics.horizontalAdvance(label);
        painter.drawText(text, kLeft,
                         label + metrics.elidedText(m_files[i], Qt::ElideMiddle, room));
    }
}

}  // namespace orvel
