#include "input/input.h"

#include <gtest/gtest.h>

#include "battle/tick.h"
#include "input/help_window.h"
#include "input/input_event.h"
#include "input/result_window.h"
#include "tools/headless_platform.h"

namespace {

constexpr std::int16_t NO_SHIFT = 0;

struct Input : testing::Test {
    GameWorld w{};
    HeadlessPlatform p;

    void alive(int i, double x, double y) {
        w.tank_hp[i] = 2;
        w.tank_x[i] = x;
        w.tank_y[i] = y;
    }
    void right_click(float x, float y) {
        on_mouse_down(w, p, BUTTON_RIGHT, NO_SHIFT, x, y);
        on_mouse_up(w, p, BUTTON_RIGHT, NO_SHIFT, x, y);
    }
    void hold_all_arrows() {
        for (std::int16_t key : {KEY_LEFT, KEY_UP, KEY_RIGHT, KEY_DOWN}) {
            on_key_down(w, p, key, NO_SHIFT);
        }
    }
    bool any_arrow_held() const {
        return w.key_left != 0 || w.key_up != 0 || w.key_right != 0 || w.key_down != 0;
    }
};

TEST_F(Input, arrow_keys_hold_and_release_their_flags_as_true_minus_one) {
    on_key_down(w, p, KEY_UP, NO_SHIFT);
    on_key_down(w, p, KEY_LEFT, NO_SHIFT);
    EXPECT_EQ(w.key_up, -1);
    EXPECT_EQ(w.key_left, -1);
    on_key_up(w, p, KEY_UP, NO_SHIFT);
    EXPECT_EQ(w.key_up, 0);
    EXPECT_EQ(w.key_left, -1);
    on_key_down(w, p, 41, NO_SHIFT);  // other codes are ignored
    on_key_press(w, p, 'x');
    EXPECT_EQ(w.key_down, 0);
    EXPECT_TRUE(p.tmr_enabled);
}

TEST_F(Input, the_pointer_is_stored_rounded_to_nearest_with_ties_to_even) {
    on_mouse_move(w, p, 0, NO_SHIFT, 10.5f, 11.5f);
    EXPECT_EQ(w.mouse_x, 10);
    EXPECT_EQ(w.mouse_y, 12);
    on_mouse_move(w, p, BUTTON_LEFT, NO_SHIFT, -3.5f, 7.49f);
    EXPECT_EQ(w.mouse_x, -4);
    EXPECT_EQ(w.mouse_y, 7);
}

TEST_F(Input, a_pointer_far_outside_the_16_bit_range_is_held_at_its_end) {
    on_mouse_move(w, p, 0, NO_SHIFT, 1e6f, -40000.0f);
    EXPECT_EQ(w.mouse_x, 32767);
    EXPECT_EQ(w.mouse_y, -32768);
}

TEST_F(Input, the_fire_button_is_held_from_a_left_press_to_any_release) {
    on_mouse_down(w, p, BUTTON_LEFT, NO_SHIFT, 5, 5);
    EXPECT_EQ(w.fire_held, TRUE_FLAG);
    on_mouse_down(w, p, BUTTON_RIGHT, NO_SHIFT, 5, 5);
    EXPECT_EQ(w.fire_held, TRUE_FLAG);
    on_mouse_up(w, p, BUTTON_RIGHT, NO_SHIFT, 5, 5);
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
    on_mouse_down(w, p, BUTTON_LEFT, NO_SHIFT, 200, 200);
    on_mouse_up(w, p, BUTTON_RIGHT, NO_SHIFT, 200, 200);
    EXPECT_EQ(w.fire_held, FALSE_FLAG);
    for (int i = 0; i <= MAX_SLOT; ++i)
        EXPECT_EQ(w.tank_target[i], 9) << i;
}

TEST_F(Input, p_pauses_and_resumes_without_touching_the_arrows_or_windows) {
    on_key_down(w, p, KEY_UP, NO_SHIFT);
    on_key_press(w, p, CHAR_LOWER_P);
    EXPECT_FALSE(p.tmr_enabled);
    EXPECT_EQ(w.key_up, TRUE_FLAG);
    on_key_press(w, p, CHAR_UPPER_P);
    EXPECT_TRUE(p.tmr_enabled);
    EXPECT_FALSE(p.frm_winlose.visible || p.frm_help.visible);
}

TEST_F(Input, enter_clears_the_surface_and_the_next_tick_draws_the_living_tanks_again) {
    on_tick(w, p);  // level 1
    on_tick(w, p);
    p.tmr_enabled = false;
    on_key_press(w, p, CHAR_ENTER);
    const auto non_white = [&] {
        return std::count_if(p.surface.pixels.begin(), p.surface.pixels.end(),
                             [](std::uint32_t px) { return px != 0xFFFFFFFFu; });
    };
    EXPECT_EQ(non_white(), 0);
    on_tick(w, p);
    EXPECT_GT(non_white(), 0);
}

TEST_F(Input, esc_after_the_first_tick_shows_no_wins_and_no_losses_and_pauses) {
    on_tick(w, p);
    hold_all_arrows();
    on_key_press(w, p, CHAR_ESC);
    EXPECT_TRUE(p.frm_winlose.visible);
    EXPECT_FALSE(p.tmr_enabled);
    EXPECT_EQ(p.label3, "0");
    EXPECT_EQ(p.label4, "0");
    EXPECT_FALSE(any_arrow_held()) << "opening the window lets go of the arrows";
    on_key_press(w, p, CHAR_ESC);
    EXPECT_FALSE(p.frm_winlose.visible);
    EXPECT_TRUE(p.tmr_enabled);
}

TEST_F(Input, the_result_numbers_are_plain_decimals_with_losses_less_the_start_up_one) {
    w.wins = 12;
    w.losses = 0;
    on_key_press(w, p, CHAR_ESC);
    EXPECT_EQ(p.label3, "12");
    EXPECT_EQ(p.label4, "-1");
}

TEST_F(Input, back_and_next_level_resume_even_after_a_pause) {
    on_key_press(w, p, CHAR_LOWER_P);
    on_key_press(w, p, CHAR_ESC);
    on_back_click(p);
    EXPECT_TRUE(p.tmr_enabled);
    EXPECT_FALSE(p.frm_winlose.visible);
    on_key_press(w, p, CHAR_LOWER_P);
    on_key_press(w, p, CHAR_ESC);
    on_next_level_click(p);
    EXPECT_TRUE(p.tmr_enabled);
    EXPECT_FALSE(p.frm_winlose.visible);
    EXPECT_EQ(p.tag, "1");
}

TEST_F(Input, p_while_the_result_window_is_shown_resumes_and_leaves_it_shown) {
    on_key_press(w, p, CHAR_ESC);
    on_key_press(w, p, CHAR_LOWER_P);
    EXPECT_TRUE(p.tmr_enabled);
    EXPECT_TRUE(p.frm_winlose.visible);
}

TEST_F(Input, next_level_scores_a_loss_even_with_the_player_alive) {
    on_tick(w, p);
    ASSERT_GT(w.tank_hp[0], 0);
    on_key_press(w, p, CHAR_ESC);
    on_next_level_click(p);
    on_tick(w, p);
    on_tick(w, p);
    EXPECT_EQ(w.level, 2);
    EXPECT_EQ(w.wins, 0);
    EXPECT_EQ(w.losses, 2);
    EXPECT_EQ(p.tag, "0");
}

TEST_F(Input, quit_ends_the_program) {
    on_quit_click(p);
    EXPECT_TRUE(p.terminated);
}

TEST_F(Input, f1_shows_help_and_pauses_and_f1_or_close_hides_it_and_resumes) {
    on_key_press(w, p, CHAR_LOWER_P);
    hold_all_arrows();
    on_key_down(w, p, KEY_F1, NO_SHIFT);
    EXPECT_TRUE(p.frm_help.visible);
    EXPECT_FALSE(p.tmr_enabled);
    EXPECT_FALSE(any_arrow_held());
    on_key_up(w, p, KEY_F1, NO_SHIFT);
    EXPECT_TRUE(p.frm_help.visible) << "releasing F1 does nothing";
    on_key_down(w, p, KEY_F1, NO_SHIFT);
    EXPECT_FALSE(p.frm_help.visible);
    EXPECT_TRUE(p.tmr_enabled);
    on_key_down(w, p, KEY_F1, NO_SHIFT);
    on_close_click(p);
    EXPECT_FALSE(p.frm_help.visible);
    EXPECT_TRUE(p.tmr_enabled);
}

}  // namespace

