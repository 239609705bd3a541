#include "tanks/movement.h"

#include <gtest/gtest.h>

#include <cmath>

#include "base/maths.h"
#include "stage.h"

namespace {

// Slot 1, alive with a living target in slot 2, about to move with the aim
// values set as steering would leave them.
struct Movement : testing::Test {
    GameWorld w{};
    Stage p;

    void SetUp() override {
        for (int i : {0, 1, 2}) {
            w.tank_hp[i] = 2;
            w.tank_x[i] = 300;
            w.tank_y[i] = 300;
        }
        w.tank_target[1] = 2;
    }
    void move(int i, double aim_angle, double turret_delta, double hull_delta, double aim_dist) {
        w.cur_tank = static_cast<std::int16_t>(i);
        w.aim_angle = aim_angle;
        w.turret_delta = turret_delta;
        w.hull_delta = hull_delta;
        w.aim_dist = aim_dist;
        move_tank(w, p.picture);
    }
};

float plus(float heading, double amount) {
    return static_cast<float>(heading + amount);
}

TEST_F(Movement, the_computer_turret_steps_by_0_08_and_snaps_from_within_a_step) {
    w.turret_dir[1] = 2;
    move(1, 1.5, -0.0800001, 0, 50);
    EXPECT_EQ(w.turret_dir[1], plus(2, 0.08));
    w.turret_dir[1] = 2;
    move(1, 1.5, -0.08, 0, 50);
    EXPECT_EQ(w.turret_dir[1], 1.5f);
    w.turret_dir[1] = 2;
    move(1, 1.5, 0.08, 0, 50);
    EXPECT_EQ(w.turret_dir[1], 1.5f);
    w.turret_dir[1] = 2;
    move(1, 1.5, 0.0800001, 0, 50);
    EXPECT_EQ(w.turret_dir[1], plus(2, -0.08));
    w.turret_dir[1] = 2;
    move(1, 1.5, 0, 0, 50);
    EXPECT_EQ(w.turret_dir[1], 2.0f) << "a difference of exactly 0 leaves it alone";
}

TEST_F(Movement, a_turret_without_a_valid_target_stays_still_but_the_hull_turns_away) {
    w.tank_target[1] = 1;
    w.turret_dir[1] = 2;
    w.tank_dir[1] = 1;
    move(1, 1.570796326794897, 0.5, -0.57, 0);
    EXPECT_EQ(w.turret_dir[1], 2.0f);
    EXPECT_EQ(w.tank_dir[1], plus(1, -0.05));
}

TEST_F(Movement, the_hull_turns_toward_a_far_target_once_aimed_and_snaps_onto_the_turret) {
    w.turret_dir[1] = 1.5f;
    w.tank_dir[1] = 1;
    move(1, 1.5, 0, -0.5, 100.0001);
    EXPECT_EQ(w.tank_dir[1], plus(1, 0.05));
    w.tank_dir[1] = 1.46f;
    move(1, 1.5, 0, -0.04, 100.0001);
    EXPECT_EQ(w.tank_dir[1], 1.5f);
    w.tank_dir[1] = 1.53f;
    move(1, 1.5, 0, 0.03, 100.0001);
    EXPECT_EQ(w.tank_dir[1], 1.5f);
}

TEST_F(Movement, at_distance_100_or_off_the_bearing_the_hull_turns_away) {
    w.turret_dir[1] = 1.5f;
    w.tank_dir[1] = 1.46f;
    move(1, 1.5, 0, -0.04, 100);
    EXPECT_EQ(w.tank_dir[1], plus(1.46f, -0.05));
    w.turret_dir[1] = 1.4f;
    w.tank_dir[1] = 1.53f;
    move(1, 1.5, -0.5, 0.03, 300);
    EXPECT_EQ(w.tank_dir[1], plus(1.53f, 0.05));
}

TEST_F(Movement, the_player_turns_by_the_keys_and_its_turret_points_at_the_mouse_at_once) {
    w.tank_dir[0] = 1;
    w.key_left = TRUE_FLAG;
    move(0, 2.25, 9, 9, 50);
    EXPECT_EQ(w.tank_dir[0], plus(1, 0.05));
    EXPECT_EQ(w.turret_dir[0], 2.25f);
    w.key_right = TRUE_FLAG;
    move(0, -1, 0, 0, 50);
    EXPECT_EQ(w.tank_dir[0], plus(plus(plus(1, 0.05), 0.05), -0.05));
    EXPECT_EQ(w.turret_dir[0], -1.0f);
}

TEST_F(Movement, a_tank_moves_its_speed_along_the_hull_heading_in_double) {
    w.tank_dir[1] = 0.7f;
    w.tank_speed[1] = 2.5f;
    w.tank_target[1] = 1;
    move(1, 0, 0, 0, 0);
    EXPECT_EQ(w.tank_x[1], 300 + 2.5 * sine(static_cast<double>(0.7f)));
    EXPECT_EQ(w.tank_y[1], 300 + 2.5 * cosine(static_cast<double>(0.7f)));
}

TEST_F(Movement, past_a_corner_a_tank_lands_on_it_facing_down_at_speed_3) {
    w.tank_x[1] = -0.5;
    w.tank_y[1] = -0.5;
    w.tank_target[1] = 1;
    move(1, 0, 0, 0, 0);
    EXPECT_EQ(w.tank_x[1], 0.0);
    EXPECT_EQ(w.tank_y[1], 0.0);
    EXPECT_EQ(w.tank_dir[1], 0.0f);
    EXPECT_EQ(w.tank_speed[1], 3.0f);
}

TEST_F(Movement, beyond_the_right_and_bottom_edges_a_tank_faces_back_in) {
    w.tank_x[1] = 800;
    w.tank_y[1] = 700;
    w.tank_target[1] = 1;
    move(1, 0, 0, 0, 0);
    EXPECT_EQ(w.tank_x[1], 723.0);
    EXPECT_EQ(w.tank_y[1], 651.0);
    EXPECT_EQ(w.tank_dir[1], static_cast<float>(3.141592653589794));
    EXPECT_EQ(w.tank_speed[1], 3.0f);
    w.tank_x[1] = 800;
    w.tank_y[1] = 300;
    move(1, 0, 0, 0, 0);
    EXPECT_EQ(w.tank_dir[1], static_cast<float>(4.712388980384691));
}

TEST_F(Movement, less_than_single_resolution_past_the_right_edge_or_on_an_edge_is_left_alone) {
    w.tank_target[1] = 1;
    w.tank_dir[1] = 0.3f;
    w.tank_x[1] = 723.00001;
    move(1, 0, 0, 0, 0);
    EXPECT_EQ(w.tank_x[1], 723.00001);
    EXPECT_EQ(w.tank_dir[1], 0.3f);
    w.tank_x[1] = 0;
    move(1, 0, 0, 0, 0);
    EXPECT_EQ(w.tank_dir[1], 0.3f);
}

TEST_F(Movement, the_edges_follow_the_area_as_it_is_now) {
    surface_set_area(p.picture, 100, 80, 1);
    w.tank_x[1] = 150;
    w.tank_target[1] = 1;
    move(1, 0, 0, 0, 0);
    EXPECT_EQ(w.tank_x[1], 100.0);
    EXPECT_EQ(w.tank_y[1], 80.0);
}

}  // namespace
