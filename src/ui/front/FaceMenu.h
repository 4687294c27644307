#pragma once

#include <functional>
#include <memory>
#include <optional>

#include "config/ControlId.h"

class QMenu;

// The front face's pop-up menu, and what the entries of both menus (the pop-up menu and the
// tray's, TrayIcon) mean to the face. An entry that does what a control of the face does
// stands for that control and runs its command (FaceCommands); the others are the menus' own:
// open the face, configure the recording line, add the recorder to the desktop's start-up and
// the about window.
//
// Thread contract: GUI thread only.
namespace orvel {

class FaceMenu {
public:
    // The pop-up menu's entries (the tray's are TrayIcon's).
    static constexpr int kSelectDevice = 32782;
    static constexpr int kMp3Settings = 32786;
    static constexpr int kChangeFileName = 32790;
    static constexpr int kConfigLine = 32791;
    static constexpr int kRecord = 32777;
    static constexpr int kSignalRecord = 32783;
    static constexpr int kScheduleRecord = 32784;
    static constexpr int kStop = 32778;
    static constexpr int kPlay = 32779;
    static constexpr int kPause = 32780;
    static constexpr int kAddToStartup = 32785;
    static constexpr int kAbout = 32792;
    static constexpr int kExit = 32781;

    // The pop-up menu with its entries in order; an entry chosen calls `chosen` with its id.
    static std::unique_ptr<QMenu> makePopup(const std::function<void(int)>& chosen);
    // The control an entry of either menu stands for; none for the menus' own entries and for
    // ids of neither menu.
    static std::optional<ControlId> controlOf(int entry);
};

}  // namespace orvel
