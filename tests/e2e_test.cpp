// The real game on a virtual X server, driven by real X input events.
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

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
        ASSERT_TRUE(x.ok()) << "Xvfb did not start";
        game = x.launch(QUENMAR);
        ASSERT_GT(game, 0);
        ASSERT_TRUE(wait_until([&] { return x.find_window("Quenmar").has_value(); }, 10s))
            << "no window named Quenmar";
        main = *x.find_window("Quenmar");
    }

    void TearDown() override {
        if (!HasFailure() || last.isNull()) return;
        const std::filesystem::path dir = E2E_SHOTS;
        std::filesystem::create_directories(dir);
        const auto* test = testing::UnitTest::GetInstance()->current_test_info();
        const std::string file = (dir / (std::string(test->name()) + ".png")).string();
        last.save(QString::fromStdString(file));
        std::printf("screenshot of the failure: %s\n", file.c_str());
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

    bool frozen() {
        std::this_thread::sleep_for(150ms);
        const QImage a = shot();
        std::this_thread::sleep_for(400ms);
        return shot() == a;
    }

    std::optional<XWindow> wait_for(const std::string& name) {
        wait_until([&] { return x.find_window(name).has_value(); }, 5s);
        return x.find_window(name);
    }

    void click_at(QPoint at) {
        x.xdotool("mousemove " + std::to_string(at.x()) + " " + std::to_string(at.y()) +
                  " click 1");
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

TEST_F(Game, holding_up_drives_the_blue_tank) {
    ASSERT_TRUE(wait_until([&] { return shows_battle(); }, 3s));
    const QPointF before = centre_of(shot(), PLAYER_BLUE);
    x.xdotool("keydown Up");
    std::this_thread::sleep_for(1s);
    x.xdotool("keyup Up");
    const QPointF after = centre_of(shot(), PLAYER_BLUE);
    ASSERT_GE(after.x(), 0) << "the blue tank is gone";
    EXPECT_GT(QLineF(before, after).length(), 15) << "it stayed near where it was";
}

TEST_F(Game, the_left_button_fires_shells_with_red_heads_and_pale_trails) {
    ASSERT_TRUE(wait_until([&] { return shows_battle(); }, 3s));
    const int trail_before = count_colour(shot(), TRAIL_PALE);
    const QPointF player = centre_of(last, PLAYER_BLUE);
    const int aim_x =
        player.x() < 361 ? static_cast<int>(player.x()) + 200 : static_cast<int>(player.x()) - 200;
    x.xdotool("mousemove " + std::to_string(aim_x) + " " + std::to_string(int(player.y())) +
              " mousedown 1");
    const bool fired = wait_until(
        [&] {
            const QImage s = shot();
            return count_colour(s, SHELL_RED) > 0 && count_colour(s, TRAIL_PALE) > trail_before;
        },
        3s);
    x.xdotool("mouseup 1");
    EXPECT_TRUE(fired) << "red " << count_colour(last, SHELL_RED) << ", pale "
                       << count_colour(last, TRAIL_PALE);
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
    EXPECT_EQ(box.size(), QSize(305, 175));
    EXPECT_TRUE(frozen());
    const QImage paused = shot();
    click_at(box.topLeft() + QPoint(8 + 44, 128 + 20));  // "Close"
    EXPECT_TRUE(wait_until([&] { return !x.find_window("Help").has_value(); }, 3s));
    EXPECT_TRUE(moves_on_from(paused));
}

TEST_F(Game, esc_shows_the_score_next_level_starts_afresh_and_quit_ends_with_status_0) {
    ASSERT_TRUE(wait_until([&] { return shows_battle(); }, 3s));
    x.xdotool("mousemove 700 20 mousedown 1");  // leave some trails to be cleared
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

}  // namespace
