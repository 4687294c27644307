#include "XServerView.h"

#include <QGuiApplication>
#include <cstdlib>
#include <memory>

namespace orvel::test {

namespace {

// Replies and errors are the caller's to free.
template <typename T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

template <typename T>
Reply<T> reply(T* value, xcb_generic_error_t* error) {
    std::free(error);
    return Reply<T>(value, &std::free);
}

}  // namespace

xcb_screen_t* screenOf(xcb_connection_t* connection, int screenNumber) {
    xcb_screen_iterator_t screen = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber; ++i) {
        xcb_screen_next(&screen);
    }
    return screen.data;
}

XServerView::XServerView() {
    int screenNumber = 0;
    m_connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(m_connection) != 0) {
        return;
    }
    m_root = screenOf(m_connection, screenNumber)->root;
}

XServerView::~XServerView() {
    xcb_disconnect(m_connection);
}

std::optional<QRect> XServerView::shownAt(std::uint32_t window) const {
    xcb_generic_error_t* error = nullptr;
    const auto attributes =
        reply(xcb_get_window_attributes_reply(
                  m_connection, xcb_get_window_attributes(m_connection, window), &error),
              error);
    if (!attributes || attributes->map_state != XCB_MAP_STATE_VIEWABLE) {
        return std::nullopt;
    }
    const auto geometry =
        reply(xcb_get_geometry_reply(m_connection, xcb_get_geometry(m_connection, window), &error),
              error);
    const auto origin = reply(
        xcb_translate_coordinates_reply(
            m_connection, xcb_translate_coordinates(m_connection, window, m_root, 0, 0), &error),
        error);
    if (!geometry || !origin) {
        return std::nullopt;
    }
    return QRect(origin->dst_x, origin->dst_y, geometry->width, geometry->height);
}

std::vector<std::uint32_t> XServerView::stacking() const {
    xcb_generic_error_t* error = nullptr;
    const auto tree = reply(
        xcb_query_tree_reply(m_connection, xcb_query_tree(m_connection, m_root), &error), error);
    if (!tree) {
        return {};
    }
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    return {children, children + xcb_query_tree_children_length(tree.get())};
}

std::uint32_t XServerView::transientFor(std::uint32_t window) const {
    xcb_generic_error_t* error = nullptr;
    const auto property = reply(
        xcb_get_property_reply(m_connection,
                               xcb_get_property(m_connection, 0, window, XCB_ATOM_WM_TRANSIENT_FOR,
                                                XCB_ATOM_WINDOW, 0, 1),
                               &error),
        error);
    if (!property || xcb_get_property_value_length(property.get()) < 4) {
        return XCB_NONE;
    }
    return *static_cast<const std::uint32_t*>(xcb_get_property_value(property.get()));
}

void XServerView::syncQt() {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr) {
        return;
    }
    xcb_connection_t* connection = x11->connection();
    // A reply comes after everything sent before its request has been handled.
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
}

}  // namespace orvel::test
