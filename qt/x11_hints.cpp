#include "qt/x11_hints.h"

#include <xcb/xcb.h>
#include <QGuiApplication>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

xcb_atom_t atom(xcb_connection_t* connection, const char* name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection,
        xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
        nullptr);
    const xcb_atom_t found = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return found;
}

// The connection to the X server, or none on another platform.
xcb_connection_t* x11_connection() {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (QGuiApplication::platformName() != "xcb" || x11 == nullptr) return nullptr;
    return x11->connection();
}

// The window manager's name, as it gives it on its check window.
std::string window_manager_name(xcb_connection_t* connection) {
    const auto property = [&](xcb_window_t window, const char* name, xcb_atom_t type) {
        xcb_get_property_reply_t* reply = xcb_get_property_reply(
            connection,
            xcb_get_property(connection, 0, window, atom(connection, name), type, 0, 64), nullptr);
        std::string value;
        if (reply != nullptr) {
            value.assign(static_cast<const char*>(xcb_get_property_value(reply)),
                         static_cast<std::size_t>(xcb_get_property_value_length(reply)));
        }
        std::free(reply);
        return value;
    };
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const std::string check = property(root, "_NET_SUPPORTING_WM_CHECK", XCB_ATOM_WINDOW);
    if (check.size() != sizeof(xcb_window_t)) return {};
    xcb_window_t wm = 0;
    std::memcpy(&wm, check.data(), sizeof wm);
    return property(wm, "_NET_WM_NAME", atom(connection, "UTF8_STRING"));
}

}  // namespace

// A window manager drops _NET_WM_STATE when a window is hidden and reads it
// when the window is mapped; Qt adds its own states to those it finds there.
void set_small_window_hints(QWidget& window) {
    xcb_connection_t* connection = x11_connection();
    if (connection == nullptr) return;
    const auto id = static_cast<xcb_window_t>(window.winId());
    const xcb_atom_t states[] = {atom(connection, "_NET_WM_STATE_SKIP_TASKBAR"),
                                 atom(connection, "_NET_WM_STATE_SKIP_PAGER")};
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, atom(connection, "_NET_WM_STATE"),
                        XCB_ATOM_ATOM, 32, 2, states);
    // Openbox frames every window but toolbars and menus with minimise and
    // maximise buttons, whatever the window asks for; to it alone the small
    // windows say they are toolbars first, and then the dialogs they are.
    if (window_manager_name(connection) != "Openbox") return;
    const xcb_atom_t types[] = {atom(connection, "_NET_WM_WINDOW_TYPE_TOOLBAR"),
                                atom(connection, "_NET_WM_WINDOW_TYPE_DIALOG")};
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id,
                        atom(connection, "_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM, 32, 2, types);
}

std::optional<QMargins> frame_extents(QWidget& window) {
    xcb_connection_t* connection = x11_connection();
    if (connection == nullptr) return std::nullopt;
    constexpr std::uint32_t LEFT_RIGHT_TOP_BOTTOM = 4;
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        connection,
        xcb_get_property(connection, 0, static_cast<xcb_window_t>(window.winId()),
                         atom(connection, "_NET_FRAME_EXTENTS"), XCB_ATOM_CARDINAL, 0,
                         LEFT_RIGHT_TOP_BOTTOM),
        nullptr);
    std::optional<QMargins> extents;
    if (reply != nullptr && reply->format == 32 && reply->value_len == LEFT_RIGHT_TOP_BOTTOM) {
        const auto* e = static_cast<const std::uint32_t*>(xcb_get_property_value(reply));
        extents = QMargins(static_cast<int>(e[0]), static_cast<int>(e[2]), static_cast<int>(e[1]),
                           static_cast<int>(e[3]));
    }
    std::free(reply);
    return extents;
}
