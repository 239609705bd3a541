#include "tanks/steering.h"

#include <gtest/gtest.h>

#include "base/maths.h"
#include "stage.h"

namespace {

// A world with the listed slots alive and slot `current` about to be steered.
struct Steering : testing::Test {
    GameWorld w{};
    Stage p;

    void alive(int i, double x, double y, int target) {
        w.tank_hp[i] = 2;
        w.tank_x[i] = x;
        w.tank_y[i] = y;
        w.tank_target[i] = static_cast<std::int16_t>(target);
    }
    void steer(int i) {
        w.cur_tank = static_cast<std::int16_t>(i);
        steer_tank(w, p.random);
    }
};

TEST_F(Steering, the_player_holding_up_settles_just_below_three_after_37_ticks) {
    alive(0, 300, 300, 1);
    alive(1, 10, 10, 0);
    w.key_up = TRUE_FLAG;
    for (int tick = 1; tick <= 36; ++tick)
        steer(0);
    EXPECT_LT(w.tank_speed[0], 2.9599996f);
    steer(0);
    EXPECT_EQ(w.tank_speed[0], 2.9599996f);
    for (int tick = 0; tick < 20; ++tick)
        steer(0);
    EXPECT_EQ(w.tank_speed[0], 2.9599996f);
}

TEST_F(Steering, the_player_without_keys_coasts_from_three_to_exactly_zero_in_76_ticks) {
    alive(0, 300, 300, 1);
    alive(1, 10, 10, 0);
    w.tank_speed[0] = 3;
    for (int tick = 1; tick <= 75; ++tick)
        steer(0);
    EXPECT_GT(w.tank_speed[0], 0.0f);
    steer(0);
    EXPECT_EQ(w.tank_speed[0], 0.0f);
    steer(0);
    EXPECT_EQ(w.tank_speed[0], 0.0f);
}

TEST_F(Steering, up_and_down_together_leave_the_player_standing) {
    alive(0, 300, 300, 1);
    alive(1, 10, 10, 0);
    w.key_up = TRUE_FLAG;
    w.key_down = 1;  // any non-zero value counts as held
    for (int tick = 0; tick < 10; ++tick)
        steer(0);
    EXPECT_EQ(w.tank_speed[0], 0.0f);
}

TEST_F(Steering, the_player_aims_at_the_mouse) {
    alive(0, 100, 100, 1);
    alive(1, 600, 600, 0);
    w.mouse_x = 103;
    w.mouse_y = 104;
    steer(0);
    EXPECT_EQ(w.aim_dist, 5.0);
    EXPECT_EQ(w.aim_angle, arctangent(3.0 / 4.0));
}

TEST_F(Steering, a_tank_targeting_itself_draws_anew_every_tick_and_measures_nothing) {
    alive(5, 200, 200, 5);
    p.use_randoms({0.1f, 0.1f, 0.1f});  // floor(0.1 * 51) = 5: itself again
    for (int tick = 1; tick <= 3; ++tick) {
        steer(5);
        EXPECT_EQ(p.random.served, static_cast<std::size_t>(tick));
        EXPECT_EQ(w.tank_target[5], 5);
        EXPECT_EQ(w.aim_dist, 0.0);
        EXPECT_EQ(w.aim_angle, 1.570796326794897);
    }
}

TEST_F(Steering, a_valid_target_is_kept_without_drawing) {
    alive(3, 100, 100, 4);
    alive(4, 200, 100, 3);
    p.use_randoms({});
    steer(3);
    EXPECT_EQ(w.tank_target[3], 4);
}

TEST_F(Steering, a_dead_target_is_replaced_by_floor_r_times_51) {
    alive(3, 100, 100, 9);
    p.use_randoms({0.99999994f});
    steer(3);
    EXPECT_EQ(w.tank_target[3], 50);
}

TEST_F(Steering, a_target_level_with_the_tank_bears_right_whichever_side_it_is_on) {
    alive(3, 100, 100, 4);
    alive(4, 50, 100, 3);
    steer(3);
    EXPECT_EQ(w.aim_angle, 1.570796326794897);
    EXPECT_EQ(w.aim_dist, 50.0);
}

TEST_F(Steering, a_target_above_bears_beyond_minus_half_pi) {
    alive(3, 100, 100, 4);
    alive(4, 130, 60, 3);
    steer(3);
    EXPECT_EQ(w.aim_angle, arctangent(30.0 / -40.0) - 3.141592653589794);
}

TEST_F(Steering, heading_differences_wrap_once_each_way_with_strict_tests) {
    alive(3, 100, 100, 4);
    alive(4, 100, 50, 3);  // straight up: bearing exactly -pi
    w.turret_dir[3] = 0;   // difference exactly +pi: left alone
    w.tank_dir[3] = 10;    // above 3 pi: still above pi after one correction
    steer(3);
    EXPECT_EQ(w.aim_angle, -3.141592653589794);
    EXPECT_EQ(w.turret_delta, 3.141592653589794);
    EXPECT_EQ(w.hull_delta, 10 + 3.141592653589794 - 6.283185307179588);
    w.tank_dir[3] = -13;  // below -3 pi: still below -pi after one correction
    steer(3);
    EXPECT_EQ(w.hull_delta, -13 + 3.141592653589794 + 6.283185307179588);
    alive(3, 0, 0, 4);
    alive(4, 2.1850398632615233, 1, 3);  // bearing exactly pi - 2
    w.turret_dir[3] = -2;                // difference exactly -pi: left alone
    steer(3);
    EXPECT_EQ(w.turret_delta, -3.141592653589794);
}

}  // namespace

