// The real game on a virtual X server with a real window manager (Openbox),
// driven by real X input events.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <QLineF>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>

#include <QSettings>

#include "sound_server.h"
#include "x11_session.h"

namespace {

constexpr QRgb WHITE = qRgb(255, 255, 255);
constexpr QRgb BLACK = qRgb(0, 0, 0);
constexpr QRgb PLAYER_BLUE = qRgb(0, 0, 150);
constexpr QRgb SHELL_RED = qRgb(200, 0, 0);
constexpr QRgb TRAIL_PALE = qRgb(255, 225, 225);

class Game : public testing::Test {
  protected:
    X11Session x;
    pid_t game = -1;
    XWindow main = 0;
    QImage last;  // the latest picture, saved when a test fails

    void SetUp() override {
        ASSERT_TRUE(x.ok()) << "Xvfb or Openbox did not start";
        std::filesystem::create_directories(E2E_SHOTS);
        const std::string said = std::string(E2E_SHOTS "/") + file_name() + ".stderr";
        game = x.launch(QUENMAR, {}, said);
        ASSERT_GT(game, 0);
        const bool shown = wait_until([&] { return x.find_window("Quenmar").has_value(); }, 20s);
        if (!shown) {
            const std::optional<int> ended = x.wait_exit(game, 0ms);
            FAIL() << "no window named Quenmar; the game "
                   << (ended ? "ended with status " + std::to_string(*ended) : "still runs")
                   << "; what it said is in " << said;
        }
        main = *x.find_window("Quenmar");
        ASSERT_TRUE(wait_until([&] { return x.active_window() == main; }, 5s))
            << "the window manager did not give the battle the keyboard";
    }

    void TearDown() override {
        if (!HasFailure() || last.isNull()) return;
        const std::string file = std::string(E2E_SHOTS "/") + file_name() + ".png";
        last.save(QString::fromStdString(file));
        std::printf("screenshot of the failure: %s\n", file.c_str());
    }

    // The test's name, fit to name a file.
    static std::string file_name() {
        std::string name = testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(name.begin(), name.end(), '/', '-');
        return name;
    }

    QImage shot() { return last = x.grab(main); }

    bool shows_battle() {
        const QImage s = shot();
        return count_colour(s, WHITE) > s.width() * s.height() / 2 && count_colour(s, BLACK) > 0 &&
               count_colour(s, PLAYER_BLUE) > 0;
    }

    // Waits for the picture to change from `before`.
    bool moves_on_from(const QImage& before) {
        return wait_until([&] { return shot() != before; }, 5s);
    }

    // Waits for the picture to stand still for 400 ms, as a running battle's
    // never does for long.
    bool frozen() {
        return wait_until(
            [&] {
                const QImage a = shot();
                std::this_thread::sleep_for(400ms);
                return shot() == a;
            },
            3s);
    }

    std::optional<XWindow> wait_for(const std::string& name) {
        wait_until([&] { return x.find_window(name).has_value(); }, 5s);
        return x.find_window(name);
    }

    // A point of the battle window, on the screen.
    QPoint on_battle(QPoint at) { return x.geometry(main).topLeft() + at; }

