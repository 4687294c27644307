#include "GalleryFace.h"

#include <QLineEdit>
#include <QPainter>
#include <QTreeWidget>

#include "skin/FacePicture.h"
#include "skin/SkinButton.h"
#include "skin/SkinSlider.h"
#include "skin/layout/SkinStyle.h"

namespace orvel::gallery {

namespace {

using skin::AreaId;
using skin::FontRole;
namespace palette = skin::palette;

QColor colour(skin::Rgb c) {
    return skin::SkinStyle::colour(c);
}

void text(QPainter& p, const QRect& r, FontRole role, const QColor& c, int flags,
          const QString& s) {
    p.save();
    p.setFont(skin::SkinStyle::font(role));
    p.setPen(c);
    p.drawText(r, flags | Qt::TextSingleLine, s);
    p.restore();
}

// The numeric level meter of one channel with `lit` of its 48 segments lit.
void meterStrip(QPainter& p, const QRect& strip, int lit) {
    static const QColor groups[] = {{0, 153, 0},    {51, 153, 0},   {51, 204, 0},  {102, 204, 0},
                                    {153, 204, 51}, {204, 204, 51}, {204, 153, 0}, {204, 102, 0}};
    p.fillRect(strip, QColor(102, 102, 102));
    for (int i = 0; i < 48; ++i) {
        const int x = strip.x() + i * 3;
        p.fillRect(QRect(x, strip.y(), 4, 7), QColor(102, 102, 102));
        const QColor dot = i < lit ? groups[i / 6] : (i >= 45 ? QColor(162, 0, 0) : Qt::black);
        p.fillRect(QRect(x + 1, strip.y() + 1, 2, 2), dot);
        p.fillRect(QRect(x + 1, strip.y() + 4, 2, 2), dot);
    }
}

void setLatched(SkinFace& face, std::initializer_list<int> ids) {
    for (int id : ids) {
        if (SkinButton* b = face.button(id)) {
            b->setLatched(true);
        }
    }
}

void setSlider(SkinFace& face, skin::SliderId id, int value) {
    if (SkinSlider* s = face.slider(id)) {
        s->setValue(value);
    }
}

}  // namespace

QStringList GalleryFace::variants() {
    return {"front",         "front-signal", "front-lines", "front-history",
            "front-startup", "startup",      "about"};
}

GalleryFace* GalleryFace::make(const QString& variant) {
    const QString key = variant.section('-', 0, 0);
    const skin::FaceSpec* spec = skin::SkinLayout::faceByKey(key.toStdString());
    if (!spec || !variants().contains(variant)) {
        return nullptr;
    }
    return new GalleryFace(spec->id, variant);
}

GalleryFace::GalleryFace(skin::FaceId face, const QString& variant)
    : SkinFace(face), m_variant(variant) {
    stage();
}

void GalleryFace::stage() {
    using skin::SliderId;
    switch (spec().id) {
        case skin::FaceId::Front:
            stageFront();
            break;
        case skin::FaceId::Startup:
            setLatched(*this, {skin::kIdAutoConfigure});
            break;
        default:
            break;
    }
}

void GalleryFace::stageFront() {
    using skin::SliderId;
    setLatched(*this, {1062, 1060, 1170, 1038, 1068});
    setSlider(*this, SliderId::Rate, 7);
    setSlider(*this, SliderId::Volume, 45000);
    setSlider(*this, SliderId::Play, 380);
    setSlider(*this, SliderId::LineVolume, 40000);
    setSlider(*this, SliderId::LineBalance, 50);
    const bool signal = m_variant == "front-signal";
    slider(SliderId::Threshold)->setVisible(signal);
    slider(SliderId::Balance)->setVisible(false);
    slider(SliderId::Play)->setVisible(!signal);
    setSlider(*this, SliderId::Threshold, 24);
    if (signal) {
        setLatched(*this, {1050, 1000});
    }
    if (m_variant == "front-lines") {
        setPanelOpen(skin::kSidePanel, true);
    }
    if (m_variant == "front-history") {
        setPanelOpen(skin::kLogPanel, true);
        button(1137)->hide();
        if (auto* tree = qobject_cast<QTreeWidget*>(control(skin::kIdHistoryTree))) {
            auto* history = new QTreeWidgetItem(tree, {"Record History"});
            new QTreeWidgetItem(tree, {"Files for playing"});
            auto* year = new QTreeWidgetItem(history, {"2025"});
            auto* month = new QTreeWidgetItem(year, {"June"});
            new QTreeWidgetItem(month, {"06/21/2025"});
            new QTreeWidgetItem(month, {"06/14/2025"});
            tree->expandAll();
        }
    }
}

void GalleryFace::paintContents(QPainter& painter) {
    if (spec().id == skin::FaceId::Front) {
        paintFront(painter);
    } else {
        paintOther(painter);
    }
}

void GalleryFace::paintFront(QPainter& p) {
    const QColor display = colour(palette::kDisplay);
    const QColor ink = colour(palette::kDisplayText);
    const int left = Qt::AlignLeft | Qt::AlignVCenter;
    const int right = Qt::AlignRight | Qt::AlignVCenter;
    // Dashboard rows, the output file being the play source; texts end where the level
    // switch begins.
    const QStringList rows =
        m_variant == "front-startup"
            ? QStringList{"The Program is going to test audio line for recording",
                          "Please close all other media players before you continue",
                          "For details,please click the help button to get information"}
            : QStringList{"Output   File : /home/ann/Music/Orvel.wav",
                          "Background : /home/ann/Music/Rain on the roof.mp3",
                          "File for playing : /home/ann/Music/Orvel_001.WAV"};
    const FontRole rowFont = m_variant == "front-startup" ? FontRole::Display : FontRole::Dashboard;
    for (int i = 0; i < 3; ++i) {
        const QRect row = areaRect(AreaId::DashboardRows, i);
        skin::SkinStyle::fillDisplay(p, row, i == 0 ? colour(palette::kDisplayActive) : display);
        p.save();
        p.setClipRect(areaRect(AreaId::DashboardTextClip), Qt::IntersectClip);
        text(p, row.adjusted(0, -1, 0, 1), rowFont, ink, left, rows[i]);
        p.restore();
    }
    const QRect info = areaRect(AreaId::InfoLine, 0);
    text(p, info, FontRole::Dashboard, ink, left,
         m_variant == "front-signal" ? "Waiting for signal" : "Ready to record");
    p.save();
    p.setClipRect(areaRect(AreaId::InfoSecondClip), Qt::IntersectClip);
    text(p, areaRect(AreaId::InfoLine, 1), FontRole::Dashboard, ink, left,
         m_variant == "front-signal" ? "Threshold -24dB" : "");
    p.restore();
    const QRect rate = areaRect(AreaId::DataRate);
    skin::SkinStyle::fillDisplay(p, rate, display);
    text(p, rate, FontRole::Display, ink, right, "172KB/S");
    const QRect playback = areaRect(AreaId::PlaybackDisplay);
    skin::SkinStyle::fillDisplay(p, playback, display);
    text(p, playback.adjusted(0, -1, 0, 0), FontRole::Display, ink, right, "2:31 / 6:40");
    if (m_variant == "front-signal") {
        const QRect recording = areaRect(AreaId::RecordingDisplay);
        skin::SkinStyle::fillDisplay(p, recording, display);
        // Longer sizes run out of the box to the left, over the plain display.
        text(p, recording.adjusted(0, 0, -2, 0), FontRole::Display, ink, right | Qt::TextDontClip,
             "12.50MB / 01:02:03");
        const QRect threshold = areaRect(AreaId::ThresholdArea);
        p.fillRect(threshold, colour(palette::kThresholdFill));
        text(p, threshold.adjusted(0, 1, 0, -threshold.height() / 2), FontRole::Display, Qt::white,
             Qt::AlignCenter, "Threshold");
        text(p, threshold.adjusted(0, threshold.height() / 2, 0, -1), FontRole::Display, Qt::white,
             Qt::AlignCenter, "-24dB");
    }
    const QRect clock = areaRect(AreaId::Clock);
    skin::SkinStyle::fillDisplay(p, clock, display);
    text(p, clock.adjusted(1, 0, 0, 0), FontRole::Display, ink, left, "12:34:56");
    FacePicture("IDR_F44K").render(p, areaRect(AreaId::SampleRateLabel));
    // Level meter: strips, then "L", ":-%ddB" and "Max:-%ddB" beside them.
    const int lit[] = {34, 29};
    const QString channel[] = {"L", "R"};
    const QColor meterText = colour(palette::kFieldText);
    for (int i = 0; i < 2; ++i) {
        meterStrip(p, areaRect(AreaId::MeterStrips, i), lit[i]);
        const QRect texts = areaRect(AreaId::MeterTexts, i);
        text(p, texts, FontRole::Display, meterText, left, channel[i]);
        text(p, texts.adjusted(skin::kMeterValueOffset, 0, 0, 0), FontRole::Display, meterText,
             left, QString(":-%1dB").arg(48 - lit[i]));
        text(p, texts.adjusted(skin::kMeterMaxOffset, 0, 0, 0), FontRole::Display, meterText, left,
             "Max:-6dB");
    }
    if (panelOpen(skin::kSidePanel)) {
        const QStringList lines = {"Microphone", "Line In", "Monitor of Built-in Audio",
                                   "Silent line"};
        const char* states[] = {"IDR_BTNSOCKETUP", "IDR_BTNSOCKETDISABLE", "IDR_BTNSOCKETHOVER",
                                "IDR_BTNSOCKETUP"};
        for (int i = 0; i < lines.size(); ++i) {
            FacePicture(states[i]).renderNatural(p, areaRect(AreaId::Sockets, i).topLeft());
            text(p, areaRect(AreaId::LineNames, i), FontRole::Small, colour(palette::kFieldText),
                 left, lines[i]);
        }
    }
    if (panelOpen(skin::kLogPanel)) {
        const QRect tag = areaRect(AreaId::TagPanel);
        p.fillRect(tag, Qt::white);
        p.setPen(Qt::black);
        p.drawRect(tag.adjusted(0, 0, -1, -1));
        const QString texts[] = {"Samples per second : 44100 ", "Bits per Sample : 16 ",
                                 "Channels : Stereo "};
        for (int i = 0; i < 3; ++i) {
            const QRect rowRect(tag.x() + 4, tag.y() + 2 + 14 * i, tag.width() / 2 - 4, 14);
            text(p, rowRect, FontRole::Small, Qt::black, left, texts[i]);
        }
        // The track list's place: its background tile and one row.
        const skin::ControlSpec* list = spec().control(skin::kIdTrackList);
        const QRect area(list->rect.x, list->rect.y, list->rect.width, list->rect.height);
        QPixmap tile(8, 8);
        QPainter tp(&tile);
        FacePicture("IDR_GREENBACKGROUNDBMP").render(tp, QRect(0, 0, 8, 8));
        tp.end();
        p.fillRect(area, QBrush(tile));
        text(p, QRect(area.x() + 18, area.y() + 4, 200, 16), FontRole::List,
             colour(palette::kFieldText), left, "Orvel_001.WAV   /home/ann/Music/");
        FacePicture("IDR_CHECKBOXCHECKED").renderNatural(p, QPoint(area.x() + 4, area.y() + 7));
    }
}

void GalleryFace::paintOther(QPainter& p) {
    const QColor white = colour(palette::kVersionText);
    switch (spec().id) {
        case skin::FaceId::Startup: {
            const QRect version = areaRect(AreaId::StartupVersion);
            text(p, QRect(version.x(), version.y() + 4, version.width(), 12), FontRole::Display,
                 white, Qt::AlignHCenter | Qt::AlignTop, "RL 4.01");
            break;
        }
        case skin::FaceId::About:
            text(p, areaRect(AreaId::AboutVersion), FontRole::Display, white,
                 Qt::AlignHCenter | Qt::AlignTop, "RL 4.01");
            break;
        default:
            break;
    }
}

}  // namespace orvel::gallery
