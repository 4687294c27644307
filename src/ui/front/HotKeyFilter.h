#pragma once

#include <QObject>
#include <functional>

#include "config/HotKeyScript.h"

class QKeyEvent;

// The front face's keyboard: every key going down in the face (whichever of its controls has
// the focus) is first offered to the hot-key script, in the section of the face's state
// ("FRONTFACE", or "BACKFACE" while the face shows its first-run texts). A bound button is
// clicked and a bound slider gesture dragged by presses posted to the face, handled after the
// key in the order posted; the key is then consumed. Enter and Escape never reach the face's
// default handling, bound or not: Enter records and Escape stops with the default script, and
// the face stays open.
//
// A key held down repeats only the slider gestures, so that holding Ctrl+Up keeps raising the
// volume while holding a key bound to a switch does not flip it back and forth. Hidden and
// disabled controls are not clicked (a hidden panel's button, a transport key while recording).
//
// Thread contract: GUI thread only.
namespace orvel {

class SkinFace;

class HotKeyFilter : public QObject {
    Q_OBJECT

public:
    // `startupState` tells whether the face shows its first-run texts.
    HotKeyFilter(SkinFace& face, const HotKeyScript& keys, std::function<bool()> startupState);

    bool eventFilter(QObject* watched, QEvent* event) override;

    // The decision for one key press in the face; true when it is consumed.
    bool keyPressed(const QKeyEvent& event);

private:
    bool dispatch(const HotKeyScript::KeyAction& action, bool repeat);

    SkinFace& m_face;
    const HotKeyScript& m_keys;
    std::function<bool()> m_startupState;
};

}  // namespace orvel
