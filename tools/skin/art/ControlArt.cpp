#include "ControlArt.h"

#include <QPainterPath>
#include <cmath>

#include "ArtPainter.h"
#include "skin/layout/SkinLayout.h"
#include "skin/layout/SkinStyle.h"

namespace orvel::art {

namespace {

using skin::ImageKind;
using skin::ImageSpec;
using skin::ImageState;
using skin::Symbol;

QString qs(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

QImage blank(const ImageSpec& image, int scale, const QColor& fill) {
    QImage out(image.size.width * scale, image.size.height * scale, QImage::Format_ARGB32);
    out.fill(fill);
    return out;
}

QColor symbolColour(Symbol symbol, bool lit) {
    QColor colour = rgb(skin::palette::kEngraving);
    if (symbol == Symbol::Record) {
        colour = rgb(skin::palette::kRecord);
    } else if (symbol == Symbol::Play) {
        colour = rgb(skin::palette::kPlay);
    }
    return lit ? colour.lighter(125) : colour;
}

void drawKey(ArtPainter& painter, const ImageSpec& image, bool pressed, bool latching) {
    const QRectF rect(0, 0, image.size.width, image.size.height);
    painter.keyFace(rect, pressed);
    if (pressed && latching) {
        painter.latchBar(rect);
    }
    if (image.symbol == Symbol::Microphone) {
        const double side = rect.height() * 0.62;
        painter.symbol(QRectF(8, (rect.height() - side) / 2 + (pressed ? 1 : 0), side * 0.8, side),
                       image.symbol, symbolColour(image.symbol, pressed));
        painter.keyCaption(rect.adjusted(16, 0, 0, 0), qs(image.caption), pressed);
        return;
    }
    painter.keyCaption(rect, qs(image.caption), pressed);
}

void drawTransportKey(ArtPainter& painter, const ImageSpec& image, bool pressed, bool latching) {
    const QRectF rect(0, 0, image.size.width, image.size.height);
    painter.keyFace(rect.adjusted(1, 0, -1, 0), pressed, 4);
    if (pressed && latching) {
        painter.latchBar(rect);
    }
    const double lift = pressed ? 1 : 0;
    const double side = 22;
    painter.symbol(QRectF((rect.width() - side) / 2, 9 + lift, side, side), image.symbol,
                   symbolColour(image.symbol, pressed));
    painter.keyCaption(QRectF(0, 36, rect.width(), 12), qs(image.caption), pressed);
}

void drawSystemKey(ArtPainter& painter, const ImageSpec& image, bool pressed) {
    const QRectF rect(0, 0, image.size.width, image.size.height);
    painter.keyFace(rect.adjusted(1, 1, -1, -1), pressed, 4);
    const double side = 10;
    const QColor colour = image.symbol == Symbol::Close && pressed
                              ? rgb(skin::palette::kRecord)
                              : symbolColour(image.symbol, pressed);
    painter.symbol(QRectF((rect.width() - side) / 2, (rect.height() - side) / 2 + (pressed ? 1 : 0),
                          side, side),
                   image.symbol, colour);
}

// A vertical caption reading upwards, centred on the point.
void upwardText(QPainter& p, const QPointF& centre, const QString& text, const QFont& font,
                const QColor& colour) {
    p.save();
    p.translate(centre);
    p.rotate(-90);
    p.setFont(font);
    const QRectF box(-100, -8, 200, 16);
    p.setPen(QColor(0, 0, 0, 200));
    p.drawText(box.translated(0, 1), Qt::AlignCenter, text);
    p.setPen(colour);
    p.drawText(box, Qt::AlignCenter, text);
    p.restore();
}

void drawHandle(ArtPainter& painter, const ImageSpec& image, bool pressed) {
    const QRectF rect(0, 0, image.size.width, image.size.height);
    painter.keyFace(rect.adjusted(1, 0, -1, 0), pressed, 4);
    QPainter& p = painter.painter();
    const double lift = pressed ? 1 : 0;
    // Grip lines near both ends.
    for (double y0 : {16.0, rect.height() - 28}) {
        for (int i = 0; i < 4; ++i) {
            const double y = y0 + i * 3 + lift + 0.5;
            p.setPen(QPen(rgb(skin::palette::kBevelShadow), 1.0));
            p.drawLine(QPointF(6, y), QPointF(rect.width() - 6, y));
            p.setPen(QPen(QColor(140, 146, 154, 140), 1.0));
            p.drawLine(QPointF(6, y + 1), QPointF(rect.width() - 6, y + 1));
        }
    }
    upwardText(p, QPointF(rect.width() / 2, rect.height() / 2 + lift), qs(image.caption),
               skin::SkinStyle::font(skin::FontRole::Caption), rgb(skin::palette::kEngraving));
    painter.symbol(QRectF(rect.width() / 2 - 4, rect.height() / 2 - 44 + lift, 8, 8), Symbol::Play,
                   rgb(skin::palette::kDisplay));
}

void drawLevelSwitch(ArtPainter& painter, const ImageSpec& image, bool pressed) {
    const QRectF rect(0, 0, image.size.width, image.size.height);
    painter.keyFace(rect, pressed, 4);
    if (pressed) {
        painter.latchBar(rect);
    }
    QPainter& p = painter.painter();
    const double lift = pressed ? 1 : 0;
    // Three small meter bars.
    const QColor colours[] = {rgb(skin::palette::kMeterLow), rgb(skin::palette::kMeterMid),
                              rgb(skin::palette::kMeterHigh)};
    const double heights[] = {6, 9, 12};
    for (int i = 0; i < 3; ++i) {
        const QColor c =
            pressed ? colours[i] : mix(colours[i], rgb(skin::palette::kEngraving), 0.5);
        p.fillRect(QRectF(8 + i * 4.5, 19 + lift - heights[i], 3, heights[i]), c);
    }
    upwardText(p, QPointF(rect.width() / 2, 39 + lift), qs(image.caption),
               skin::SkinStyle::font(skin::FontRole::Caption), rgb(skin::palette::kEngraving));
}

void drawTab(ArtPainter& painter, const ImageSpec& image, bool pressed) {
    const QRectF rect(0, 0, image.size.width, image.size.height);
    painter.keyFace(rect.adjusted(0, 0, 0, 0), pressed, 3);
    const double lift = pressed ? 1 : 0;
    painter.keyCaption(rect.adjusted(0, 0, -14, 0), qs(image.caption), pressed);
    painter.symbol(QRectF(rect.width() - 24, rect.height() / 2 - 3.5 + lift, 9, 7), image.symbol,
                   rgb(skin::palette::kDisplay));
}

void drawCheckBox(ArtPainter& painter, const ImageSpec& image, bool down) {
    const QRectF rect(0, 0, image.size.width, image.size.height);
    QPainter& p = painter.painter();
    p.fillRect(rect, bodyMean());
    painter.recessedRect(rect, 2);
    if (down) {
        QPainterPath tick;
        tick.moveTo(rect.width() * 0.27, rect.height() * 0.52);
        tick.lineTo(rect.width() * 0.45, rect.height() * 0.76);
        tick.lineTo(rect.width() * 0.76, rect.height() * 0.24);
        p.setPen(
            QPen(rgb(skin::palette::kDisplay), 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(tick);
    }
}

void drawRadio(ArtPainter& painter, const ImageSpec& image, bool down) {
    const QRectF rect(0, 0, image.size.width, image.size.height);
    QPainter& p = painter.painter();
    p.fillRect(rect, bodyMean());
    painter.recessedRect(rect.adjusted(1, 1, -1, -1), rect.width() / 2 - 1);
    if (down) {
        QRadialGradient glow(rect.center(), 6);
        glow.setColorAt(0, rgb(skin::palette::kDisplayActive));
        glow.setColorAt(0.55, rgb(skin::palette::kDisplay));
        glow.setColorAt(1, QColor(28, 210, 252, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(glow);
        p.drawEllipse(rect.center(), 6, 6);
    }
}

void drawSocket(ArtPainter& painter, const ImageSpec& image, ImageState state) {
    const QRectF rect(0, 0, image.size.width, image.size.height);
    QPainter& p = painter.painter();
    p.fillRect(rect, bodyMean());
    painter.keyFace(rect.adjusted(0, 0, 0, 0), false, 3);
    const QPointF hole(11.5, rect.height() / 2);
    // The metal ring of the jack.
    QRadialGradient ring(hole, 7);
    ring.setColorAt(0.0, QColor(180, 186, 194));
    ring.setColorAt(1.0, QColor(90, 96, 104));
    p.setPen(QPen(rgb(skin::palette::kBevelShadow), 1.0));
    p.setBrush(ring);
    p.drawEllipse(hole, 7, 7);
    p.setBrush(QColor(8, 9, 11));
    p.setPen(Qt::NoPen);
    p.drawEllipse(hole, 3.5, 3.5);
    const bool plugged = state == ImageState::Down || state == ImageState::Disable;
    if (state == ImageState::Hover || state == ImageState::Disable) {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(rgb(skin::palette::kDisplay), 1.5));
        p.drawEllipse(hole, 8, 8);
    }
    if (plugged) {
        // The plug: a sleeve in the hole and its body reaching out to the right.
        QLinearGradient metal(QPointF(0, hole.y() - 4), QPointF(0, hole.y() + 4));
        metal.setColorAt(0, QColor(210, 214, 220));
        metal.setColorAt(1, QColor(110, 116, 124));
        p.setPen(QPen(rgb(skin::palette::kBevelShadow), 1.0));
        p.setBrush(metal);
        p.drawEllipse(hole, 4.5, 4.5);
        QLinearGradient grip(QPointF(0, hole.y() - 5), QPointF(0, hole.y() + 5));
        const QColor base =
            state == ImageState::Disable ? rgb(skin::palette::kDisplay) : QColor(70, 76, 84);
        grip.setColorAt(0, base.lighter(140));
        grip.setColorAt(1, base.darker(150));
        p.setBrush(grip);
        p.drawRoundedRect(QRectF(hole.x() + 5, hole.y() - 5, rect.width() - hole.x() - 8, 10), 3,
                          3);
    } else {
        // Three engraved lines: where a plug would go.
        for (int i = 0; i < 3; ++i) {
            const double y = hole.y() - 3 + i * 3 + 0.5;
            p.setPen(QPen(QColor(0, 0, 0, 150), 1.0));
            p.drawLine(QPointF(24, y), QPointF(rect.width() - 5, y));
        }
    }
}

void drawDeviceRow(ArtPainter& painter, const ImageSpec& image, bool chosen) {
    const QRectF rect(0, 0, image.size.width, image.size.height);
    QPainter& p = painter.painter();
    p.fillRect(rect, rgb(skin::palette::kWell));
    QLinearGradient fill(rect.topLeft(), rect.bottomLeft());
    if (chosen) {
        fill.setColorAt(0, rgb(skin::palette::kDisplayActive));
        fill.setColorAt(1, rgb(skin::palette::kDisplay));
    } else {
        fill.setColorAt(0, QColor(176, 184, 192));
        fill.setColorAt(1, QColor(146, 154, 162));
    }
    p.setPen(QPen(rgb(skin::palette::kBevelShadow), 1.0));
    p.setBrush(fill);
    p.drawRoundedRect(rect.adjusted(1.5, 1.5, -1.5, -1.5), 3, 3);
}

void drawLineRow(ArtPainter& painter, const ImageSpec& image) {
    const QRectF rect(0, 0, image.size.width, image.size.height);
    QPainter& p = painter.painter();
    p.fillRect(rect, rgb(skin::palette::kWell));
    p.setPen(QPen(QColor(54, 62, 70), 1.0));
    p.setBrush(QColor(30, 36, 43));
    p.drawRoundedRect(rect.adjusted(1.5, 1.5, -1.5, -1.5), 3, 3);
}

// The first slider of the layout that uses this track, for its travel, range and step.
const skin::SliderSpec* sliderOf(std::string_view track) {
    for (const skin::FaceSpec& face : skin::SkinLayout::faces()) {
        for (const skin::SliderSpec& slider : face.sliders) {
            if (slider.trackImage == track) {
                return &slider;
            }
        }
    }
    return nullptr;
}

// Tick positions along the travel: at the step for stepped sliders, else at a round number of
// values no closer than six pixels.
std::vector<double> ticks(const skin::SliderSpec& s, double length) {
    std::vector<double> out;
    if (s.maximum <= 0 || length <= 0) {
        return out;
    }
    if (s.step >= 2) {
        for (double t = 0; t <= length + 0.01; t += s.step) {
            out.push_back(t);
        }
        return out;
    }
    int every = 1;
    for (int candidate : {1, 5, 10, 25, 50, 100, 500, 1000, 2500, 5000, 6553}) {
        every = candidate;
        if (length * candidate / s.maximum >= 6.0 && s.maximum % candidate == 0) {
            break;
        }
        if (length * candidate / s.maximum >= 12.0) {
            break;
        }
    }
    const int count = s.maximum / every;
    for (int i = 0; i <= count; ++i) {
        out.push_back(length * i * every / s.maximum);
    }
    return out;
}

QImage drawTrack(const ImageSpec& image, int scale) {
    QImage out = blank(image, scale, Qt::transparent);
    ArtPainter painter(out, scale);
    QPainter& p = painter.painter();
    p.setRenderHint(QPainter::Antialiasing, false);
    const skin::SliderSpec* slider = sliderOf(image.name);
    if (!slider) {
        slider = sliderOf("IDR_SLIDERTHRESHOLD2");
    }
    const double w = image.size.width;
    const double h = image.size.height;
    const QColor groove(8, 10, 12);
    QColor light = rgb(skin::palette::kBevelLight);
    light.setAlpha(170);
    const QColor tick(150, 156, 164);
    if (slider->vertical) {
        // Centred across; travel measured from the track's top.
        const double from = slider->from - slider->track.y;
        const double to = slider->to - slider->track.y;
        const double cx = std::floor(w / 2) - 1;
        p.fillRect(QRectF(cx - 1, from - 4, 4, to - from + 8), groove);
        p.fillRect(QRectF(cx + 3, from - 4, 1, to - from + 8), light);
        p.fillRect(QRectF(cx - 1, to + 4, 5, 1), light);
        const std::vector<double> at = ticks(*slider, to - from);
        for (std::size_t i = 0; i < at.size(); ++i) {
            const double y = std::round(slider->step >= 2 ? from + at[i] : to - at[i]);
            const bool major = i == 0 || i + 1 == at.size() || at.size() <= 10;
            const double len = major ? 5 : 3;
            p.fillRect(QRectF(cx - 4 - len, y, len, 1), tick);
            p.fillRect(QRectF(cx + 6, y, len, 1), tick);
        }
    } else {
        // Thumbs stand on the bottom edge: the groove runs through their centre.
        const double thumbHalf = slider->thumb.height / 2.0;
        const double cy = std::floor(h - thumbHalf) - 1;
        const double from = slider->from - slider->track.x;
        const double to = slider->to - slider->track.x;
        p.fillRect(QRectF(from - 4, cy - 1, to - from + 8, 4), groove);
        p.fillRect(QRectF(from - 4, cy + 3, to - from + 9, 1), light);
        p.fillRect(QRectF(to + 4, cy - 1, 1, 4), light);
        const std::vector<double> at = ticks(*slider, to - from);
        const double tickBottom = cy - thumbHalf + 1;
        for (std::size_t i = 0; i < at.size(); ++i) {
            const double x = std::round(from + at[i]);
            const bool major = i == 0 || i + 1 == at.size() || i % 4 == 0 || at.size() <= 12;
            const double len = std::min(major ? 5.0 : 3.0, tickBottom);
            if (len > 0) {
                p.fillRect(QRectF(x, tickBottom - len, 1, len), tick);
            }
        }
    }
    return onKeyColour(out);
}

QImage drawThumb(const ImageSpec& image, int scale) {
    QImage out = blank(image, scale, Qt::transparent);
    ArtPainter painter(out, scale);
    QPainter& p = painter.painter();
    const QRectF rect(0, 0, image.size.width, image.size.height);
    const bool across = image.size.width > image.size.height - 4;  // vertical sliders' thumb
    QLinearGradient metal(rect.topLeft(), across ? rect.bottomLeft() : rect.topRight());
    metal.setColorAt(0, QColor(214, 218, 224));
    metal.setColorAt(0.5, QColor(168, 174, 182));
    metal.setColorAt(1, QColor(112, 118, 126));
    p.setPen(QPen(rgb(skin::palette::kBevelShadow), 1.0));
    p.setBrush(metal);
    p.drawRoundedRect(rect.adjusted(0.5, 0.5, -0.5, -0.5), 1.5, 1.5);
    p.setRenderHint(QPainter::Antialiasing, false);
    const QColor line(30, 34, 40);
    if (across) {
        p.fillRect(QRectF(2, std::floor(rect.height() / 2) - 1, rect.width() - 4, 2), line);
    } else {
        p.fillRect(QRectF(std::floor(rect.width() / 2), 2, 1, rect.height() - 4), line);
    }
    return onKeyColour(out);
}

void drawRateLabel(ArtPainter& painter, const ImageSpec& image) {
    const QRectF rect(0, 0, image.size.width, image.size.height);
    QPainter& p = painter.painter();
    p.fillRect(rect, bodyMean());
    painter.well(rect);
    QFont font = skin::SkinStyle::font(skin::FontRole::Caption);
    font.setPixelSize(10);
    upwardText(p, rect.center() + QPointF(0.5, 0), qs(image.caption), font,
               rgb(skin::palette::kDisplay));
}

void drawListCheck(ArtPainter& painter, const ImageSpec& image) {
    const QRectF rect(0, 0, image.size.width, image.size.height);
    QPainter& p = painter.painter();
    p.fillRect(rect, QColor(20, 32, 32));
    const bool off = image.symbol == Symbol::Disabled;
    const QColor frame = off ? QColor(70, 80, 84) : rgb(skin::palette::kDisplay);
    p.setPen(QPen(frame, 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(rect.adjusted(0.5, 0.5, -0.5, -0.5));
    if (image.symbol == Symbol::Checked) {
        QPainterPath tick;
        tick.moveTo(2, 4.5);
        tick.lineTo(4, 6.5);
        tick.lineTo(7, 2.5);
        p.setPen(QPen(rgb(skin::palette::kDisplayActive), 1.4, Qt::SolidLine, Qt::RoundCap,
                      Qt::RoundJoin));
        p.drawPath(tick);
    }
}

void drawPattern(ArtPainter& painter, const ImageSpec& image) {
    QPainter& p = painter.painter();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(QRectF(0, 0, image.size.width, image.size.height), QColor(20, 32, 32));
    p.fillRect(QRectF(0, 0, 1, 1), QColor(27, 41, 41));
    p.fillRect(QRectF(4, 4, 1, 1), QColor(27, 41, 41));
}

void drawPlate(ArtPainter& painter, const ImageSpec& image) {
    const QRectF rect(0, 0, image.size.width, image.size.height);
    painter.painter().fillRect(rect, bodyMean());
    painter.deck(rect);
    painter.engrave(rect, qs(image.caption), ArtPainter::TextStyle::Caption, skin::Align::Centre);
}

}  // namespace

QImage ControlArt::draw(const ImageSpec& image, ImageState state, int scale) {
    if (image.kind == ImageKind::Track) {
        return drawTrack(image, scale);
    }
    if (image.kind == ImageKind::Thumb) {
        return drawThumb(image, scale);
    }
    const bool down = state == ImageState::Down;
    const bool latching = skin::SkinImageTable::latching(image.name);
    QImage out = blank(image, scale, bodyMean());
    {
        ArtPainter painter(out, scale);
        switch (image.kind) {
            case ImageKind::Key:
                drawKey(painter, image, down, latching);
                break;
            case ImageKind::TransportKey:
                drawTransportKey(painter, image, down, latching);
                break;
            case ImageKind::SystemKey:
                drawSystemKey(painter, image, down);
                break;
            case ImageKind::Handle:
                drawHandle(painter, image, down);
                break;
            case ImageKind::LevelSwitch:
                drawLevelSwitch(painter, image, down);
                break;
            case ImageKind::TabKey:
                drawTab(painter, image, down);
                break;
            case ImageKind::CheckBox:
                drawCheckBox(painter, image, down);
                break;
            case ImageKind::Radio:
                drawRadio(painter, image, down);
                break;
            case ImageKind::Socket:
                drawSocket(painter, image, state);
                break;
            case ImageKind::DeviceRow:
                drawDeviceRow(painter, image, down);
                break;
            case ImageKind::LineRow:
                drawLineRow(painter, image);
                break;
            case ImageKind::RateLabel:
                drawRateLabel(painter, image);
                break;
            case ImageKind::ListCheck:
                drawListCheck(painter, image);
                break;
            case ImageKind::Pattern:
                drawPattern(painter, image);
                break;
            case ImageKind::ScalePlate:
                drawPlate(painter, image);
                break;
            case ImageKind::Face:
            case ImageKind::Track:
            case ImageKind::Thumb:
                break;
        }
    }
    out = out.convertToFormat(QImage::Format_RGB32);
    if (state == ImageState::Disable && image.kind != ImageKind::Socket) {
        return disabled(out);
    }
    return out;
}

}  // namespace orvel::art
