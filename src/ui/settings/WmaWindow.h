#pragma once

#include "audio/AudioFormat.h"
#include "config/SettingsStore.h"
#include "ui/settings/TagFace.h"

namespace orvel {

// The WMA window. Settings mode: the attributes of new WMA recordings (artist, title, album,
// genre, composer, copyright, description: WMAArtist ... WMADescription, WMAGenre) and the
// encoding profile (WMAFormat), read when it opens and written on OK, texts with at most 126
// bytes. The profile list is complete before the window shows, sorted by name, so OK always
// stores the profile it shows; with none stored it shows the profile a recording in the given
// format would use (the first that takes it as it is). Tag mode: the same attributes of an existing WMA file; texts the
// user leaves alone are written back as they were, whatever their length; the profile list is
// disabled.
//
// Use, settings mode: not while a recording is in progress, and not when the WMA writer is
// missing (the caller shows "WMASupport" on the info line instead); WmaWindow::runSettings(face),
// and when it returns, whatever the way it closed, the caller reads the attributes and the
// profile again for the next recording (EncoderSettings::fromStore); with the recording
// controller, the view calls RecorderController::wmaSettingsClosed().
// Use, tag mode (the history browser): WmaWindow::runTag(parent, file, recordingPath), where
// recordingPath is the file being recorded (RecorderController::runPath() while it is
// recording(), else ""). It returns what it wrote to the file (nothing on Cancel or when it
// refused the file).
//
// Thread contract: GUI thread only; the run functions run a nested modal loop, so call them
// from a button's click, never from a timer tick or a posted event.
class WmaWindow : public TagFace {
    Q_OBJECT

public:
    // `recording`: the format the face records in now.
    static bool runSettings(QWidget* parent, const SettingsStore& store = SettingsStore(),
                            const AudioFormat& recording = {});
    static std::optional<TagEdit::Result> runTag(QWidget* parent, const std::string& path,
                                                 const std::string& recordingPath);

    explicit WmaWindow(const SettingsStore& store, QWidget* parent = nullptr,
                       const AudioFormat& recording = {});
    explicit WmaWindow(const TagEdit& edit, QWidget* parent = nullptr);

private:
    void connectButtons();
    void showSettings(const AudioFormat& recording);
    void showTag();
    void confirm();

    SettingsStore m_store;
};

}  // namespace orvel