    void move_to(QPoint at) {
        x.xdotool("mousemove " + std::to_string(at.x()) + " " + std::to_string(at.y()));
    }
    void click_at(QPoint at) {
        move_to(at);
        x.xdotool("click 1");
    }
    bool gone(const std::string& name) {
        return wait_until([&] { return !x.find_window(name).has_value(); }, 3s);
    }
};

TEST_F(Game, opens_a_frameless_723_by_651_window) {
    EXPECT_EQ(x.geometry(main).size(), QSize(723, 651));
    EXPECT_FALSE(x.has_frame_decorations(main)) << "the window asks for no frame or caption bar";
}

TEST_F(Game, shows_a_white_field_with_black_enemies_and_the_blue_player) {
    EXPECT_TRUE(wait_until([&] { return shows_battle(); }, 3s))
        << "white " << count_colour(last, WHITE) << ", black " << count_colour(last, BLACK)
        << ", blue " << count_colour(last, PLAYER_BLUE);
}

// Up, and the key in W's place by its place, whatever its letter: Z on a
// French keyboard.
class Driving : public Game,
                public testing::WithParamInterface<std::pair<const char*, const char*>> {};

TEST_P(Driving, holding_the_key_drives_the_blue_tank) {
    const auto [layout, key] = GetParam();
    ASSERT_TRUE(x.keyboard_layout(layout));
    ASSERT_TRUE(wait_until([&] { return shows_battle(); }, 3s));
    // The way it went, step by step: an edge may turn it straight back.
    QPointF at = centre_of(shot(), PLAYER_BLUE);
    double driven = 0;
    x.xdotool(std::string("keydown ") + key);
    for (int step = 0; step < 10; ++step) {
        std::this_thread::sleep_for(100ms);
        const QPointF next = centre_of(shot(), PLAYER_BLUE);
        if (at.x() >= 0 && next.x() >= 0) driven += QLineF(at, next).length();
        at = next;
    }
    x.xdotool(std::string("keyup ") + key);
    EXPECT_GT(driven, 15) << "it stayed near where it was";
}

INSTANTIATE_TEST_SUITE_P(Keys, Driving,
                         testing::Values(std::pair("us", "Up"), std::pair("fr", "z")),
                         [](const auto& key) { return std::string(key.param.second); });

// A minimised battle waits: the blue tank, driven to full speed and let go as
// the window goes, still has its speed when the window comes back, where a
// running battle would have braked it to a stop. An enemy's shell stops it
// too, now and then, so it has three tries.
TEST_F(Game, a_minimised_battle_waits_until_it_is_restored) {
    ASSERT_TRUE(wait_until([&] { return shows_battle(); }, 3s));
    double moved = 0;
    for (int attempt = 0; attempt < 3 && moved <= 5; ++attempt) {
        x.xdotool("keydown Up");
        std::this_thread::sleep_for(1500ms);
        x.xdotool("windowminimize --sync " + std::to_string(main));
        x.xdotool("keyup Up");
        std::this_thread::sleep_for(2500ms);
        x.xdotool("windowactivate --sync " + std::to_string(main));
        QPointF before;
        ASSERT_TRUE(
            wait_until([&] { return (before = centre_of(shot(), PLAYER_BLUE)).x() >= 0; }, 2s));
        std::this_thread::sleep_for(200ms);
        moved = QLineF(before, centre_of(shot(), PLAYER_BLUE)).length();
    }
    EXPECT_GT(moved, 5) << "it stands still";
}

// A quick click, its press and release between two ticks, fires as a held button does.
TEST_F(Game, a_quick_left_click_fires_a_shell_with_a_red_head_and_pale_trail) {
    ASSERT_TRUE(wait_until([&] { return shows_battle(); }, 3s));
    const int trail_before = count_colour(shot(), TRAIL_PALE);
    const QPointF player = centre_of(last, PLAYER_BLUE);
    const int aim_x =
        player.x() < 361 ? static_cast<int>(player.x()) + 200 : static_cast<int>(player.x()) - 200;
    move_to(on_battle(QPoint(aim_x, static_cast<int>(player.y()))));
    x.xdotool("click 1");
    // Only a shell on its way from the player's tank to the pointer counts, not an enemy's.
    const QRect path = QRect(QPoint(static_cast<int>(player.x()), static_cast<int>(player.y()) - 8),
                             QPoint(aim_x, static_cast<int>(player.y()) + 8))
                           .normalized();
    const bool fired = wait_until(
        [&] {
            const QImage s = shot();
            return count_colour(s.copy(path), SHELL_RED) > 0 &&
                   count_colour(s, TRAIL_PALE) > trail_before;
        },
        3s);
    EXPECT_TRUE(fired) << "red on the player's line " << count_colour(last.copy(path), SHELL_RED)
                       << ", pale " << count_colour(last, TRAIL_PALE);
}

TEST_F(Game, p_freezes_the_battle_and_p_again_lets_it_move) {
    ASSERT_TRUE(wait_until([&] { return shows_battle(); }, 3s));
    x.xdotool("key p");
    EXPECT_TRUE(frozen());
    const QImage paused = shot();
    x.xdotool("key p");
    EXPECT_TRUE(moves_on_from(paused));
}

TEST_F(Game, f1_shows_the_help_and_freezes_until_close_is_clicked) {
    ASSERT_TRUE(wait_until([&] { return shows_battle(); }, 3s));
    x.xdotool("key F1");
    const std::optional<XWindow> help = wait_for("Help");
    ASSERT_TRUE(help.has_value()) << "no window named Help";
    const QRect box = x.geometry(*help);
    EXPECT_EQ(box.size(), QSize(305, 298));  // the help's 175 and five lines below
    EXPECT_TRUE(frozen());
    const QImage paused = shot();
    click_at(box.topLeft() + QPoint(8 + 44, 128 + 20));  // "Close"
    EXPECT_TRUE(wait_until([&] { return !x.find_window("Help").has_value(); }, 3s));
    EXPECT_TRUE(moves_on_from(paused));
}

TEST_F(Game, esc_shows_the_score_next_level_starts_afresh_and_quit_ends_with_status_0) {
    ASSERT_TRUE(wait_until([&] { return shows_battle(); }, 3s));
    move_to(on_battle(QPoint(700, 20)));
    x.xdotool("mousedown 1");  // leave some trails to be cleared
    std::this_thread::sleep_for(800ms);
    x.xdotool("mouseup 1");
    x.xdotool("key Escape");
    std::optional<XWindow> result = wait_for("Result");
    ASSERT_TRUE(result.has_value()) << "no window named Result";
    QRect box = x.geometry(*result);
    EXPECT_EQ(box.size(), QSize(213, 112));
    const int trail_before = count_colour(shot(), TRAIL_PALE);
    click_at(box.topLeft() + QPoint(168 + 20, 56 + 24));  // "Next level"
    EXPECT_TRUE(wait_until([&] { return !x.find_window("Result").has_value(); }, 3s));
    EXPECT_TRUE(wait_until(
        [&] { return shows_battle() && count_colour(last, TRAIL_PALE) < trail_before; }, 3s))
        << "no fresh level: pale trail pixels " << count_colour(last, TRAIL_PALE) << " of "
        << trail_before;

    x.xdotool("key Escape");
    result = wait_for("Result");
    ASSERT_TRUE(result.has_value());
    box = x.geometry(*result);
    click_at(box.topLeft() + QPoint(8 + 52, 56 + 24));  // "Quit"
    EXPECT_EQ(x.wait_exit(game, 1500ms), std::optional<int>(0));
}

TEST_F(Game, a_close_request_from_the_window_system_ends_it_cleanly) {
    x.request_close(main);
    EXPECT_EQ(x.wait_exit(game, 3s), std::optional<int>(0));
}

// The small windows belong to the battle: transient for it, dialogs, kept
// above it when the player clicks the battle, and neither maximisable nor
// minimisable.
TEST_F(Game, the_small_windows_are_dialogs_of_the_battle_and_stay_above_it) {
    ASSERT_TRUE(wait_until([&] { return shows_battle(); }, 3s));
    for (const auto& [key, name] : {std::pair("Escape", "Result"), std::pair("F1", "Help")}) {
        x.xdotool(std::string("key ") + key);
        const std::optional<XWindow> window = wait_for(name);
        ASSERT_TRUE(window.has_value()) << name;
        EXPECT_EQ(x.transient_for(*window), main) << name;
        EXPECT_TRUE(x.has_atom(*window, "_NET_WM_WINDOW_TYPE", "_NET_WM_WINDOW_TYPE_DIALOG"));
        for (const char* action : {"_NET_WM_ACTION_MAXIMIZE_HORZ", "_NET_WM_ACTION_MINIMIZE"})
            EXPECT_FALSE(x.has_atom(*window, "_NET_WM_ALLOWED_ACTIONS", action)) << name << action;
        EXPECT_TRUE(x.has_atom(*window, "_NET_WM_STATE", "_NET_WM_STATE_SKIP_TASKBAR")) << name;
        click_at(on_battle(QPoint(5, 5)));  // aim at the battle: the window manager raises it
        std::this_thread::sleep_for(300ms);
        const std::vector<XWindow> order = x.stacking();
        const auto at = [&](XWindow w) { return std::find(order.begin(), order.end(), w); };
        EXPECT_TRUE(x.find_window(name).has_value()) << name << " is buried";
        EXPECT_GT(at(*window), at(main)) << name << " went below the battle";
        x.xdotool(std::string("key ") + key);  // the battle has the keyboard: closes it
        EXPECT_TRUE(gone(name)) << name;
    }
}

// A key released while another window has the keyboard never comes back as a
// key up: the arrows are let go when the game loses the keyboard.
TEST_F(Game, an_arrow_released_in_another_window_does_not_stick) {
    ASSERT_TRUE(wait_until([&] { return shows_battle(); }, 3s));
    const XWindow other = x.open_other_window("Other");
    x.xdotool("windowactivate --sync " + std::to_string(main));
    x.xdotool("keydown Up");
    std::this_thread::sleep_for(1s);
    x.xdotool("windowactivate --sync " + std::to_string(other));
    x.xdotool("keyup Up");
    // How far the blue tank goes in 100 ms, five times: at full speed some
    // 12 units, standing still none (a hit or a new level may move it once).
    const auto stands_still = [&] {
        std::vector<double> steps;
        QPointF before = centre_of(shot(), PLAYER_BLUE);
        for (int i = 0; i < 5; ++i) {
            std::this_thread::sleep_for(100ms);
            const QPointF after = centre_of(shot(), PLAYER_BLUE);
            steps.push_back(QLineF(before, after).length());
            before = after;
        }
        std::sort(steps.begin(), steps.end());
        return steps[2] < 1.0;
    };
    // The battle runs on behind the other window, where the tank, let go,
    // comes to a stop; back in the battle, it stays there.
    EXPECT_TRUE(wait_until(stands_still, 5s)) << "the tank drives on by itself";
    x.xdotool("windowactivate --sync " + std::to_string(main));
    EXPECT_TRUE(stands_still()) << "the tank drives on by itself";
}

// Each time it opens, the result window's frame, title bar and all, is
// centred over the battle as it is.
TEST_F(Game, the_result_window_opens_centred_over_the_battle_where_it_now_is) {
    ASSERT_TRUE(wait_until([&] { return shows_battle(); }, 3s));
    for (const QPoint battle_at : {QPoint(40, 30), QPoint(500, 300)}) {
        x.xdotool("windowmove --sync " + std::to_string(main) + " " +
                  std::to_string(battle_at.x()) + " " + std::to_string(battle_at.y()));
        wait_until([&] { return x.geometry(main).topLeft() == battle_at; }, 2s);
        x.xdotool("key Escape");
        const std::optional<XWindow> result = wait_for("Result");
        ASSERT_TRUE(result.has_value());
        // The first time, the window is placed again once it is framed.
        QPoint offset;
        EXPECT_TRUE(wait_until(
            [&] {
                offset = x.frame_geometry(*result).center() - x.geometry(main).center();
                return offset.manhattanLength() <= 2;
            },
            2s))
            << "off the battle's centre by " << offset.x() << ", " << offset.y();
        x.xdotool("key Escape");
        ASSERT_TRUE(gone("Result"));
    }
}

// Keys pressed one after another, each with the window that has the keyboard
// once it has acted (none: the game has ended); then what is left.
struct Press {
    const char* key;
    const char* keyboard;
};
struct KeyRow {
    const char* name;
    std::vector<Press> presses;
    const char* shown;  // the small window left open, if any
    bool running;       // the battle moves on
    bool alive;         // the game goes on
};

class SmallWindowKeys : public Game, public testing::WithParamInterface<KeyRow> {};

// A small window takes the keyboard when it opens and gives it back when it
// closes; in it only its own keys act: Esc, F1 in Help, Tab, Space, Enter.
TEST_P(SmallWindowKeys, each_window_takes_only_its_own_keys) {
    const KeyRow& row = GetParam();
    ASSERT_TRUE(wait_until([&] { return shows_battle(); }, 3s));
    for (const Press& press : row.presses) {
        x.xdotool(std::string("key ") + press.key);
        if (press.keyboard == nullptr) continue;
        ASSERT_TRUE(wait_until(
            [&] {
                const std::optional<XWindow> w = x.find_window(press.keyboard);
                return w && x.active_window() == *w;
            },
            3s))
            << "after " << press.key << ", " << press.keyboard << " has no keyboard";
    }
    EXPECT_EQ(x.wait_exit(game, row.alive ? 0ms : 3s), row.alive ? std::nullopt : std::optional(0));
    if (!row.alive) return;
    for (const char* name : {"Result", "Help"}) {
        EXPECT_EQ(x.find_window(name).has_value(), row.shown == std::string(name)) << name;
    }
    EXPECT_TRUE(row.running ? moves_on_from(shot()) : frozen())
        << "the battle runs: " << !row.running;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SmallWindowKeys,
    testing::Values(
        KeyRow{"arrows_leave_the_keyboard_on_back",
               {{"Escape", "Result"}, {"Left", "Result"}, {"space", "Quenmar"}},
               "",
               true,
               true},
        KeyRow{"tab_moves_from_back_to_next_level",
               {{"Escape", "Result"}, {"Tab", "Result"}, {"Return", "Quenmar"}},
               "",
               true,
               true},
        KeyRow{"result_opens_again_on_back_wherever_it_was_left",
               {{"Escape", "Result"},
                {"shift+Tab", "Result"},
                {"Escape", "Quenmar"},
                {"Escape", "Result"},
                {"space", "Quenmar"}},
               "",
               true,
               true},
        KeyRow{"shift_tab_moves_from_back_to_quit",
               {{"Escape", "Result"}, {"shift+Tab", "Result"}, {"Return", nullptr}},
               "",
               false,
               false},
        KeyRow{"f1_p_and_arrows_do_nothing_in_result",
               {{"Escape", "Result"}, {"F1", "Result"}, {"p", "Result"}, {"Up", "Result"}},
               "Result",
               false,
               true},
        KeyRow{"p_and_arrows_do_nothing_in_help",
               {{"F1", "Help"}, {"p", "Help"}, {"Down", "Help"}},
               "Help",
               false,
               true},
        KeyRow{"f1_and_space_close_help",
               {{"F1", "Help"}, {"F1", "Quenmar"}, {"F1", "Help"}, {"space", "Quenmar"}},
               "",
               true,
               true},
        KeyRow{"esc_closes_help_and_then_opens_result",
               {{"F1", "Help"}, {"Escape", "Quenmar"}, {"Escape", "Result"}},
               "Result",
               false,
               true},
        KeyRow{"esc_closes_result_and_p_then_pauses_the_battle",
               {{"Escape", "Result"}, {"Escape", "Quenmar"}, {"p", "Quenmar"}},
               "",
               false,
               true}),
    [](const testing::TestParamInfo<KeyRow>& row) { return std::string(row.param.name); });

TEST_F(Game, has_its_own_icon) {
    EXPECT_TRUE(x.has_property(main, "_NET_WM_ICON"));
}

// A display that cannot be opened: one line naming it, the status of "no
// display", and no abort or core file.
TEST(NoDisplay, a_display_that_cannot_be_opened_ends_with_one_line_and_status_3) {
    const char* environments[] = {"DISPLAY=:99", "WAYLAND_DISPLAY=nowhere QT_QPA_PLATFORM=wayland",
                                  "QT_QPA_PLATFORM=nonsense DISPLAY=:99"};
    for (const char* env : environments) {
        const std::string command = std::string("env -i ") + env + " " QUENMAR " 2>&1";
        std::string said;
        std::FILE* pipe = ::popen(command.c_str(), "r");
        ASSERT_NE(pipe, nullptr);
        for (char line[512]; std::fgets(line, sizeof line, pipe) != nullptr;)
            said += line;
        const int status = ::pclose(pipe);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 3) << env << ": " << status;
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
        const std::string named = std::string(env).substr(0, std::string(env).find(' '));
        EXPECT_NE(said.find(named), std::string::npos) << said;
    }
}

