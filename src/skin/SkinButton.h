#pragma once

#include <QAbstractButton>

#include "skin/layout/SkinImageTable.h"
#include "skin/layout/SkinLayout.h"

// A button drawn from the skin's state images: <base>UP, <base>DOWN, <base>DISABLE (and
// <base>HOVER where the skin has one). It behaves like a push button towards its face (clicked
// with its id). Latching buttons (check boxes, radios, switches) do not toggle themselves: the
// face sets their latched flag after deciding what a click means, because Qt's checkable
// buttons change state before `clicked` arrives.
//
// It never takes the keyboard focus, so Space cannot click a focused button while it means
// something else on the face; and Qt drops mouse events to disabled buttons, so posted clicks
// and hot keys cannot click a disabled one.
//
// Thread contract: GUI thread only.
namespace orvel {

class SkinButton : public QAbstractButton {
    Q_OBJECT

public:
    SkinButton(const skin::ControlSpec& spec, QWidget* parent);

    const skin::ControlSpec& spec() const { return m_spec; }
    ControlId id() const { return m_spec.id; }

    skin::ButtonMode mode() const { return m_mode; }
    void setMode(skin::ButtonMode mode);

    // The latched flag of modes 2 and 3: set by the face, shown as DOWN.
    bool latched() const { return m_latched; }
    void setLatched(bool latched);

    bool hovered() const { return m_hovered; }

    // The state image the button shows now: DISABLE when disabled (also while latched), DOWN
    // while held, DOWN when latched in modes 2 and 3, HOVER under the mouse when the skin has
    // that image, else UP.
    skin::ImageState shownState() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    const skin::ControlSpec& m_spec;
    skin::ButtonMode m_mode;
    bool m_hasHover = false;
    bool m_latched = false;
    bool m_hovered = false;
};

}  // namespace orvel
