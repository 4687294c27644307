#pragma once

#include <cstddef>
#include <string>

// What the command line asks the recorder to do at start-up. Filled once by the application
// before the front face exists, read once at the end of the front face's initialisation; it is
// handed over only through this record.
//
// Thread contract: called on the GUI thread only; written before it is read, so no lock.
namespace orvel {

// What to start at once when auto record is on.
enum class AutoAction {
    RecordNow = 0,
    Signal = 1,             // signal-activated recording
    Schedule = 2,           // schedule recording
    SignalAndSchedule = 3,  // both, signal first
};

struct StartupOptions {
    static constexpr std::size_t kFileNameMaxBytes = 506;

    bool hide = false;        // hide the window in the tray
    bool autoRecord = false;  // one of the record switches was given; the fields below count
                              // only then
    AutoAction autoAction = AutoAction::RecordNow;
    std::string fileName;  // at most kFileNameMaxBytes, ends in ".wav", ".mp3" or ".wma"
                           // (any letter case); or empty
    // A -filename value that cannot be used, and why (both empty when none was refused). The
    // record switches then start nothing and the window is not hidden: the user learns why
    // instead of finding the recording under another name.
    std::string refusedFileName;
    std::string fileNameRefusal;
    int rateIndex = -1;       // -1 not given, else 0..8 into the sample-rate table
    int bitsChoice = -1;      // -1 not given, 0 = 8 bits, 1 = 16 bits
    int channelsChoice = -1;  // -1 not given, 0 = mono, 1 = stereo
    int mp3BitrateIndex = 0;  // 0 not given or not recognised, -1 given empty, else 1..15

    bool operator==(const StartupOptions&) const = default;

    // "-filename "NAME": REASON", for a terminal; empty when no name was refused.
    std::string refusalText() const;
};

// The process-wide record.
const StartupOptions& startupOptions();
void setStartupOptions(const StartupOptions& options);

}  // namespace orvel
