#pragma once

#include <optional>

#include "devices/DeviceChooser.h"
#include "skin/SkinFace.h"

namespace orvel {

class MixerControl;

// The device window: the capture devices, one row each, and the recording lines of the
// highlighted one. A click (or the Up and Down keys) only highlights a row inside the window;
// OK applies it (DeviceChooser::apply), Cancel and Escape leave the recorder's device and line
// as they were. The "<< No entries >>" row cannot be highlighted. While a capture runs the
// window only shows the devices: its device must not change under it. The mouse wheel scrolls
// the rows or the lines under it.
//
// Use: DeviceWindow::choose(face, ...). It returns the choice OK applied, or nothing (Cancel,
// read-only, nothing highlighted, the device gone meanwhile). With a choice the caller makes
// `device` and `line` its current line choice (LineChoice::of(devices.devices(), device, line),
// stored as it stores it at close) and shows the line; the DeviceList then has that device
// selected, and for a new device the server records from its first line already.
// `captureRunning` is whether a capture runs now (recording, or the line test).
//
// Thread contract: GUI thread only; choose() runs a nested modal loop, so call it from a
// button's click, never from a timer tick or a posted event.
class DeviceWindow : public SkinFace {
    Q_OBJECT

public:
    static std::optional<DeviceChooser::Choice> choose(QWidget* parent,
                                                       platform::SoundServer& server,
                                                       DeviceList& devices, MixerControl& mixer,
                                                       int currentLine, bool captureRunning);

    DeviceWindow(platform::SoundServer& server, DeviceList& devices, MixerControl& mixer,
                 int currentLine, bool captureRunning, QWidget* parent = nullptr);

    const DeviceChooser& chooser() const { return m_chooser; }
    const std::optional<DeviceChooser::Choice>& choice() const { return m_choice; }
    // Where device row `row` is drawn now; empty while it is scrolled out of view.
    QRect deviceRowRect(int row) const;

    static constexpr char kReadOnlyNote[] = "The device can be changed when nothing records.";

protected:
    void paintContents(QPainter& painter) override;
    bool pressArea(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QRect deviceArea() const;
    QRect lineArea() const;
    void confirm();

    DeviceList& m_devices;
    MixerControl& m_mixer;
    DeviceChooser m_chooser;
    std::optional<DeviceChooser::Choice> m_choice;
    int m_rowsShown;
    int m_linesShown;
};

}  // namespace orvel
