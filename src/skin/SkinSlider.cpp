#include "skin/SkinSlider.h"

#include <QPainter>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace orvel {

SkinSlider::SkinSlider(const skin::SliderSpec& spec, QWidget* face)
    : QObject(face),
      m_spec(spec),
      m_face(face),
      m_track(spec.trackImage),
      m_thumb(spec.thumbImage),
      m_maximum(spec.maximum),
      m_position(spec.track.x + 8) {}

std::unique_ptr<SkinSlider> SkinSlider::make(const skin::SliderSpec& spec, QWidget* face) {
    if (spec.vertical) {
        return std::make_unique<SkinVSlider>(spec, face);
    }
    return std::make_unique<SkinSlider>(spec, face);
}

int SkinSlider::roundedRatio(long long numerator, long long denominator) {
    return static_cast<int>((2 * numerator + denominator) / (2 * denominator));
}

void SkinSlider::setMaximum(int maximum) {
    m_maximum = std::max(0, maximum);
}

int SkinSlider::value() const {
    if (m_maximum <= 0 || travel() <= 0) {
        return 0;
    }
    const long long offset = std::max(0, thumbCentre() - m_spec.from);
    return std::min(m_maximum, roundedRatio(offset * m_maximum, travel()));
}

void SkinSlider::setValue(int value) {
    if (m_maximum <= 0 || travel() <= 0) {
        m_position = m_spec.from - thumbExtent() / 2;
    } else {
        const double v = std::clamp(value, 0, m_maximum);
        m_position = static_cast<int>(
            std::trunc(m_spec.from + v * travel() / m_maximum - thumbExtent() / 2));
    }
    repaint();
}

void SkinSlider::applyValue(int value) {
    setValue(value);
    emit moved(this->value());
    emit released(this->value());
}

QRect SkinSlider::trackRect() const {
    return {m_spec.track.x, m_spec.track.y, m_spec.track.width, m_spec.track.height};
}

QRect SkinSlider::thumbRect() const {
    return {m_position, m_spec.track.bottom() - m_spec.thumb.height, m_spec.thumb.width,
            m_spec.thumb.height};
}

void SkinSlider::setVisible(bool visible) {
    if (m_visible != visible) {
        m_visible = visible;
        if (!visible) {
            m_pressed = false;
            m_dragging = false;
        }
        repaint();
    }
}

bool SkinSlider::press(const QPoint& point) {
    if (thumbRect().contains(point)) {
        m_pressed = true;
        m_dragging = true;
        return true;
    }
    if (trackRect().contains(point)) {
        m_pressed = true;
        moveTo(along(point));
        return true;
    }
    return false;
}

bool SkinSlider::move(const QPoint& point) {
    if (!m_pressed) {
        return false;
    }
    const int before = m_position;
    moveTo(along(point));
    return m_position != before;
}

bool SkinSlider::release() {
    if (!m_pressed) {
        return false;
    }
    // Only a drag that began on the thumb snaps; a jump stays where the press put it.
    if (m_dragging && m_spec.step >= 2 && travel() > 0) {
        const int offset = std::max(0, thumbCentre() - m_spec.from);
        int steps = offset / m_spec.step;
        if (offset % m_spec.step > m_spec.step / 2) {
            ++steps;
        }
        // The last step may lie beyond the travel: snap down to the last one inside.
        steps = std::min(steps, travel() / m_spec.step);
        m_position = m_spec.from + steps * m_spec.step - thumbExtent() / 2;
        repaint();
    }
    m_pressed = false;
    m_dragging = false;
    emit released(value());
    return true;
}

void SkinSlider::moveTo(int coordinate) {
    const int centre = travel() > 0 ? std::clamp(coordinate, m_spec.from, m_spec.to) : m_spec.from;
    const int position = centre - thumbExtent() / 2;
    if (position != m_position) {
        m_position = position;
        repaint();
        emit moved(value());
    }
}

void SkinSlider::repaint() const {
    if (m_face) {
        m_face->update(trackRect().united(thumbRect()));
    }
}

void SkinSlider::paint(QPainter& painter) const {
    const QRect track = trackRect();
    const QSize image = m_track.size();
    // A track image serves rectangles that differ by a pixel: it is drawn at its own size,
    // standing on the track's bottom edge (horizontal) or centred across it (vertical), where
    // the thumb's centre line runs, and cut to the track.
    const QPoint at = m_spec.vertical
                          ? QPoint(track.x() + (track.width() - image.width()) / 2, track.y())
                          : QPoint(track.x(), track.y() + track.height() - image.height());
    painter.save();
    painter.setClipRect(track, Qt::IntersectClip);
    m_track.renderNatural(painter, at);
    painter.restore();
    m_thumb.render(painter, thumbRect());
}

SkinVSlider::SkinVSlider(const skin::SliderSpec& spec, QWidget* face) : SkinSlider(spec, face) {
    m_position = spec.track.y + spec.track.height / 2 - spec.thumb.height / 2;
}

int SkinVSlider::value() const {
    if (!upwards()) {
        return SkinSlider::value();
    }
    if (m_maximum <= 0 || travel() <= 0) {
        return 0;
    }
    const long long offset = std::max(0, m_spec.to - thumbCentre());
    return std::min(m_maximum, roundedRatio(offset * m_maximum, travel()));
}

void SkinVSlider::setValue(int value) {
    if (!upwards()) {
        SkinSlider::setValue(value);
        return;
    }
    if (m_maximum <= 0 || travel() <= 0) {
        // Value 0 of an upward slider stands at the bottom of its travel.
        m_position = m_spec.to - thumbExtent() / 2;
        repaint();
        return;
    }
    const double v = std::clamp(value, 0, m_maximum);
    m_position =
        static_cast<int>(std::trunc(m_spec.to - v * travel() / m_maximum - thumbExtent() / 2));
    repaint();
}

QRect SkinVSlider::thumbRect() const {
    return {m_spec.track.x + m_spec.track.width / 2 - m_spec.thumb.width / 2, m_position,
            m_spec.thumb.width, m_spec.thumb.height};
}

}  // namespace orvel
