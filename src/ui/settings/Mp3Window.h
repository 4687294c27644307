#pragma once

#include "config/SettingsStore.h"
#include "ui/settings/TagFace.h"

namespace orvel {

// The MP3 window. Settings mode: bit rate, stereo mode, the four MPEG header flags, the ID3
// switch and the ID3 tag texts of new recordings (MP3Bitrate, MP3Mode, CRC, Original,
// Copyright, Private, ID3, Artist, Album, Title, Year, Genre), read when it opens and written
// on OK. Tag mode: artist, album, title, year and genre of an existing MP3 file's ID3v1 tag;
// the switches and lists of settings mode are disabled. Texts are taken with at most 30 bytes
// (the year 4), cut at a character boundary.
//
// Use, settings mode: not while a recording is in progress; Mp3Window::runSettings(face), and
// when it returns, whatever the way it closed, the caller reads the values again for the next
// recording (EncoderSettings::fromStore).
// Use, tag mode (the history browser): Mp3Window::runTag(parent, file, recordingPath), where
// recordingPath is the file being recorded (RecorderController::runPath() while it is
// recording(), else ""). It returns what it wrote to the file (nothing on Cancel or when it
// refused the file), for the caller to show.
//
// Thread contract: GUI thread only; the run functions run a nested modal loop, so call them
// from a button's click, never from a timer tick or a posted event.
class Mp3Window : public TagFace {
    Q_OBJECT

public:
    static bool runSettings(QWidget* parent, const SettingsStore& store = SettingsStore());
    static std::optional<TagEdit::Result> runTag(QWidget* parent, const std::string& path,
                                                 const std::string& recordingPath);

    explicit Mp3Window(const SettingsStore& store, QWidget* parent = nullptr);
    explicit Mp3Window(const TagEdit& edit, QWidget* parent = nullptr);

private:
    void connectButtons();
    void showSettings();
    void showTag();
    void setTagFieldsEnabled(bool enabled);
    void confirm();

    SettingsStore m_store;
};

}  // namespace orvel
