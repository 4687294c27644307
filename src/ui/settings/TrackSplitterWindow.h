#pragma once

#include "config/SettingsStore.h"
#include "schedule/SignalSettings.h"
#include "skin/SkinFace.h"

namespace orvel {

class SkinLineEdit;

// The track-splitter window: the threshold, the action on silence and the silence delay of
// signal-activated recording. It reads them when it opens and writes them on OK; Cancel and
// Escape write nothing. The two fields are checked when the user leaves them and again on OK,
// so a refused number never reaches the sliders, whose values OK stores.
//
// Use: TrackSplitterWindow::run(face). When it returns, whatever the way it closed, the caller
// takes the returned values (read back from the store, held to their ranges) as the recorder's
// own: the face's threshold slider shows `threshold`, and a running signal recording gets the
// new threshold and delay at once, not at its next start. RecorderController::
// signalSettingsClosed() does both from the store (it re-reads the values and hands them to a
// running recording's engine).
//
// Thread contract: GUI thread only; run() runs a nested modal loop, so call it from a button's
// click, never from a timer tick or a posted event.
class TrackSplitterWindow : public SkinFace {
    Q_OBJECT

public:
    struct Outcome {
        bool accepted = false;
        SignalSettings settings;  // as stored after the window closed
    };

    static Outcome run(QWidget* parent, const SettingsStore& store = SettingsStore());

    explicit TrackSplitterWindow(const SettingsStore& store, QWidget* parent = nullptr);

private:
    void chooseAction(int action);
    void confirm();

    SettingsStore m_store;
    int m_action = SignalSettings::Pause;
    SkinLineEdit* m_threshold;
    SkinLineEdit* m_delay;
};

}  // namespace orvel
