#pragma once

#include <functional>
#include <string>

#include "config/FormatTables.h"
#include "recorder/RecorderServices.h"

class QWidget;

// The windows the front face opens over itself: the device window, the settings windows
// (signal recording, noise and filters, background music, MP3, WMA, output, schedule), the tag
// windows of the history and the about window.
//
// Settings windows run their own modal loop, so none opens inside a command or a tick: each
// opens from the event loop after what asked for it, and only while the face is open and the
// controller is not closing. When one closes, the controller hears of it, and `then` lets the
// face show what changed on it.
//
// Thread contract: GUI thread only.
namespace orvel {

class RecorderController;
struct FaceState;

class FaceWindows {
public:
    // `state` is the face's own copy of the controller's state (the line and the format the
    // windows open with); `closed` tells whether the face has closed.
    FaceWindows(QWidget& face, const RecorderServices& services, RecorderController& controller,
                const FaceState& state, std::function<bool()> closed);

    // Never while a capture runs: the device must not change under it.
    void openDevice();
    // The MP3 or WMA settings, when the controller allows them now.
    void openEncoder(OutputFormat format);
    // The WMA settings at the controller's asking.
    void openWma();
    void openSchedule();
    void openOutput(std::function<void()> then);
    void openSplitter();
    void openNoise(std::function<void()> then);
    // `then` takes the background's share of the mix, 0..100.
    void openBackground(std::function<void(int scale)> then);
    // The tag of a recorded file, in the MP3 or WMA window by its name; true when OK stored it.
    bool editTag(const std::string& path);
    void openAbout();

private:
    void later(std::function<void()> window);

    QWidget& m_face;
    const RecorderServices& m_services;
    RecorderController& m_controller;
    const FaceState& m_state;
    std::function<bool()> m_closed;
};

}  // namespace orvel
