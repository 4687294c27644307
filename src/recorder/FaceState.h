#pragma once

#include <string>
#include <vector>

#include "config/FormatTables.h"

namespace orvel {

// Where the recorder's transport stands. Pause is a button of its own (FaceState::pauseDown):
// Idle with pause down is "paused-idle", Recording or Playing with pause down are paused.
enum class Transport {
    Idle,         // nothing runs
    Confirming,   // a record start waits for the overwrite answer or the memory message
    Waiting,      // a record start waits for the previous recording's file to be complete
    RecordArmed,  // record down with pause down: the recording starts when pause is released
    PlayArmed,    // play down with pause down: the playback starts when pause is released
    Recording,    // a capture into a file runs
    Playing,      // a file is played
};

// How a socket of the line window is drawn.
enum class SocketState { Normal = 0, Hover = 1, UnderTest = 2, Current = 3 };

// One snapshot of what the front face shows besides the info line and the displays: which
// buttons are down and which can be pressed, the file-name field, the sliders that are shown,
// the line window. The controller sends one after every change; the face only draws it.
struct FaceState {
    static constexpr std::size_t kMaxSockets = 10;

    Transport transport = Transport::Idle;

    bool recordDown = false;
    bool pauseDown = false;
    bool playDown = false;
    bool signalDown = false;    // signal mode (the track splitter)
    bool scheduleDown = false;  // schedule mode
    bool multiFileDown = false;
    bool timeStampedDown = false;
    // Record, play, eject and the two naming switches take no press while recording or playing.
    bool transportEnabled = true;

    bool sixteenBits = true;  // the 16-bit button down (else 8-bit)
    bool stereo = true;       // the stereo button down (else mono)
    int rateIndex = 7;
    bool monitor = false;
    bool backgroundOn = false;
    OutputFormat outputFormat = OutputFormat::Wav;

    std::string fieldText;  // the file-name field
    int playSource = 0;     // 0 the field's file, 1 the background file, 2 the history's file
    int threshold = 0;      // 0..47
    bool thresholdVisible = false;          // in signal mode
    bool backgroundBalanceVisible = false;  // while recording with background music
    bool startupFace = false;               // the first-run texts are drawn on the face

    bool lineWindowOpen = false;
    int lineIndex = -1;
    std::vector<std::string> lineNames;  // at most kMaxSockets, in line order
    std::vector<SocketState> sockets;    // one per name

    std::string dataRateText;  // "%dKB/S" of the format chosen for the next recording

    bool operator==(const FaceState&) const = default;
};

}  // namespace orvel
