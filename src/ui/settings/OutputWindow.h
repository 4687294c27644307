#pragma once

#include <QPointer>

#include "config/OutputSettings.h"
#include "config/SettingsStore.h"
#include "skin/SkinFace.h"
#include "ui/settings/FolderDialog.h"

namespace orvel {

// The output window: folder and file name of the next recording, its format (the three radios
// rewrite the name's extension), the multi-file and time-stamped naming switches and the
// overwrite alert. It reads LastName, BtnMultiFileStatus, BtnTimeStampedStatus and Alert when
// it opens and writes them on OK; Cancel and Escape write nothing. Browse opens the folder
// dialog (FolderDialog). OK creates a missing folder; when the folder is not an absolute path
// or cannot be created, or the name does not end in .wav, .mp3 or .wma, it says so and stays
// open, writing nothing.
//
// Use: before it opens the caller writes the face's file-name field and switches to the store
// (OutputNaming::store); then OutputWindow::run(face); when it returns, whatever the way it
// closed, the caller reads them back (OutputNaming::load) and shows them. With the recording
// controller: RecorderController::eject() stores them and asks its view to open the window;
// the view runs it (deferred out of the command) and calls outputSettingsClosed().
//
// Thread contract: GUI thread only; run() runs a nested modal loop, so call it from a button's
// click, never from a timer tick or a posted event.
class OutputWindow : public SkinFace {
    Q_OBJECT

public:
    // True when OK stored the choices.
    static bool run(QWidget* parent, const SettingsStore& store = SettingsStore());

    OutputWindow(const SettingsStore& store, QWidget* parent = nullptr);

    const OutputSettings& settings() const { return m_settings; }
    // The folder dialog Browse opened, while it is open.
    FolderDialog* folderDialog() const { return m_folderDialog; }

private:
    void takeFields();
    void showSettings();
    void chooseFormat(OutputFormat format);
    void browse();
    void confirm();

    SettingsStore m_store;
    OutputSettings m_settings;
    QPointer<FolderDialog> m_folderDialog;
};

}  // namespace orvel
