#pragma once

#include "app/StartupOptions.h"

namespace orvel {

class RecorderController;

// Applies the command line's start-up options to the recorder as the front face does at the end
// of its initialisation, in this order: the MP3 bit rate (stored at once), the channels, the
// bits, the rate, the file name, and then the presses of the auto action (record; signal;
// schedule; signal then schedule), posted so that they run after the initialisation, in order,
// through the same commands as the buttons. Nothing happens without a record switch. Hiding the
// window is the window's own business.
//
// Thread contract: called on the GUI thread.
void applyStartupOptions(RecorderController& controller, const StartupOptions& options);

}  // namespace orvel
