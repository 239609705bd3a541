// Quenmar: a tank battle in one frameless window.
#include <QApplication>
#include <QIcon>
#include <QScreen>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <fcntl.h>
#include <unistd.h>

#include "qt/main_window.h"
#include "qt/placement.h"

namespace {

constexpr int NO_DISPLAY_STATUS = 3;

std::string variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// The display the window system would be reached on, as the environment names it.
std::string display_named() {
    std::string named;
    for (const char* name : {"QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "DISPLAY"}) {
        if (variable(name).empty()) continue;
        named += (named.empty() ? "" : ", ") + std::string(name) + "=" + variable(name);
    }
    return named;
}

// While the window system is being reached, what Qt and the libraries below
// it would say is held back: if it cannot be reached, the player gets one line
// naming the display and the game ends with the status of "no display",
// instead of an abort and a core file. Once it is reached, Qt's held messages
// are let through.
std::string held_messages;
int standard_error = -1;  // the real standard error while it is held back

void hold_standard_error() {
    std::fflush(stderr);
    standard_error = ::dup(STDERR_FILENO);
    const int nowhere = ::open("/dev/null", O_WRONLY);
    if (standard_error < 0 || nowhere < 0) return;
    ::dup2(nowhere, STDERR_FILENO);
    ::close(nowhere);
}

void release_standard_error() {
    if (standard_error < 0) return;
    std::fflush(stderr);
    ::dup2(standard_error, STDERR_FILENO);
    ::close(standard_error);
    standard_error = -1;
}

void hold_message(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtFatalMsg) {
        release_standard_error();
        std::fprintf(stderr, "quenmar: cannot open a window on the display (%s)\n",
                     display_named().c_str());
        std::fflush(stderr);
        ::_exit(NO_DISPLAY_STATUS);
    }
    held_messages += message.toStdString() + "\n";
}

}  // namespace

int main(int, char** argv) {
    if (display_named().empty()) {
        std::fprintf(stderr,
                     "quenmar: no display found (DISPLAY is not set); the game needs one\n");
        return NO_DISPLAY_STATUS;
    }
    int qt_argc = 1;  // the game takes no command line
    qInstallMessageHandler(hold_message);
    hold_standard_error();
    QApplication app(qt_argc, argv);
    release_standard_error();
    qInstallMessageHandler(nullptr);
    std::fputs(held_messages.c_str(), stderr);

    QApplication::setDesktopFileName("quenmar");  // the menu entry: its name and icon
    QIcon icon;
    for (const int size : {48, 64, 128, 256})
        icon.addFile(QString(":/icons/%1x%1/quenmar.png").arg(size));
    QApplication::setWindowIcon(icon);

    Session session;
    MainWindow window(session, random_from_clock());
    window.setGeometry(fitted_geometry(window.screen()->availableGeometry()));
    window.show();
    window.activateWindow();
    const int status = QApplication::exec();
    return session.end ? session.end->status : status;
}
