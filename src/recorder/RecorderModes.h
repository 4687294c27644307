#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "recorder/FaceState.h"
#include "recorder/ModeAction.h"
#include "recorder/RestartTimer.h"
#include "recorder/ScheduleMode.h"
#include "recorder/SignalMode.h"

namespace orvel {

class CaptureEngine;
class InfoLine;
class LanguageTable;
class OutputNaming;
class RecordedTime;
class RecorderClock;
class RecorderView;
class SettingsStore;
struct ProcessingSettings;

namespace platform {
class ViewerLauncher;
}

// Signal and schedule recording as the recorder runs them side by side: both modes, the
// restarts that wait between their files (RestartTimer), what their buttons, their windows and
// every recording tick do, and the info line's recording text, which follows the track
// splitter.
//
// Each mode returns its actions (ModeAction); they are carried out here in the order given. The
// ones on the recording (start, pause, resume, split, stop, the settings a running recording
// takes) go to the owner's `recording` hook, since only the controller starts, pauses and stops
// recordings; the rest (numbered names, a restart later, the info line's second line, the
// schedule window) are done here. A mode's actions may switch the other mode: signal mode
// switched off under a schedule re-arms it on a new file, and the other way round.
//
// Thread contract: called on the GUI thread; the hooks are called on it, the restarts from
// RestartTimer's timer or from previousCompleted().
class RecorderModes {
public:
    // How the recorder stands, read again before every decision.
    struct Recorder {
        bool recording = false;
        bool playing = false;
        bool playDown = false;  // the play button is down (a playback may wait for the pause)
        bool paused = false;    // the pause button is down
        bool testing = false;   // a line test runs
    };
    struct Parts {
        const SettingsStore& settings;
        const LanguageTable& language;
        platform::ViewerLauncher& viewers;
        const CaptureEngine& engine;
        RecorderClock& clock;
        RecordedTime& time;
        OutputNaming& naming;
        InfoLine& info;
        RecorderView& view;
    };
    struct Hooks {
        std::function<Recorder()> recorder;
        // Carries out an action on the recording; false for a split that could not be made.
        std::function<bool(const ModeAction&)> recording;
        // Whether the engine is idle with every file complete (RestartTimer).
        RestartTimer::PreviousComplete previousComplete;
        // The face is to show the new state.
        std::function<void()> shown;
    };

    RecorderModes(const Parts& parts, Hooks hooks);

    // Start-up: signal mode's settings and the schedule list; the close order's copy of them.
    void read();
    void write() const;
    // The close order: every viewer the schedule opened ends.
    void endViewers() { m_schedule.endViewers(); }

    // The buttons and the windows.
    void toggleSignal();
    void toggleSchedule();
    void scheduleWindowClosed();
    void signalSettingsClosed();
    void setThreshold(int threshold);

    // The recording tick's part of both modes.
    void recordingTick();
    // The running recording's text for the info line, and, from one tick to the next, the
    // line's text brought up to date with it.
    const std::string& recordingText() const;
    void followText();
    // A recording has started: the schedule's next start on the info line's second line.
    void recordingStarted();

    // stop-all, first the restarts, then (before the recording stops) the message key of the
    // mode the stop ends, told should its file have heard nothing, and last both modes off.
    // keepSchedule: a window's end stopped the recording, and the runner waits to re-arm.
    void cancelRestarts() { m_restarts.cancel(); }
    std::string_view endedMode(bool keepSchedule) const;
    void stopped(bool keepSchedule);
    // The engine has ended its run: restarts whose delay is over fire now.
    void previousCompleted() { m_restarts.previousCompleted(); }

    // Either mode is on: a recording it armed that never hears sound is no recording, and a
    // start refused ends the mode.
    bool on() const { return m_signal.on() || m_schedule.on(); }
    bool restartPending() const { return m_restarts.pending(); }
    const SignalMode& signal() const { return m_signal; }
    const ScheduleMode& schedule() const { return m_schedule; }
    // The modes' part of the face: their buttons and the threshold slider.
    void show(FaceState& state) const;

private:
    // Carries the actions out in order; true when they ended the recording tick.
    bool carryOut(const ModeActions& actions);
    void armSchedule(bool rearm);
    void restart(unsigned kinds);
    SignalMode::Input signalInput(const Recorder& recorder) const;

    Parts m_parts;
    Hooks m_hooks;
    SignalMode m_signal;
    ScheduleMode m_schedule;
    RestartTimer m_restarts;
};

}  // namespace orvel
