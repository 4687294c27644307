#pragma once

#include <string>
#include <vector>

namespace orvel {

// What signal or schedule mode asks of the recording. RecorderModes carries a mode's actions out
// in order, and hands the controller those on the recording: it alone starts, pauses and stops
// recordings.
struct ModeAction {
    enum class Kind {
        Pause,          // press pause (a running recording or playback that is not paused)
        Resume,         // release pause; the recording goes on from now
        ResumeOnSound,  // release pause keeping the sound that ended it, with the pre-roll
        Start,          // start a recording (restart: never into the file just closed)
        Stop,           // stop-all, which ends both modes
        EndWindowFile,  // stop-all that keeps the schedule's runner and the info line
        SplitFile,      // the track splitter's next track, without a gap when it can follow
        NumberedNames,  // multi-file naming on, even under a running recording
        RestartLater,   // the restart timer, after delayMs
        ShowLine2,      // `text` on the info line's second line
        OpenList,       // the schedule window, for a list to record from
        Processing,     // the running recording takes the mode's settings
    };

    Kind kind;
    bool restart = false;      // Start: an automatic restart
    bool paused = false;       // Start: paused at once, the pause a press had armed taken over
    unsigned restartKind = 0;  // RestartLater: RestartTimer::Kind
    int delayMs = 0;           // RestartLater
    std::string text;          // ShowLine2

    bool operator==(const ModeAction&) const = default;
};

using ModeActions = std::vector<ModeAction>;

}  // namespace orvel
