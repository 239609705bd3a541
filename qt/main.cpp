// Quenmar: a tank battle in one frameless window. Every battle is kept as a
// battle file as it is fought; a battle cut off before its end is brought
// back at the next start, and a kept battle can be shown again.
#include <fcntl.h>
#include <unistd.h>
#include <CLI/CLI.hpp>
#include <QApplication>
#include <QIcon>
#include <QMessageBox>
#include <QScreen>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "qt/main_window.h"
#include "qt/placement.h"
#include "record/battle_link.h"

namespace {

constexpr int BAD_INPUT_STATUS = 2;
constexpr int NO_DISPLAY_STATUS = 3;

struct Options {
    std::string record_file, replay_file;
    bool mute = false;
    bool fresh = false;  // --new
    bool no_vibration = false;
    bool no_pads = false;
};

// The options, or the status to end with at once (after --help, --version or a bad option).
std::variant<Options, int> read_options(int argc, char** argv) {
    CLI::App app(
        "A tank battle in one window. Every battle is kept in "
        "$XDG_STATE_HOME/quenmar/battles/ (the newest 20), and can be shown again.",
        "quenmar");
    Options o;
    app.set_version_flag("--version", "quenmar " QUENMAR_VERSION);
    app.add_option("--record", o.record_file, "Keep this battle in FILE instead.")
        ->type_name("FILE");
    app.add_flag("--mute", o.mute, "Start with the sound off (m turns it on).");
    app.add_flag("--no-vibration", o.no_vibration,
                 "Start with the pads' rumble off (v turns it on).");
    app.add_flag("--no-pads", o.no_pads, "Take no game pads' input.");
    app.add_flag("--new", o.fresh,
                 "Start a new battle even where the last one was cut off before its end "
                 "(without it, that battle is brought back, paused).");
    app.add_option("--replay", o.replay_file,
                   "Show the battle kept in FILE again: p or Space pauses it, . steps, - and + "
                   "slow it down and speed it up, Left and Right go ten seconds back and on, "
                   "Home and End to its start and end, Enter plays on from there, Esc ends it.")
        ->type_name("FILE");
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForVersion& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        std::fprintf(stderr, "quenmar: %s (quenmar --help says what it takes)\n", e.what());
        return BAD_INPUT_STATUS;
    }
    if (!o.record_file.empty() && !o.replay_file.empty()) {
        std::fprintf(stderr, "quenmar: --record and --replay go one at a time\n");
        return BAD_INPUT_STATUS;
    }
    return o;
}

// The battle file to show again, or the line that says what is wrong with it.
std::variant<BattleFile, std::string> battle_to_show(const std::string& name) {
    try {
        return read_battle_from(name);
    } catch (const InputError& e) {
        return std::string(e.what());
    }
}

// Brings back the newest kept battle where it was cut off before its end. One
// that no longer replays is set aside, and one line says so.
bool bring_back(Match& match, MainWindow& window, BattleKeeper& keeper) {
    const std::optional<std::filesystem::path> newest = keeper.newest();
    if (!newest) return false;
    BroughtBack brought;
    std::string bytes;
    try {
        bytes = battle_bytes_from(newest->string());
        brought =
            match_bring_back(match, window, bytes, newest->string(), window.devicePixelRatioF());
    } catch (const InputError& e) {
        brought.why = e.what();
    }
    if (brought.back) keeper.go_on_in(*newest, whole_lines(bytes).size());
    if (!brought.why.empty()) {
        std::fprintf(stderr, "quenmar: %s; it is kept as %s, and a new battle starts\n",
                     brought.why.c_str(), keeper.set_aside(*newest).c_str());
    }
    return brought.back;
}

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

int main(int argc, char** argv) {
    const std::variant<Options, int> read = read_options(argc, argv);
    if (const int* status = std::get_if<int>(&read)) return *status;
    const Options& options = std::get<Options>(read);
    if (display_named().empty()) {
        std::fprintf(stderr,
                     "quenmar: no display found (DISPLAY is not set); the game needs one\n");
        return NO_DISPLAY_STATUS;
    }
    int qt_argc = 1;  // Qt takes none of the options: the game read its own above
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

    Match match;
    BattleKeeper keeper(options.record_file);
    MainWindow window(match, keeper);
    const double scale = window.devicePixelRatioF();
    if (!options.replay_file.empty()) {
        std::variant<BattleFile, std::string> battle = battle_to_show(options.replay_file);
        if (const std::string* wrong = std::get_if<std::string>(&battle)) {
            std::fprintf(stderr, "quenmar: %s\n", wrong->c_str());
            QMessageBox::critical(nullptr, "Quenmar", QString::fromStdString(*wrong));
            return BAD_INPUT_STATUS;
        }
        match_start_replay(match, window, std::move(std::get<BattleFile>(battle)), scale);
    } else {
        window.setGeometry(fitted_geometry(window.screen()->availableGeometry()));
        if (options.fresh || !options.record_file.empty() || !bring_back(match, window, keeper)) {
            match_start_game(match, window, random_from_clock(), window.width(), window.height(),
                             scale);
        }
    }
    match_set_muted(match, options.mute || sound_kept_off());
    match_set_vibration_off(match, options.no_vibration || rumble_kept_off());
    window.play_sound();
    if (!options.no_pads) window.take_pads();
    window.show();
    window.activateWindow();
    const int status = QApplication::exec();
    const std::optional<SessionEnd>& end = match.session.end;
    return end && end->status != 0 ? end->status : status;
}