// At display scales: the window fits the screen, and the picture is drawn at
// the screen's own pixels rather than blown up from the design size.
struct Scaled {
    X11Session x;
    std::optional<XWindow> main;

    Scaled(QSize screen, const char* scale) : x(screen) {
        if (!x.ok()) return;
        x.launch(QUENMAR, {std::string("QT_SCALE_FACTOR=") + scale});
        wait_until([&] { return x.find_window("Quenmar").has_value(); }, 10s);
        main = x.find_window("Quenmar");
    }
};

TEST(DisplayScale, on_a_1366_by_768_screen_at_125_percent_the_window_fits_centred) {
    Scaled s(QSize(1366, 768), "1.25");
    ASSERT_TRUE(s.main.has_value());
    const QRect box = s.x.geometry(*s.main);
    EXPECT_EQ(box.width(), 904) << "723 units at 1.25";
    EXPECT_LE(box.height(), 768);
    EXPECT_GE(box.height(), 766) << "as tall as fits";
    EXPECT_LE(std::abs(box.center().x() - 683), 2) << "centred";
}

// Blown up from the design size, every aligned 2 x 2 block of the picture
// would be of one colour; drawn at the screen's pixels, the lines step by
// single pixels, and two pixels thick.
TEST(DisplayScale, at_scale_2_the_battle_is_drawn_at_the_screens_own_pixels) {
    Scaled s(QSize(1600, 1400), "2");
    ASSERT_TRUE(s.main.has_value());
    EXPECT_EQ(s.x.geometry(*s.main).size(), QSize(1446, 1302));
    QImage shot;
    ASSERT_TRUE(wait_until(
        [&] {
            shot = s.x.grab(*s.main);
            return count_colour(shot, qRgb(0, 0, 150)) > 0;
        },
        5s));
    int mixed = 0, blue_pixels = 0;
    for (int y = 0; y + 1 < shot.height(); y += 2) {
        for (int x = 0; x + 1 < shot.width(); x += 2) {
            int blue = 0;
            for (const QPoint p :
                 {QPoint(x, y), QPoint(x + 1, y), QPoint(x, y + 1), QPoint(x + 1, y + 1)})
                blue += (shot.pixel(p) | 0xFF000000u) == qRgb(0, 0, 150);
            mixed += blue > 0 && blue < 4;
            blue_pixels += blue;
        }
    }
    EXPECT_GT(mixed, blue_pixels / 8) << "the player's tank looks blown up pixel by pixel";
    shot.save(E2E_SHOTS "/../battle-at-scale-2.png");
}

}  // namespace

