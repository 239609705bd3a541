// What the game tells an X11 window manager beyond what Qt does.
#pragma once

#include <QWidget>

// Asks the window manager to leave the window, which must be hidden, out of
// taskbars and pagers the next time it is shown. Does nothing but on X11.
void keep_off_taskbar(QWidget& window);
