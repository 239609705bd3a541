#include "qt/x11_hints.h"

#include <QGuiApplication>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

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

}  // namespace

// A window manager drops _NET_WM_STATE when a window is hidden and reads it
// when the window is mapped; Qt adds its own states to those it finds there.
void keep_off_taskbar(QWidget& window) {
    xcb_connection_t* connection = x11_connection();
    if (connection == nullptr) return;
    const xcb_atom_t states[] = {atom(connection, "_NET_WM_STATE_SKIP_TASKBAR"),
                                 atom(connection, "_NET_WM_STATE_SKIP_PAGER")};
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, static_cast<xcb_window_t>(window.winId()),
                        atom(connection, "_NET_WM_STATE"), XCB_ATOM_ATOM, 32, 2, states);
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
