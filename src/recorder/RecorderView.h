#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "audio/LevelDisplay.h"
#include "recorder/FaceState.h"

namespace orvel {

// A recording file the controller has seen completed.
struct FinishedFile {
    std::string path;
    bool ok = false;               // the file is complete; false: completing it failed
    std::int64_t durationMs = -1;  // as the player measures it; -1 when unknown
    std::uint64_t bytes = 0;
    bool logged = false;  // the log line was written
};

// What the recorder's controller asks of the window that shows it (the front face, or the
// headless recorder's console). The controller decides everything; the view draws what it is
// told and hands the user's presses to the controller's commands.
//
// Texts arrive resolved from the language table. Questions are asked without waiting: the view
// shows them and calls the callback when the user has answered, later, from its own event loop
// (never from inside the call that asked). Windows the controller wants opened are requests:
// the view opens them and calls the controller's matching entry point when they close.
//
// Thread contract: every method is called on the GUI thread.
class RecorderView {
public:
    virtual ~RecorderView() = default;

    // The two lines of the info line; the controller keeps them for repaints.
    virtual void showInfo(const std::string& line1, const std::string& line2) = 0;
    // Called after every change of the state, with the whole new state.
    virtual void showState(const FaceState& state) = 0;
    // The recording display ("512KB / 00:31"), the playback display ("1:02 / 3:00") and the
    // position slider's value (0..100).
    virtual void showTimes(const std::string& recording, const std::string& playback,
                           int positionSlider) = 0;
    virtual void showLevels(const LevelFrame& frame) = 0;
    virtual void showClock(const std::string& text) = 0;

    // "The file is already exist, Overwrite ?" (caption "File exist", Yes and No).
    virtual void askOverwrite(const std::string& path,
                              std::function<void(bool overwrite)> answer) = 0;
    // "Not enough memory for recording, ..." (caption "Not Enough Memory", OK).
    virtual void tellNoMemory(std::function<void()> done) = 0;

    // The first-run window; the view calls RecorderController::startupClosed with its result.
    virtual void openStartupWindow(const std::string& versionText) = 0;
    // The schedule window; the view calls RecorderController::scheduleWindowClosed.
    virtual void openScheduleWindow() = 0;
    // The output settings window; the view calls RecorderController::outputSettingsClosed.
    virtual void openOutputSettings() = 0;
    // The WMA settings window (no WMA profile chosen yet); the view calls
    // RecorderController::wmaSettingsClosed.
    virtual void openWmaSettings() = 0;
    // A file for the desktop to open (the capability report).
    virtual void openDocument(const std::string& path) = 0;
    // The controller has run the close order: the program may end.
    virtual void closeProgram() = 0;

    // A recording's file is complete (or failed to complete); its log line is written.
    virtual void fileFinished(const FinishedFile& file) { (void)file; }
    // Captured sound of the running recording was lost, this much in all so far; the info line
    // says so too. A view without a window tells it where its user looks.
    virtual void soundLost(std::uint64_t milliseconds) { (void)milliseconds; }
};

}  // namespace orvel
