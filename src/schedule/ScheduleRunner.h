#pragma once

#include <QDateTime>
#include <QTime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "schedule/ScheduleList.h"
#include "schedule/TimeBase.h"

namespace orvel {

class LanguageTable;

// Schedule mode's decisions: when the recording resumes (the clock enters a window), when it
// pauses or its file ends (the window is over), what the info line's second line says, and
// which viewers are over. The recording controller arms it, calls tick() on every recording
// tick while schedule mode is on, and carries out what the tick returns; the runner itself
// touches no recording.
//
// Every decision is made from the clock the caller passes in, so the runner holds up when ticks
// are missed or the clock jumps (a suspended machine waking up, a clock correction, a
// daylight-saving change): a window is left as soon as its own times (and day) no longer hold
// the clock, whichever window is active and whatever came between, and then the window that
// holds the clock now, if any, is entered in the same tick. The recording therefore never runs
// outside a window and a window is never left open.
//
// Single-file mode pauses between windows; multi-file mode ends the file when a window is
// over, and the controller stops the recording and re-arms (rearm()) on a new file, which the
// next window resumes.
//
// Thread contract: called on the GUI thread.
class ScheduleRunner {
public:
    enum class Action {
        Pause,            // pause the recording (it is not paused)
        Resume,           // resume the recording (it is paused)
        EndFileAndRearm,  // stop the recording; once its file is complete and rearmDelayMs
                          // have passed, rearm() and start a new file, paused
    };

    // The info line's second line: the message key's Line2 text, a blank and the clock time.
    struct InfoLine {
        std::string_view key;  // kStartKey or kStopKey
        std::string time;      // "HH:MM:SS", converted to a clock time when relative
        std::string text(const LanguageTable& language) const;
        bool operator==(const InfoLine&) const = default;
    };

    struct TickResult {
        std::vector<Action> actions;    // in this order
        std::optional<InfoLine> line2;  // replaces the second line when set
        // List positions whose viewer's time is over, whatever their day: for
        // LaunchTable::endViewers (positions without a running viewer are passed over there).
        std::vector<int> viewersToClose;
        int rearmDelayMs = 0;  // with EndFileAndRearm: the least delay before re-arming
    };

    static constexpr std::string_view kStartKey = "RecordingStart";
    static constexpr std::string_view kStopKey = "RecordingStop";
    // The least time between the end of a window's file and the re-arm; after the last window of
    // the list a little longer.
    static constexpr int kRearmDelayMs = 300;
    static constexpr int kLastRearmDelayMs = 350;

    // Takes the list (a copy) and the time base, at start-up and whenever the schedule window
    // has closed. While a window is active, the active item is found again by its text: when it
    // is gone the window ends, which pauses (in multi-file mode too: the file stays open, so a
    // window whose times were just edited goes on in it when the next tick enters it).
    // Positions returned later refer to the new list.
    TickResult reload(const ScheduleList& list, bool relative, const QDateTime& now, bool paused);

    // Schedule mode switched on: the relative base becomes now. Returns the next start to show
    // on the second line, if any. The controller pauses the recording it starts.
    std::optional<InfoLine> arm(const QDateTime& now, bool relative, bool multiFile);
    // Re-arm after a multi-file window's end: the base stays.
    std::optional<InfoLine> rearm(const QDateTime& now, bool multiFile);
    // Schedule mode switched off.
    void disarm();

    // One recording tick, after LaunchTable::check. paused is the recording's state before it.
    TickResult tick(const QDateTime& now, bool paused);

    bool armed() const { return m_armed; }
    bool windowActive() const { return m_windowActive; }
    // The list position of the active window; -1 while none is active.
    int activeIndex() const { return m_activeIndex; }
    // The clock lies inside a window of the list that applies today.
    bool insideWindow() const { return m_insideWindow; }
    bool multiFileSchedule() const { return m_multiFile; }
    QTime relativeBase() const { return m_timeBase.base(); }
    const TimeBase& timeBase() const { return m_timeBase; }
    const std::vector<ScheduleItem>& items() const { return m_items; }

private:
    std::optional<InfoLine> nextStart(int second) const;
    InfoLine lineAt(std::string_view key, int frameSeconds) const;
    bool activeHolds(int second, QDate today) const;

    std::vector<ScheduleItem> m_items;
    TimeBase m_timeBase;
    bool m_armed = false;
    bool m_multiFile = false;
    bool m_windowActive = false;
    int m_activeIndex = -1;
    bool m_insideWindow = false;
    bool m_waitingForRearm = false;
};

}  // namespace orvel
