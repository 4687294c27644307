#pragma once

#include <QRect>
#include <QString>
#include <array>

#include "skin/layout/SkinLayout.h"

class QPainter;

// The small displays the front face draws on its backlit windows, with the texts they show:
// the dashboard's three file lines (or the three start-up lines on the first run), the two
// lines of the info line, the data-rate meter, the sample-rate label, the recording display
// (size and time recorded), the playback display (position and length) and the clock.
//
// Long texts are fitted rather than cut mid-letter: file lines keep their file name and lose
// the middle of the folder; info lines fall back to the condensed font and then elide.
//
// Thread contract: GUI thread only.
namespace orvel {

class FaceDisplays {
public:
    explicit FaceDisplays(const skin::FaceSpec& face);

    // What the displays show; each setter returns the face rectangle to repaint (empty when
    // nothing changed).
    QRect setInfo(const QString& line1, const QString& line2);
    QRect setTimes(const QString& recording, const QString& playback);
    QRect setClock(const QString& clock);
    QRect setFileLines(const std::array<QString, 3>& files);
    QRect setStartupLines(const std::array<QString, 3>& lines);

    const QString& info1() const { return m_info[0]; }
    const QString& recordingText() const { return m_recording; }
    const QString& playbackText() const { return m_playback; }
    const QString& clockText() const { return m_clock; }
    const QString& fileLine(int row) const { return m_files[static_cast<std::size_t>(row)]; }

    // The row of the dashboard under a point, or -1.
    int dashboardRowAt(const QPoint& point) const;

    struct Shown {
        bool startupFace = false;
        int playSource = 0;
        int rateIndex = 7;
        QString dataRate;
        bool recordingTimes = false;  // the recording display, else the playback display
        bool clock = true;
    };
    void paint(QPainter& painter, const Shown& shown) const;

private:
    void paintDashboard(QPainter& painter, const Shown& shown) const;
    void paintInfo(QPainter& painter) const;

    std::array<QRect, 3> m_rows;
    QRect m_rowClip;
    std::array<QRect, 3> m_startupRows;
    std::array<QRect, 2> m_infoRows;
    QRect m_infoSecondClip;
    QRect m_dataRate;
    QRect m_rateLabel;
    QRect m_recordingArea;
    QRect m_playbackArea;
    QRect m_clockArea;

    std::array<QString, 3> m_files;
    std::array<QString, 3> m_startup;
    std::array<QString, 2> m_info;
    QString m_recording;
    QString m_playback;
    QString m_clock;
};

}  // namespace orvel
