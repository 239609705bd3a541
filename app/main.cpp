// Quenmar: a tank battle in one frameless window.
#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "core/checked.h"
#include "core/world.h"
#include "display/qt_main_window.h"

namespace {

constexpr int NO_DISPLAY_STATUS = 3;

// True when Qt would find no window system to open the battle window on.
bool no_display() {
    const auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && *value != '\0';
    };
    return !set("DISPLAY") && !set("WAYLAND_DISPLAY") && !set("QT_QPA_PLATFORM");
}

}  // namespace

int main(int, char** argv) {
    if (no_display()) {
        std::fprintf(stderr,
                     "quenmar: no display found (DISPLAY is not set); the game needs one\n");
        return NO_DISPLAY_STATUS;
    }
    int qt_argc = 1;  // the game takes no command line
    QApplication app(qt_argc, argv);
    GameWorld world{};
    MainWindow window(world);
    window.show();
    window.activateWindow();
    const int status = QApplication::exec();
    return window.faulted() ? FAULT_EXIT_STATUS : status;
}
