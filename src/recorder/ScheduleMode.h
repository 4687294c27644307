#pragma once

#include <QDateTime>
#include <optional>
#include <string>

#include "schedule/LaunchTable.h"
#include "schedule/ScheduleList.h"
#include "schedule/ScheduleRunner.h"

namespace orvel {

class LanguageTable;
class SettingsStore;

// Schedule recording as the recorder runs it: whether the mode is on, the schedule list with its
// relative-time switch and its viewer launches, and the ScheduleRunner, whose decisions of each
// recording tick (pause, resume, end the file and re-arm) this returns. The controller carries
// them out: it alone starts, pauses and stops recordings.
//
// Life cycle: off -> arm() (the controller starts a recording paused, or pauses the running one)
// -> off() with the stop that ends its recording; a multi-file window's end is a stop that keeps
// the runner, followed by the controller's re-arm (arm() with rearm) on a new file.
//
// Thread contract: called on the GUI thread.
class ScheduleMode {
public:
    // What the schedule button does.
    enum class Arm {
        OpenList,   // the list is empty: the schedule window opens instead
        SwitchOff,  // the mode is on: the controller stops it
        Armed,      // the mode is on now: the controller records, paused until a window
    };

    ScheduleMode(const SettingsStore& settings, const LanguageTable& language,
                 platform::ViewerLauncher& viewers);

    // Reads the list and the relative-time switch (at start-up, and when the schedule window has
    // closed); the runner takes them over. `paused`: the recording's pause button.
    ScheduleRunner::TickResult load(const QDateTime& now, bool paused);
    // The close order's copy of the relative-time switch.
    void write() const;

    Arm arm(bool rearm, const QDateTime& now, bool multiFile);
    bool on() const { return m_on; }
    // The next start for the info line's second line, once the armed recording has started;
    // given once.
    std::optional<std::string> takeStartLine() { return std::exchange(m_startLine, {}); }
    // The stop that ends the mode's recording. keepRunner: a multi-file window ended its file and
    // the runner waits for the re-arm.
    void off(bool keepRunner);

    // A recording tick while the mode is on: the viewers due are opened and the ones over ended;
    // the runner's actions for the recording, in order.
    ScheduleRunner::TickResult tick(const QDateTime& now, bool paused);
    // The text of the runner's second line.
    std::string text(const ScheduleRunner::InfoLine& line) const;
    // Ends every viewer (the close order).
    void endViewers() { m_launches.endAll(); }

    const ScheduleRunner& runner() const { return m_runner; }

private:
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
