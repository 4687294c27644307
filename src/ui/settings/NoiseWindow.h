#pragma once

#include <array>

#include "config/NoiseSettings.h"
#include "config/SettingsStore.h"
#include "skin/SkinFace.h"

namespace orvel {

class SkinLineEdit;

// The noise window: the gate's threshold, release and attack times and the low-pass and
// high-pass cut-offs, each a slider mirrored by a field. It reads them when it opens and
// writes them on OK; Cancel and Escape write nothing. Each field is checked when the user
// leaves it, and OK checks all five again and refuses with the first field's message, so an
// out-of-range cut-off can never be stored.
//
// Use: NoiseWindow::run(face). When it returns, whatever the way it closed, the caller takes
// the returned values (read back from the store, held to their ranges) for the gate and the
// filters, and hands them to a running recording (CaptureEngine::setProcessing).
//
// Thread contract: GUI thread only; run() runs a nested modal loop, so call it from a button's
// click, never from a timer tick or a posted event.
class NoiseWindow : public SkinFace {
    Q_OBJECT

public:
    struct Outcome {
        bool accepted = false;
        NoiseSettings settings;  // as stored after the window closed
    };

    static Outcome run(QWidget* parent, const SettingsStore& store = SettingsStore());

    explicit NoiseWindow(const SettingsStore& store, QWidget* parent = nullptr);

private:
    void confirm();

    SettingsStore m_store;
    std::array<SkinLineEdit*, NoiseSettings::kFieldCount> m_fields{};
};

}  // namespace orvel
