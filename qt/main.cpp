// Quenmar: a tank battle in one frameless window. Every battle is kept as a
// battle file; a kept battle can be shown again.
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

namespace fs = std::filesystem;

constexpr int BAD_INPUT_STATUS = 2;
constexpr int NO_DISPLAY_STATUS = 3;
constexpr std::size_t BATTLES_KEPT = 20;  // the newest kept in the battles folder

struct Options {
    std::string record_file, replay_file;
    bool mute = false;
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
    app.add_option("--replay", o.replay_file,
                   "Show the battle kept in FILE again: p or Space pauses it, . steps, - and + "
                   "slow it down and speed it up, Left and Right go ten seconds back and on, "
                   "Home and End to its start and end, Esc ends it.")
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

std::string local_time_name() {
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    char name[32];
    std::strftime(name, sizeof name, "%Y-%m-%d-%H%M%S", std::localtime(&now));
    return name;
}

// A new battle file in the battles folder, named by the local time; the
// oldest files go so that the newest BATTLES_KEPT stay.
fs::path new_battle_path() {
    const std::string state =
        std::getenv("XDG_STATE_HOME") != nullptr
            ? std::getenv("XDG_STATE_HOME")
            : std::string(std::getenv("HOME") ? std::getenv("HOME") : ".") + "/.local/state";
    const fs::path folder = fs::path(state) / "quenmar" / "battles";
    fs::create_directories(folder);
    std::vector<fs::path> kept;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() == ".battle") kept.push_back(entry.path());
    }
    std::sort(kept.begin(), kept.end());
    for (std::size_t i = 0; i + BATTLES_KEPT < kept.size() + 1; ++i)
        fs::remove(kept[i]);
    fs::path path = folder / (local_time_name() + ".battle");
    for (int n = 2; fs::exists(path); ++n)
        path = folder / (local_time_name() + "-" + std::to_string(n) + ".battle");
    return path;
}

// Where this battle is kept, open for writing; none, said in one line, if it cannot be.
std::FILE* open_record(const Options& o) {
    std::string path = o.record_file;
    try {
        if (path.empty()) path = new_battle_path().string();
    } catch (const fs::filesystem_error& e) {
        std::fprintf(stderr, "quenmar: the battle is not kept: %s\n", e.what());
        return nullptr;
    }
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (file == nullptr)
        std::fprintf(stderr, "quenmar: %s: cannot be written; the battle is not kept\n",
                     path.c_str());
    return file;
}

// The battle file to show again, or the line that says what is wrong with it.
std::variant<BattleFile, std::string> battle_to_show(const std::string& name) {
    try {
        return read_battle_from(name);
    } catch (const InputError& e) {
        return std::string(e.what());
    }
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
    std::optional<MainWindow> window;
    std::FILE* record = nullptr;
    if (!options.replay_file.empty()) {
        std::variant<BattleFile, std::string> battle = battle_to_show(options.replay_file);
        if (const std::string* wrong = std::get_if<std::string>(&battle)) {
            std::fprintf(stderr, "quenmar: %s\n", wrong->c_str());
            QMessageBox::critical(nullptr, "Quenmar", QString::fromStdString(*wrong));
            return BAD_INPUT_STATUS;
        }
        BattleFile& file = std::get<BattleFile>(battle);
        window.emplace(match);
        window->resize(file.width, file.height);
        match_start_replay(match, *window, std::move(file), window->devicePixelRatioF());
    } else {
        window.emplace(match);
        match_start_game(match, *window, random_from_clock(), DESIGN_WIDTH, DESIGN_HEIGHT,
                         window->devicePixelRatioF());
        record = open_record(options);
        if (record != nullptr) {
            window->keep_in(record);
            match_write_out(match, record);
        }
        window->setGeometry(fitted_geometry(window->screen()->availableGeometry()));
    }
    match_set_muted(match, options.mute || sound_kept_off());
    window->play_sound();
    window->show();
    window->activateWindow();
    const int status = QApplication::exec();
    window.reset();
    if (record != nullptr) std::fclose(record);
    const std::optional<SessionEnd>& end = match.session.end;
    return end && end->status != 0 ? end->status : status;
}
