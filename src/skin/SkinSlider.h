#pragma once

#include <QObject>
#include <QPoint>
#include <QRect>
#include <QString>
#include <memory>

#include "skin/FacePicture.h"
#include "skin/layout/SkinLayout.h"

class QPainter;
class QWidget;

// A slider drawn on its face and driven by the face's mouse: not a window of its own, so a
// press on its track never reaches the window manager as a move, and hot keys can drag it with
// presses posted to the face. The face offers every left press, move and release to its
// visible, enabled sliders (face coordinates).
//
// The value runs 0..maximum over the thumb centre's travel (SliderSpec::from..to). A press on
// the thumb starts a drag, which snaps to the step on release; a press elsewhere on the track
// jumps the thumb there without snapping. A zero maximum or an empty travel gives value 0 with
// the thumb at the start instead of dividing by zero.
//
// SkinSlider is the horizontal slider; SkinVSlider (make() picks it for vertical specs)
// exchanges the axes.
//
// Thread contract: GUI thread only.
namespace orvel {

class SkinSlider : public QObject {
    Q_OBJECT

public:
    SkinSlider(const skin::SliderSpec& spec, QWidget* face);
    static std::unique_ptr<SkinSlider> make(const skin::SliderSpec& spec, QWidget* face);

    const skin::SliderSpec& spec() const { return m_spec; }
    QWidget* face() const { return m_face; }

    int maximum() const { return m_maximum; }
    // A new range (the playback slider's file, the mixer's volume range); the thumb keeps its
    // place, so the value follows the new range.
    void setMaximum(int maximum);

    virtual int value() const;
    // Places the thumb for a value, clamped to 0..maximum.
    virtual void setValue(int value);
    // As setValue, as if the user had moved the thumb: emits moved() and released().
    void applyValue(int value);

    QRect trackRect() const;
    virtual QRect thumbRect() const;

    bool isVisible() const { return m_visible; }
    void setVisible(bool visible);
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled) { m_enabled = enabled; }
    bool isPressed() const { return m_pressed; }

    // The mouse, in face coordinates. press() returns whether the slider took the press;
    // move() whether the thumb moved; release() whether this release ended the slider's own
    // press (only then is its value applied).
    bool press(const QPoint& point);
    bool move(const QPoint& point);
    bool release();

    void paint(QPainter& painter) const;

    QString toolTip() const { return m_toolTip; }
    void setToolTip(const QString& text) { m_toolTip = text; }
    QString accessibleName() const { return m_accessibleName; }
    void setAccessibleName(const QString& name) { m_accessibleName = name; }

signals:
    // The thumb moved under the user's hand (drag or jump): show the value.
    void moved(int value);
    // The press that moved it has ended: apply the value.
    void released(int value);

protected:
    // Along the slider's axis: the coordinate of a point, the thumb's extent, and the thumb's
    // position (its left or top edge).
    virtual int along(const QPoint& point) const { return point.x(); }
    virtual int thumbExtent() const { return m_spec.thumb.width; }
    int travel() const { return m_spec.to - m_spec.from; }
    int thumbCentre() const { return m_position + thumbExtent() / 2; }
    // Round half up of numerator / denominator, both not negative.
    static int roundedRatio(long long numerator, long long denominator);
    void repaint() const;

    const skin::SliderSpec& m_spec;
    QWidget* m_face;
    FacePicture m_track;
    FacePicture m_thumb;
    int m_maximum;
    int m_position = 0;  // left (horizontal) or top (vertical) edge of the thumb

private:
    void moveTo(int coordinate);

    bool m_visible = true;
    bool m_enabled = true;
    bool m_pressed = false;
    bool m_dragging = false;
    QString m_toolTip;
    QString m_accessibleName;
};

// The vertical slider: the thumb is centred across the track. A continuous one (step below 2)
// grows upwards, a stepped one downwards like the horizontal slider grows to the right.
class SkinVSlider : public SkinSlider {
    Q_OBJECT

public:
    SkinVSlider(const skin::SliderSpec& spec, QWidget* face);

    int value() const override;
    void setValue(int value) override;
    QRect thumbRect() const override;

protected:
    int along(const QPoint& point) const override { return point.y(); }
    int thumbExtent() const override { return m_spec.thumb.height; }

private:
    bool upwards() const { return m_spec.step < 2; }
};

}  // namespace orvel
