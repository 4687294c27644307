#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

// The smallest notification area a bare X server can have, for tests: it owns the tray
// selection of the display's screen, announces it on the root window as a desktop's panel does
// (so Qt sees a tray from then on), and notes every icon window that asks to dock. Docked icons
// are shown side by side in a strip of its own at the screen's bottom right, the way a panel
// embeds them, so they can be seen and clicked.
//
// Thread contract: made, asked and destroyed on one thread (the test's); a thread of its own
// reads the X server's messages.
namespace orvel::test {

class StandInTray {
public:
    // Connects to $DISPLAY and takes the selection; ok() says whether both worked.
    StandInTray();
    // Gives the selection up (its window goes with its connection) and ends its thread.
    ~StandInTray();
    StandInTray(const StandInTray&) = delete;
    StandInTray& operator=(const StandInTray&) = delete;

    bool ok() const { return m_window != XCB_NONE; }
    // The icon windows that asked to dock, in the order they asked (an icon may ask again).
    std::vector<std::uint32_t> docked() const;

private:
    void read();

    xcb_connection_t* m_connection = nullptr;
    xcb_window_t m_window = XCB_NONE;
    xcb_atom_t m_opcode = XCB_NONE;
    xcb_atom_t m_stop = XCB_NONE;
    mutable std::mutex m_mutex;
    std::vector<std::uint32_t> m_docked;
    std::thread m_reader;
};

}  // namespace orvel::test
