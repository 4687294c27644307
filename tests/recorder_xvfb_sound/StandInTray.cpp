#include "StandInTray.h"

#include "XServerView.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>

namespace orvel::test {

namespace {

// The tray protocol's opcode for an icon asking to dock.
constexpr std::uint32_t kRequestDock = 0;
constexpr std::uint16_t kWidth = 240;
constexpr std::uint16_t kHeight = 24;

xcb_atom_t atom(xcb_connection_t* connection, const std::string& name) {
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(
            connection,
            xcb_intern_atom(connection, 0, static_cast<uint16_t>(name.size()), name.data()),
            nullptr),
        &std::free);
    return reply ? reply->atom : XCB_NONE;
}

void sendMessage(xcb_connection_t* connection, xcb_window_t to, xcb_window_t about, xcb_atom_t type,
                 std::uint32_t mask, std::initializer_list<std::uint32_t> data) {
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = about;
    event.type = type;
    std::size_t i = 0;
    for (const std::uint32_t value : data) {
        event.data.data32[i++] = value;
    }
    xcb_send_event(connection, 0, to, mask, reinterpret_cast<const char*>(&event));
    xcb_flush(connection);
}

}  // namespace

StandInTray::StandInTray() {
    int screenNumber = 0;
    m_connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(m_connection) != 0) {
        return;
    }
    const xcb_screen_t* screen = screenOf(m_connection, screenNumber);
    const xcb_window_t root = screen->root;
    const xcb_atom_t selection =
        atom(m_connection, "_NET_SYSTEM_TRAY_S" + std::to_string(screenNumber));
    m_opcode = atom(m_connection, "_NET_SYSTEM_TRAY_OPCODE");
    m_stop = atom(m_connection, "ORVEL_STAND_IN_TRAY_STOP");
    // A strip at the screen's bottom right, above everything and out of a window manager's
    // hands, where the icons show.
    const xcb_window_t window = xcb_generate_id(m_connection);
    const std::uint32_t values[] = {screen->black_pixel, 1};
    xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, window, root,
                      static_cast<int16_t>(screen->width_in_pixels - kWidth),
                      static_cast<int16_t>(screen->height_in_pixels - kHeight), kWidth, kHeight, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT,
                      XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT, values);
    xcb_map_window(m_connection, window);
    xcb_set_selection_owner(m_connection, window, selection, XCB_CURRENT_TIME);
    std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&std::free)> owner(
        xcb_get_selection_owner_reply(m_connection,
                                      xcb_get_selection_owner(m_connection, selection), nullptr),
        &std::free);
    if (!owner || owner->owner != window) {
        return;  // another tray holds the selection
    }
    // Programs that started before the tray learn of it from this announcement.
    sendMessage(m_connection, root, root, atom(m_connection, "MANAGER"),
                XCB_EVENT_MASK_STRUCTURE_NOTIFY, {XCB_CURRENT_TIME, selection, window, 0, 0});
    m_window = window;
    m_reader = std::thread([this] { read(); });
}

StandInTray::~StandInTray() {
    if (m_reader.joinable()) {
        sendMessage(m_connection, m_window, m_window, m_stop, XCB_EVENT_MASK_NO_EVENT, {});
        m_reader.join();
    }
    xcb_disconnect(m_connection);
}

std::vector<std::uint32_t> StandInTray::docked() const {
    const std::lock_guard lock(m_mutex);
    return m_docked;
}

void StandInTray::read() {
    while (xcb_generic_event_t* event = xcb_wait_for_event(m_connection)) {
        const std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> owned(event, &std::free);
        if ((event->response_type & 0x7f) != XCB_CLIENT_MESSAGE) {
            continue;
        }
        const auto* message = reinterpret_cast<const xcb_client_message_event_t*>(event);
        if (message->type == m_stop) {
            return;
        }
        if (message->type == m_opcode && message->data.data32[1] == kRequestDock) {
            const xcb_window_t icon = message->data.data32[2];
            const std::lock_guard lock(m_mutex);
            // Each icon gets its own square, once, however often it asks.
            if (std::find(m_docked.begin(), m_docked.end(), icon) == m_docked.end()) {
                const auto x = static_cast<int16_t>(m_docked.size() * kHeight);
                xcb_reparent_window(m_connection, icon, m_window, x, 0);
                const std::uint32_t size[] = {kHeight, kHeight};
                xcb_configure_window(m_connection, icon,
                                     XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, size);
                xcb_map_window(m_connection, icon);
                xcb_flush(m_connection);
            }
            m_docked.push_back(icon);
        }
    }
}

}  // namespace orvel::test
