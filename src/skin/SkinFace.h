#pragma once

#include <QDialog>
#include <QPointer>
#include <QRegion>
#include <memory>
#include <vector>

#include "skin/FacePicture.h"
#include "skin/layout/SkinLayout.h"

class QComboBox;
class QLineEdit;

// The base of every window: a face of the skin. It is frameless and translucent, painted from
// its face image clipped to its outline, and takes the outline as its window mask too, so the
// shape is right with or without a compositor and on Wayland (where a mask only shapes input).
// It creates every control of its face from the layout table (skin buttons, stock fields
// dressed in the skin's style, sliders), opens and closes the face's panels with the matching
// outline, and places itself at 200, 200 where the platform lets windows choose.
//
// The mouse: a left press goes first to the face's active areas (pressArea, for sockets and
// dashboard rows), then to its visible, enabled sliders; only a press from the user (never a
// posted one) on bare surface moves the window, through the window manager when it can, else by
// following the mouse. Child controls take their own presses, so pressing a button never moves
// the face.
//
// Keys: Enter never presses a default button; Escape rejects the face unless the face says it
// must not (the front face). Settings faces are modal and run through runModal(): one modal
// face at a time, never from a timer tick or a posted event (defer the call with a queued
// invocation instead; timers keep firing inside the nested loop).
//
// Thread contract: GUI thread only.
namespace orvel {

class HotKeyScript;
class LanguageTable;
class SkinButton;
class SkinSlider;

class SkinFace : public QDialog {
    Q_OBJECT

public:
    explicit SkinFace(skin::FaceId face, QWidget* parent = nullptr);
    ~SkinFace() override;

    const skin::FaceSpec& spec() const { return m_spec; }

    // The control with this id, or null (ids as in the layout table).
    QWidget* control(ControlId id) const;
    SkinButton* button(ControlId id) const;
    QLineEdit* edit(ControlId id) const;
    QComboBox* combo(ControlId id) const;
    SkinSlider* slider(skin::SliderId id) const;
    const std::vector<std::unique_ptr<SkinSlider>>& sliders() const { return m_sliders; }
    // A rectangle of an area of the face (row i of a repeated area).
    QRect areaRect(skin::AreaId id, int row = 0) const;

    // Opens or closes a panel: its controls, sliders and picture show or hide, and the window
    // takes the outline and size for the panels now open.
    void setPanelOpen(int panel, bool open);
    bool panelOpen(int panel) const { return (m_openPanels >> panel) & 1; }
    const skin::Outline& outline() const;
    QRegion outlineRegion() const { return m_region; }

    // Tooltips and accessible names from the language table: each named control's tooltip
    // (with its key chords when a hot-key script is given), each slider's tooltip area; the
    // layout table's label where the language has no text. Faces start with the built-in
    // English texts.
    void applyTexts(const LanguageTable& language, const HotKeyScript* keys = nullptr);

    // Whether Escape rejects the face (the default); the front face switches it off.
    void setEscapeRejects(bool rejects) { m_escapeRejects = rejects; }

    // Runs the face application-modal. While another face runs modally it returns Rejected at
    // once without showing this one.
    int runModal();
    static bool modalRunning();

    // The skin's look for a stock widget placed on a face.
    static void dress(QWidget* widget);

protected:
    void paintEvent(QPaintEvent* event) override;
    // Drawn after the face images and before the sliders: the window's displays.
    virtual void paintContents(QPainter& painter) { Q_UNUSED(painter); }
    // A left press the window handles itself (sockets, dashboard rows); true when taken.
    virtual bool pressArea(QMouseEvent* event) {
        Q_UNUSED(event);
        return false;
    }
    // The tooltip at a point of the bare face; by default the tooltip of a slider there.
    virtual QString toolTipAt(const QPoint& point) const;
    // Hands the window to the window manager to move; false where it cannot.
    virtual bool startSystemMove();

    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct Control {
        const skin::ControlSpec* spec;
        QWidget* widget;
    };

    void createControls();
    void applyOutline();
    bool onOpenPanel(int panel) const;

    const skin::FaceSpec& m_spec;
    FacePicture m_picture;
    std::vector<FacePicture> m_panelPictures;
    std::vector<Control> m_controls;
    std::vector<std::unique_ptr<SkinSlider>> m_sliders;
    unsigned m_openPanels = 0;
    QRegion m_region;
    QPointer<SkinSlider> m_pressedSlider;
    bool m_moving = false;
    QPoint m_moveOffset;
    bool m_escapeRejects = true;
};

}  // namespace orvel