namespace {

// What a command printed, and its exit status.
std::pair<std::string, int> command_output(const std::string& command) {
    std::string out;
    std::FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    char buffer[4096];
    for (std::size_t n; pipe != nullptr && (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        out.append(buffer, n);
    const int status = pipe != nullptr ? ::pclose(pipe) : -1;
    return {out, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

}  // namespace

// A battle played with real input is kept in the battles folder; quenmar-sim
// fights it again with every checkpoint holding, and so does the game's own
// replay, which stands on the battle's end until Esc; so does one kept by
// the page.
TEST_F(Game, a_battle_played_is_kept_and_replays_with_every_checkpoint_holding) {
    const QRect area = x.geometry(main);
    x.xdotool("keydown Up");
    for (int step = 0; step < 12; ++step) {
        x.xdotool("mousemove " + std::to_string(area.x() + 100 + 40 * step) + " " +
                  std::to_string(area.y() + 150 + 30 * (step % 5)));
        x.xdotool(step % 3 ? "click 1" : "key Left");
        std::this_thread::sleep_for(900ms);
    }
    x.xdotool("keyup Up");
    x.xdotool("key F1");
    ASSERT_TRUE(wait_until([&] { return x.find_window("Help").has_value(); }, 5s));
    x.xdotool("key Escape");
    ASSERT_TRUE(gone("Help"));
    x.request_close(main);
    ASSERT_EQ(x.wait_exit(game, 10s), std::optional<int>(0));

    const std::filesystem::path folder = std::filesystem::path(x.state_home()) / "quenmar/battles";
    std::vector<std::filesystem::path> kept;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        kept.push_back(entry.path());
    ASSERT_EQ(kept.size(), 1u);
    const std::string battle = kept[0].string();
    const auto [said, status] = command_output(QUENMAR_SIM " --battle " + battle);
    EXPECT_EQ(status, 0) << said;
    EXPECT_NE(said.find("every checkpoint held"), std::string::npos) << said;
    EXPECT_EQ(said.find("before the battle's end"), std::string::npos) << said;

    // This battle, and one kept by the page.
    for (const std::string& file : {battle, std::string(SOURCE_DIR "/tests/battles/page.battle")}) {
        SCOPED_TRACE(file);
        const pid_t replay = x.launch({QUENMAR, "--replay", file});
        ASSERT_TRUE(
            wait_until([&] { return x.find_window("Quenmar replay", true).has_value(); }, 20s));
        main = *x.find_window("Quenmar replay", true);
        ASSERT_TRUE(wait_until(
            [&] {
                return x.window_name(main).ends_with(
                    "The replay is over: Esc closes it, Enter plays on.");
            },
            30s))
            << "the replay never reached its end";
        EXPECT_TRUE(frozen());
        EXPECT_FALSE(x.wait_exit(replay, 0ms)) << "the replay stands on its end";
        EXPECT_FALSE(x.find_window("Quenmar").has_value()) << "no message that the battles parted";
        std::optional<int> ended;
        wait_until(
            [&] {
                x.xdotool("key Escape");  // to whatever has the keyboard: a small window, it may be
                return (ended = x.wait_exit(replay, 1s)).has_value();
            },
            10s);
        EXPECT_EQ(ended, std::optional<int>(0)) << "Esc ends the replay";
    }
}

namespace {

// A replay driven by its viewer's keys: its title says its speed as the keys
// change it, and paused, stepped and jumped about, it shows what quenmar-sim
// draws at the period it lands on (the replay's line over the lower edge aside).
TEST(Replay, the_viewers_keys_change_its_speed_and_every_jump_shows_the_period_it_lands_on) {
    X11Session x;
    ASSERT_TRUE(x.ok());
    const std::string battle = SOURCE_DIR "/tests/battles/desktop.battle";
    const pid_t replay = x.launch({QUENMAR, "--replay", battle});
    ASSERT_TRUE(wait_until([&] { return x.find_window("Quenmar replay", true).has_value(); }, 20s));
    const XWindow main = *x.find_window("Quenmar replay", true);
    const auto press = [&](const std::string& key, const std::string& title_says) {
        x.xdotool("key " + key);
        EXPECT_TRUE(wait_until(
            [&] { return x.window_name(main).find(title_says) != std::string::npos; }, 5s))
            << "after " << key << ": " << x.window_name(main);
    };
    constexpr int LINE_STRIP = 40;  // the replay's line, drawn over the field's lower edge
    const auto above_line = [&](const QImage& picture) {
        return picture.convertToFormat(QImage::Format_RGB32)
            .copy(0, 0, picture.width(), picture.height() - LINE_STRIP);
    };
    const auto shows_period = [&](int period) {
        const std::string png = x.state_home() + "/period.png";
        EXPECT_EQ(command_output(QUENMAR_SIM " --battle " + battle + " --periods " +
                                 std::to_string(period) + " --png " + png)
                      .second,
                  0);
        const QImage drawn = above_line(QImage(QString::fromStdString(png)));
        EXPECT_TRUE(wait_until([&] { return above_line(x.grab(main)) == drawn; }, 5s))
            << "period " << period << " is not shown";
    };
    for (const auto& [keys, says] : {std::pair("plus plus plus", "8 ×"),
                                     {"minus minus minus minus minus", "¼ ×"},
                                     {"equal equal", "1 ×"},
                                     {"p", "Replay paused"},
                                     {"Home", "0:00 /"}})
        press(keys, says);
    x.xdotool("key period period period");
    shows_period(3);
    x.xdotool("key Right key Right");
    shows_period(803);
    press("Left", "0:10 /");
    shows_period(403);
    press("End", "The replay is over");
    shows_period(1453);
    // Taken over ten seconds before the end, the battle is the player's, and
    // kept from the replay's lines up to there.
    press("Left", "0:26 /");
    x.xdotool("key Return keydown Up");
    EXPECT_TRUE(wait_until([&] { return x.window_name(main) == "Quenmar"; }, 5s));
    std::this_thread::sleep_for(1s);
    x.xdotool("keyup Up");
    x.request_close(main);
    EXPECT_EQ(x.wait_exit(replay, 5s), std::optional<int>(0));
    const std::string kept =
        std::filesystem::directory_iterator(x.state_home() + "/quenmar/battles")->path();
    std::istringstream recorded(command_output("cat " + battle).first),
        taken(command_output("cat " + kept).first);
    int number = 0;
    for (std::string line, again;
         std::getline(recorded, line) && (++number <= 4 || std::stoi(line) <= 1053);) {
        ASSERT_TRUE(std::getline(taken, again));
        EXPECT_EQ(again, line);
    }
    EXPECT_EQ(command_output(QUENMAR_SIM " --battle " + kept).second, 0);
}

// The game's sound through a sound server of the test's own: shots fired by
// real clicks are heard, and nothing after m; and with no sound server at all
// the game plays on, saying so in one line.
TEST(Sound, shots_are_heard_m_silences_them_and_without_a_server_the_game_plays_on) {
    SoundServer sound;
    ASSERT_TRUE(sound.ok()) << "PulseAudio did not answer";
    X11Session x;
    ASSERT_TRUE(x.ok());
    pid_t game = x.launch(QUENMAR, {sound.variable()});
    ASSERT_TRUE(wait_until([&] { return x.find_window("Quenmar").has_value(); }, 20s));
    const XWindow main = *x.find_window("Quenmar");
    ASSERT_TRUE(wait_until([&] { return x.active_window() == main; }, 5s));
    const QPoint aim = x.geometry(main).topLeft() + QPoint(650, 60);
    const auto fire = [&] {
        for (int shot = 0; shot < 6; ++shot) {
            x.xdotool("mousemove " + std::to_string(aim.x()) + " " + std::to_string(aim.y()) +
                      " click 1");
            std::this_thread::sleep_for(250ms);
        }
    };
    EXPECT_GT(sound.loudest(fire), 0.05) << "the shots are heard";
    x.xdotool("key m");
    const std::string settings = x.state_home() + "/config/quenmar/quenmar.conf";
    ASSERT_TRUE(wait_until(
        [&] {
            return QSettings(QString::fromStdString(settings), QSettings::IniFormat)
                .value("sound/off")
                .toBool();
        },
        5s))
        << "m keeps the sound off";
    EXPECT_EQ(sound.loudest(fire, 100), 0.0) << "nothing is heard after m";
    x.request_close(main);
    ASSERT_EQ(x.wait_exit(game, 10s), std::optional<int>(0));
    // The clicks fired: the kept battle's player shots.
    const std::filesystem::path folder = std::filesystem::path(x.state_home()) / "quenmar/battles";
    const std::string kept = std::filesystem::directory_iterator(folder)->path().string();
    const auto [shots, status] =
        command_output(QUENMAR_SIM " --battle " + kept + " --cues - | grep -c ' player_shot '");
    EXPECT_GE(std::stoi(shots), 2);

    // No sound server: the battle runs, and one line says there is no sound.
    const std::string said = x.state_home() + "/said";
    game = x.launch(QUENMAR, {"PULSE_SERVER=unix:/nowhere"}, said);
    ASSERT_TRUE(wait_until([&] { return x.find_window("Quenmar").has_value(); }, 20s));
    const XWindow silent = *x.find_window("Quenmar");
    const QImage before = x.grab(silent);
    EXPECT_TRUE(wait_until([&] { return x.grab(silent) != before; }, 5s)) << "the battle runs";
    // What it says of the sound: one line (the environment may have Qt say other things).
    EXPECT_EQ(command_output("grep -i -e sound -e audio " + said).first,
              "quenmar: no sound device or sound server found; the game plays on without sound\n");
}

}  // namespace

namespace {

std::string text_of(const std::filesystem::path& path) {
    return (std::ostringstream() << std::ifstream(path).rdbuf()).str();
}

// The battles kept in a state folder, by name.
std::vector<std::filesystem::path> kept_in(const std::string& state) {
    std::vector<std::filesystem::path> kept;
    for (const auto& entry : std::filesystem::directory_iterator(state + "/quenmar/battles"))
        kept.push_back(entry.path());
    std::sort(kept.begin(), kept.end());
    return kept;
}

// Killed mid-battle, the game comes back paused on that battle, goes on with
// Enter, then Backspace shows it again ten seconds back and Enter plays on
// from there; the battle kept is the lines kept before the kill and the rest,
// in one file, which replays whole, beside the battle played on from earlier.
TEST_F(Game, killed_mid_battle_it_comes_back_paused_and_goes_on_in_the_same_file) {
    ASSERT_TRUE(wait_until([&] { return shows_battle(); }, 3s));
    x.xdotool("keydown Up");
    click_at(on_battle(QPoint(600, 100)));
    std::this_thread::sleep_for(1500ms);
    ::kill(game, SIGKILL);
    ASSERT_TRUE(x.wait_exit(game, 5s));
    x.xdotool("keyup Up");
    const std::filesystem::path kept = kept_in(x.state_home()).at(0);
    const std::string before = text_of(kept);

    game = x.launch(QUENMAR);
    ASSERT_TRUE(wait_until([&] { return x.find_window("Quenmar replay", true).has_value(); }, 20s));
    main = *x.find_window("Quenmar replay", true);
    EXPECT_NE(x.window_name(main).find("Your battle is back"), std::string::npos);
    EXPECT_TRUE(frozen()) << "it stands paused";
    const QImage paused = shot();
    x.xdotool("key Return");
    EXPECT_TRUE(wait_until([&] { return x.window_name(main) == "Quenmar"; }, 5s));
    EXPECT_TRUE(moves_on_from(paused)) << "Enter plays on";
    std::this_thread::sleep_for(1s);
    x.xdotool("key BackSpace");
    EXPECT_TRUE(wait_until(
        [&] { return x.window_name(main).find("shown again") != std::string::npos; }, 5s));
    x.xdotool("key Return");
    x.xdotool("key Up");
    EXPECT_TRUE(wait_until([&] { return x.window_name(main) == "Quenmar"; }, 5s));
    x.request_close(main);
    ASSERT_EQ(x.wait_exit(game, 10s), std::optional<int>(0));

    const std::vector<std::filesystem::path> now = kept_in(x.state_home());
    ASSERT_EQ(now.size(), 2u) << "the battle, and the one played on from ten seconds back";
    EXPECT_EQ(now[0], kept);
    EXPECT_TRUE(text_of(kept).starts_with(before.substr(0, before.rfind('\n') + 1)));
    for (const std::filesystem::path& battle : now) {
        const auto [said, status] = command_output(QUENMAR_SIM " --battle " + battle.string());
        EXPECT_EQ(status, 0) << said;
        EXPECT_EQ(said.find("before the battle's end"), std::string::npos) << said;
    }
}

// A kept battle that cannot be brought back gets one line, is kept under a
// name that is not tried again, and a new battle starts; a line cut short by
// a crash is not one of them. Nor is a battles folder that cannot be read or
// written: one line, and the game plays on.
TEST(KeptBattles, each_that_cannot_be_brought_back_gets_one_line_and_is_kept) {
    const std::string good = text_of(SOURCE_DIR "/tests/battles/desktop.battle");
    const std::string unended = good.substr(0, good.find("1453 click quit"));
    const struct {
        const char* what;
        std::string text;  // the newest kept battle; none: the folder is a file
        const char* says;  // what its one line says; "" for none
    } rows[] = {
        {"a last line cut short", unended + "1460 mouse_mo", ""},
        {"a damaged middle", "quenmar-battle 1\ngame 0.1.0\nsize 723 651\nrandom clock 1\nx y\n",
         ":5: period 'x' is not a whole number; it is kept as"},
        {"fought by other rules",
         std::regex_replace(unended, std::regex("800 check c"), "800 check 0"),
         ": period 800: the battle parts from the recorded one"},
        {"empty", "", ":1: empty, not a Quenmar battle file; it is kept as"},
        {"a folder that cannot be read", "",
         ": the kept battles cannot be read (Not a directory); the battle is not kept"},
        {"a state folder that cannot be written", "",
         ": cannot be made (Not a directory); the battle is not kept"},
    };
    X11Session x;
    ASSERT_TRUE(x.ok());
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const std::string state = x.state_home() + "/" + std::to_string(&row - rows);
        std::filesystem::create_directories(state + "/quenmar");
        const std::string battle = state + "/quenmar/battles/2026-01-01-000000.battle";
        if (std::string(row.what).starts_with("a folder")) {
            std::ofstream(state + "/quenmar/battles") << "";
        } else if (std::string(row.what).starts_with("a state")) {
            std::filesystem::remove_all(state + "/quenmar");
            std::ofstream(state + "/quenmar") << "";
        } else {
            std::filesystem::create_directories(state + "/quenmar/battles");
            std::ofstream(battle) << row.text;
        }
        const pid_t game = x.launch(QUENMAR, {"XDG_STATE_HOME=" + state}, state + "/said");
        ASSERT_TRUE(wait_until([&] { return x.find_window("Quenmar", true).has_value(); }, 20s));
        x.request_close(*x.find_window("Quenmar", true));
        x.wait_exit(game, 10s);
        // What it says, but that there is no sound: one line, or none.
        std::istringstream said(text_of(state + "/said"));
        std::vector<std::string> lines;
        for (std::string line; std::getline(said, line);) {
            if (line.starts_with("quenmar: ") && line.find("sound") == std::string::npos)
                lines.push_back(line);
        }
        ASSERT_EQ(lines.size(), *row.says == '\0' ? 0u : 1u);
        if (lines.empty()) continue;
        EXPECT_NE(lines[0].find(row.says), std::string::npos) << lines[0];
        if (!std::filesystem::is_directory(state + "/quenmar/battles")) continue;
        EXPECT_TRUE(std::filesystem::exists(battle + ".unreplayable"));
        EXPECT_EQ(text_of(battle + ".unreplayable"), row.text);
    }
}

}  // namespace
