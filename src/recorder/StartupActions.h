#pragma once

#include <vector>

#include "recorder/StartupOptions.h"

namespace orvel {

class RecorderController;

// The presses of an auto action, in the order they are made.
enum class StartupPress { Record, Signal, Schedule };

// Applies the command line's start-up options to the recorder as the front face does at the end
// of its initialisation, in this order: the MP3 bit rate (stored at once), the channels, the
// bits, the rate, the file name, and then the presses of the auto action (record; signal;
// schedule; signal then schedule), posted so that they run after the initialisation, in order,
// through the same commands as the buttons. Nothing happens without a record switch. A refused
// file name is shown on the info line and no press is made. Hiding the window is the window's
// own business.
//
// Thread contract: called on the GUI thread.
void applyStartupOptions(RecorderController& controller, const StartupOptions& options);

// The two halves of it, for a window that makes the presses itself (as clicks on its buttons):
// the format choices and the file name, applied at once; and the presses to make, none without
// a record switch.
void applyStartupChoices(RecorderController& controller, const StartupOptions& options);
std::vector<StartupPress> startupPresses(const StartupOptions& options);

}  // namespace orvel
