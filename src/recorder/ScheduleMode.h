#pragma once

#include <QDateTime>
#include <optional>
#include <string>
#include <utility>

#include "recorder/ModeAction.h"
#include "schedule/LaunchTable.h"
#include "schedule/ScheduleList.h"
#include "schedule/ScheduleRunner.h"

namespace orvel {

class LanguageTable;
class SettingsStore;

// Schedule recording as the recorder runs it: whether the mode is on, the schedule list with its
// relative-time switch and its viewer launches, and what the schedule button and each recording
// tick do to the recording (the ScheduleRunner decides when a window starts and ends), returned
// as actions. RecorderModes carries them out, and the controller those on the recording: it
// alone starts, pauses and stops recordings.
//
// Life cycle: off -> arm() (a recording starts paused, or the running one is paused) -> off with
// the stop that ends its recording (the controller's stop-all has stopped() called). In multi-file
// mode a window's end stops the recording but keeps the runner, and the restart arms it again
// (arm() with rearm) on a new file.
//
// Thread contract: called on the GUI thread.
class ScheduleMode {
public:
    // The recorder as the schedule button finds it.
    struct Recorder {
        bool multiFile = false;  // numbered names: every window gets a file of its own
        bool recording = false;
        bool paused = false;
        bool signalMode = false;
    };

    ScheduleMode(const SettingsStore& settings, const LanguageTable& language,
                 platform::ViewerLauncher& viewers);

    // Reads the list and the relative-time switch (at start-up, and when the schedule window has
    // closed); the runner takes them over, and a window gone from the list ends. `paused`: the
    // recording's pause button.
    ModeActions load(const QDateTime& now, bool paused);
    // The close order's copy of the relative-time switch.
    void write() const;

    // The schedule button, or the re-arm after a window's file (`rearm`: the relative base stays
    // and the recording never goes into the file just closed). Without a list the schedule
    // window opens; a second press ends the mode, and signal mode goes on in a new file.
    ModeActions arm(bool rearm, const QDateTime& now, const Recorder& recorder);
    bool on() const { return m_on; }
    // The next start for the info line's second line, once the armed recording has started;
    // given once.
    std::optional<std::string> takeStartLine() { return std::exchange(m_startLine, {}); }
    // The stop that ends the mode's recording. keepRunner: a window's end stopped it, and the
    // runner waits for the re-arm.
    void stopped(bool keepRunner);

    // A recording tick while the mode is on: the viewers due are opened and the ones over ended;
    // the runner's decisions for the recording.
    ModeActions tick(const QDateTime& now, bool paused);
    // Ends every viewer (the close order).
    void endViewers() { m_launches.endAll(); }

    const ScheduleRunner& runner() const { return m_runner; }

private:
    ModeActions actionsOf(const ScheduleRunner::TickResult& result);

    const SettingsStore& m_settings;
    const LanguageTable& m_language;
    ScheduleList m_list;
    ScheduleRunner m_runner;
    LaunchTable m_launches;
    bool m_on = false;
    bool m_relative = false;
    std::optional<std::string> m_startLine;
};

}  // namespace orvel
