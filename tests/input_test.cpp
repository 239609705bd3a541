#include "input/input.h"
#include "input/pad.h"

#include <gtest/gtest.h>

namespace {

constexpr std::int16_t NO_SHIFT = 0;

struct Input : testing::Test {
    GameWorld w{};

    void alive(int i, double x, double y) {
        w.tank_hp[i] = 2;
        w.tank_x[i] = x;
        w.tank_y[i] = y;
    }
    void right_click(float x, float y) {
        on_mouse_down(w, MouseButton::Right, NO_SHIFT, x, y);
        on_mouse_up(w, MouseButton::Right, NO_SHIFT, x, y);
    }
};

TEST_F(Input, arrow_keys_hold_and_release_their_flags_as_true_minus_one) {
    Controls c;
    on_key_down(w, c, KeyCode::Up, NO_SHIFT);
    on_key_down(w, c, KeyCode::Left, NO_SHIFT);
    EXPECT_EQ(w.key_up, -1);
    EXPECT_EQ(w.key_left, -1);
    on_key_up(w, KeyCode::Up, NO_SHIFT);
    EXPECT_EQ(w.key_up, 0);
    EXPECT_EQ(w.key_left, -1);
    on_key_down(w, c, static_cast<KeyCode>(41), NO_SHIFT);  // other codes are ignored
    EXPECT_EQ(w.key_down, 0);
    EXPECT_TRUE(c.battle_timer_running);
}

TEST_F(Input, the_pointer_is_stored_rounded_to_nearest_with_ties_to_even) {
    on_mouse_move(w, MouseButton::None, NO_SHIFT, 10.5f, 11.5f);
    EXPECT_EQ(w.mouse_x, 10);
    EXPECT_EQ(w.mouse_y, 12);
    on_mouse_move(w, MouseButton::Left, NO_SHIFT, -3.5f, 7.49f);
    EXPECT_EQ(w.mouse_x, -4);
    EXPECT_EQ(w.mouse_y, 7);
}

TEST_F(Input, a_pointer_far_outside_the_16_bit_range_is_held_at_its_end) {
    on_mouse_move(w, MouseButton::None, NO_SHIFT, 1e6f, -40000.0f);
    EXPECT_EQ(w.mouse_x, 32767);
    EXPECT_EQ(w.mouse_y, -32768);
}

TEST_F(Input, the_fire_button_is_held_from_a_left_press_to_any_release) {
    on_mouse_down(w, MouseButton::Left, NO_SHIFT, 5, 5);
    EXPECT_EQ(w.fire_held, TRUE_FLAG);
    on_mouse_down(w, MouseButton::Right, NO_SHIFT, 5, 5);
    EXPECT_EQ(w.fire_held, TRUE_FLAG);
    on_mouse_up(w, MouseButton::Right, NO_SHIFT, 5, 5);
    EXPECT_EQ(w.fire_held, FALSE_FLAG) << "although the left button is still down";
}

TEST_F(Input,
       with_the_player_dead_the_right_button_sends_everyone_after_the_highest_slot_in_reach) {
    alive(3, 200, 200);
    alive(7, 210, 190);
    alive(9, 400, 400);
    right_click(205, 195);
    for (int i = 0; i <= MAX_SLOT; ++i)
        EXPECT_EQ(w.tank_target[i], 7) << i;
    EXPECT_EQ(w.cur_tank, 51);
    EXPECT_EQ(w.scan_idx, 51);
}

TEST_F(Input, the_right_buttons_box_is_strict) {
    alive(3, 220, 200);  // exactly 20 right of the pointer
    alive(4, 200, 180);  // exactly 20 above
    w.tank_target.fill(9);
    right_click(200, 200);
    for (int i = 0; i <= MAX_SLOT; ++i)
        EXPECT_EQ(w.tank_target[i], 9) << i;
    alive(5, 219.9, 180.1);
    right_click(200, 200);
    EXPECT_EQ(w.tank_target[0], 5);
}

TEST_F(Input, with_the_player_alive_the_right_button_only_releases_fire) {
    alive(0, 100, 100);
    alive(3, 200, 200);
    w.tank_target.fill(9);
    on_mouse_down(w, MouseButton::Left, NO_SHIFT, 200, 200);
    on_mouse_up(w, MouseButton::Right, NO_SHIFT, 200, 200);
    EXPECT_EQ(w.fire_held, FALSE_FLAG);
    for (int i = 0; i <= MAX_SLOT; ++i)
        EXPECT_EQ(w.tank_target[i], 9) << i;
}

// A pad's stick, pushed and resting near where it lets go: it holds past a
// half, lets go below three tenths, and chatters in between no more.
TEST(Pad, a_stick_holds_past_a_half_and_lets_go_below_three_tenths) {
    PadHold hold;
    // The stick's place, and how many names it presses (+) or lets go (-) there.
    const std::pair<float, int> readings[] = {{-0.45f, 0}, {-0.6f, 1},   {-0.35f, 0},
                                              {-0.45f, 0}, {-0.25f, -1}, {0.55f, 1}};
    for (const auto& [place, changes] : readings) {
        const std::vector<KeyStroke> strokes =
            read_pad(hold, {.left_y = place}, KeyPlace::Field).strokes;
        EXPECT_EQ(
            static_cast<int>(strokes.size()) * (strokes.empty() || strokes[0].pressed ? 1 : -1),
            changes)
            << place;
    }
    EXPECT_EQ(let_go(hold, KeyPlace::Field).at(0).key, Key::PadDown);
}

}  // namespace
