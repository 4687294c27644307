#pragma once

#include <QFileDialog>
#include <QPointer>

#include "config/SettingsStore.h"
#include "playback/BackgroundSettings.h"
#include "skin/SkinFace.h"

namespace orvel {

// The background-music window: the music file (typed, or chosen with Browse), the mix of music
// and recording (the slider's position p gives "Background Scale" 100 - p, both shares shown in
// percent), where the music, the recording and the removed voice go, what happens at the end
// of the music, voice removal and whether the music is heard while recording. It reads the
// values when it opens and writes them on OK; Cancel and Escape write nothing.
//
// Use: BackgroundWindow::run(face). When it returns, whatever the way it closed, the caller
// takes the returned values (read back from the store) for the next recording with background
// music, and shows the scale on the face's background balance slider.
//
// Thread contract: GUI thread only; run() runs a nested modal loop, so call it from a button's
// click, never from a timer tick or a posted event.
class BackgroundWindow : public SkinFace {
    Q_OBJECT

public:
    struct Outcome {
        bool accepted = false;
        BackgroundSettings settings;  // as stored after the window closed
    };

    static Outcome run(QWidget* parent, const SettingsStore& store = SettingsStore());

    explicit BackgroundWindow(const SettingsStore& store, QWidget* parent = nullptr);

    // The file dialog Browse opened, while it is open.
    QFileDialog* fileDialog() const { return m_fileDialog; }
    // The file dialog's filters, each with both letter cases of its extension.
    static QStringList fileFilters();

protected:
    void paintContents(QPainter& painter) override;

private:
    void showChoices();
    void browse();
    void confirm();

    SettingsStore m_store;
    BackgroundSettings m_settings;
    QPointer<QFileDialog> m_fileDialog;
};

}  // namespace orvel
