#pragma once

#include <xcb/xcb.h>

#include <QRect>
#include <cstdint>
#include <optional>
#include <vector>

// What the X server itself holds about windows, asked on a connection of its own: where a
// window stands on the screen, the stacking of the root's children and a window's transient
// parent. Without a window manager the windows Qt makes are the root's children themselves.
//
// Thread contract: one thread at a time.
namespace orvel::test {

// The screen of that number on a connection that has no error.
xcb_screen_t* screenOf(xcb_connection_t* connection, int screenNumber);

class XServerView {
public:
    XServerView();  // connects to $DISPLAY
    ~XServerView();
    XServerView(const XServerView&) = delete;
    XServerView& operator=(const XServerView&) = delete;

    bool ok() const { return m_root != XCB_NONE; }
    // Where a window is on the screen while it exists and is viewable.
    std::optional<QRect> shownAt(std::uint32_t window) const;
    // The root's children, bottom to top.
    std::vector<std::uint32_t> stacking() const;
    // The window's WM_TRANSIENT_FOR, or none.
    std::uint32_t transientFor(std::uint32_t window) const;

    // Returns once the X server has handled every request this program's Qt has made.
    static void syncQt();

private:
    xcb_connection_t* m_connection = nullptr;
    xcb_window_t m_root = XCB_NONE;
};

}  // namespace orvel::test
