#pragma once

#include <memory>
#include <string>

#include "platform/ViewerProcess.h"

namespace orvel::platform {

// Opens a page or address in the desktop's HTML viewer, as a process the caller can end again.
// DesktopBrowser is the desktop's backend; tests of the schedule give a fake of their own.
//
// Thread contract: called on one thread at a time, which need not be the GUI thread. open() may
// wait (the desktop's browser is looked up by running a program), so the schedule calls it on a
// worker thread.
class ViewerLauncher {
public:
    virtual ~ViewerLauncher() = default;

    // The started viewer, or null when no viewer is known or none could be started (nothing
    // is reported then: the caller goes on without a viewer).
    virtual std::unique_ptr<ViewerProcess> open(const std::string& target) = 0;
};

}  // namespace orvel::platform