namespace {

// Slot 1 steered toward slot 2, which stands `distance` below it.
struct ComputerSpeed : Steering {
    void SetUp() override {
        alive(1, 100, 100, 2);
        alive(2, 100, 100, 1);
    }
    float speed_after(double distance, float speed, float turret) {
        w.tank_y[2] = 100 + distance;
        w.tank_speed[1] = speed;
        w.turret_dir[1] = turret;
        steer(1);
        return w.tank_speed[1];
    }
};

constexpr float ON_BEARING = 0;  // the target straight below bears 0
constexpr float OFF_BEARING = 1;

float plus(float speed, double amount) {
    return static_cast<float>(speed + amount);
}

TEST_F(ComputerSpeed, brakes_only_strictly_closer_than_100_and_above_speed_1) {
    EXPECT_EQ(speed_after(99.5, 2, ON_BEARING), plus(2, -0.08));
    EXPECT_EQ(speed_after(100, 2, ON_BEARING), plus(2, 0.08)) << "100 is not closer than 100";
    EXPECT_EQ(speed_after(50, 1, OFF_BEARING), 1.0f) << "speed 1 is not above 1";
}

TEST_F(ComputerSpeed, gathers_speed_while_on_the_bearing_and_creeps_up_to_about_1_otherwise) {
    EXPECT_EQ(speed_after(200, 2, ON_BEARING), plus(2, 0.08));
    EXPECT_EQ(speed_after(200, 2, OFF_BEARING), 2.0f);
    EXPECT_EQ(speed_after(200, 0.5f, OFF_BEARING), plus(0.5f, 0.08));
}

TEST_F(ComputerSpeed, exactly_three_is_kept_and_above_three_is_taken_back) {
    EXPECT_EQ(speed_after(200, 3, ON_BEARING), 3.0f);
    EXPECT_EQ(speed_after(200, 3.05f, OFF_BEARING), plus(3.05f, -0.08));
}

TEST_F(ComputerSpeed, a_tank_without_a_valid_target_slows_to_exactly_zero) {
    w.tank_hp[2] = 0;
    p.use_randoms({0.04f, 0.04f, 0.04f});  // each draw is slot 2 again, still dead
    w.tank_speed[1] = 0.1f;
    steer(1);
    EXPECT_EQ(w.tank_speed[1], plus(0.1f, -0.08));
    steer(1);
    EXPECT_EQ(w.tank_speed[1], 0.0f);
}

}  // namespace
