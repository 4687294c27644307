#pragma once

#include <optional>
#include <string>
#include <vector>

#include "devices/DeviceList.h"

namespace orvel {

class MixerControl;

// The device window's rows: the capture devices as the server lists them when the window
// opens, the row the user has highlighted (the window's own choice until OK), the lines of
// that device from the same reading, and which rows are scrolled into view.
//
// Nothing reaches the recorder before apply(), which OK calls: the face's DeviceList then
// selects the device and, for a device other than the current one, the line index starts
// again at its first line (or none, when the device has no line). The "<< No entries >>" row
// is no device and cannot be highlighted. A read-only chooser (a capture is running: its
// device must not change under it) highlights nothing new and applies nothing.
//
// Thread contract: called on the GUI thread (it waits for the sound server's answers).
class DeviceChooser {
public:
    struct Choice {
        int device = DeviceList::kNone;  // the row in the face's DeviceList (`Device`)
        int line = -1;                   // the line index (`AudoLine`), -1 without lines
        bool deviceChanged = false;
    };

    DeviceChooser(platform::SoundServer& server, const DeviceList& current, int currentLine,
                  int rowsShown, int linesShown, bool readOnly);

    bool readOnly() const { return m_readOnly; }

    // The rows to show: the devices' names, or "<< No entries >>" alone.
    std::vector<std::string> rows() const;
    int rowCount() const { return static_cast<int>(rows().size()); }
    bool isDevice(int row) const { return row >= 0 && row < static_cast<int>(m_devices.size()); }

    int highlighted() const { return m_highlighted; }
    // Highlights a device row (scrolling it into view); false, with nothing changed, for a row
    // that is no device or when read-only.
    bool highlight(int row);
    // The keyboard: the next or previous device row (the first one when none is highlighted).
    bool moveHighlight(int delta);
    // The highlighted device's lines, in line-index order.
    std::vector<std::string> lineNames() const;

    // The first row and line shown; scrolling keeps a full window of rows where there are
    // enough of them.
    int firstRow() const { return m_firstRow; }
    int firstLine() const { return m_firstLine; }
    void scrollRows(int delta);
    void scrollLines(int delta);

    // OK: selects the highlighted device in `devices` (read again from the server) and its line
    // through `mixer`. Nothing, and no choice, when read-only, when nothing is highlighted, or
    // when the device has gone away meanwhile.
    std::optional<Choice> apply(DeviceList& devices, MixerControl& mixer) const;

private:
    static int clampFirst(int first, int count, int shown);

    std::vector<platform::SoundDevice> m_devices;
    std::optional<platform::SoundDevice> m_current;
    int m_currentLine;
    int m_rowsShown;
    int m_linesShown;
    bool m_readOnly;
    int m_highlighted = DeviceList::kNone;
    int m_firstRow = 0;
    int m_firstLine = 0;
};

}  // namespace orvel