namespace {

// Each kind of record reaches the handler or step it names, and only that one.
TEST_F(Input, deliver_event_hands_each_record_to_its_own_handler) {
    using K = InputKind;
    deliver_event(w, p, {.kind = K::KeyDown, .code = KEY_UP});
    EXPECT_EQ(w.key_up, TRUE_FLAG);
    deliver_event(w, p, {.kind = K::KeyUp, .code = KEY_UP});
    EXPECT_EQ(w.key_up, FALSE_FLAG);
    deliver_event(w, p, {.kind = K::MouseMove, .x = 12.5f, .y = 7});
    EXPECT_EQ(w.mouse_x, 12);
    EXPECT_EQ(w.mouse_y, 7);
    deliver_event(w, p, {.kind = K::MouseDown, .code = BUTTON_LEFT});
    EXPECT_EQ(w.fire_held, TRUE_FLAG);
    deliver_event(w, p, {.kind = K::MouseUp, .code = BUTTON_MIDDLE});
    EXPECT_EQ(w.fire_held, FALSE_FLAG);
    deliver_event(w, p, {.kind = K::KeyPress, .code = CHAR_UPPER_P});
    EXPECT_FALSE(p.tmr_enabled);
    hold_all_arrows();
    deliver_event(w, p, {.kind = K::KeyboardLost});
    EXPECT_FALSE(any_arrow_held()) << "keys released elsewhere never come back as key ups";
    deliver_event(w, p, {.kind = K::Resize, .width = 300, .height = 200});
    EXPECT_EQ(p.ScaleWidth(), 300.0f);
    EXPECT_EQ(p.ScaleHeight(), 200.0f);

    deliver_event(w, p, {.kind = K::KeyPress, .code = CHAR_ESC});
    deliver_event(w, p, {.kind = K::Click, .button = SmallButton::NextLevel});
    EXPECT_EQ(p.tag, TAG_NEXT_LEVEL);
    EXPECT_TRUE(p.tmr_enabled && !p.frm_winlose.visible);
    deliver_event(w, p, {.kind = K::KeyDown, .code = KEY_F1});
    deliver_event(w, p, {.kind = K::Click, .button = SmallButton::Close});
    EXPECT_TRUE(p.tmr_enabled && !p.frm_help.visible);
    deliver_event(w, p, {.kind = K::KeyPress, .code = CHAR_ESC});
    deliver_event(w, p, {.kind = K::Click, .button = SmallButton::Back});
    EXPECT_TRUE(p.tmr_enabled && !p.frm_winlose.visible);
    deliver_event(w, p, {.kind = K::Click, .button = SmallButton::Quit});
    EXPECT_TRUE(p.terminated);
}

}  // namespace
