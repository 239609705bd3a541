// What the game tells and asks an X11 window manager beyond what Qt does.
#pragma once

#include <QMargins>
#include <QWidget>
#include <optional>

// Asks the window manager to leave the small window, which must be hidden,
// out of taskbars and pagers the next time it is shown, and to frame it with
// a title and a close button alone. Does nothing but on X11.
void set_small_window_hints(QWidget& window);

// The frame the window manager has put round the window, as it says it has;
// none until it has, and none but on X11.
std::optional<QMargins> frame_extents(QWidget& window);
