#include "shells/shell.h"

#include <gtest/gtest.h>

#include "battle/level.h"
#include "battle/tick.h"
#include "stage.h"

namespace {

using Kind = DrawOp::Kind;

struct Shells : testing::Test {
    GameWorld w{};
    Stage p;

    void alive(int i, double x, double y, int target = 0, std::int16_t hp = 2) {
        w.tank_hp[i] = hp;
        w.tank_x[i] = x;
        w.tank_y[i] = y;
        w.tank_target[i] = static_cast<std::int16_t>(target);
    }
    // Slot i's shell update with the aim values its steering would leave.
    void update(int i, double aim_dist, double aim_angle) {
        w.cur_tank = static_cast<std::int16_t>(i);
        w.aim_dist = aim_dist;
        w.aim_angle = aim_angle;
        update_shell(w, p.picture, p.random);
    }
    void update(int i) { update(i, w.aim_dist, w.aim_angle); }
};

// Slot 1 aimed at a living slot 2, its turret exactly on the bearing 0.5.
struct EnemyFiring : Shells {
    void SetUp() override {
        alive(1, 300, 300, 2);
        alive(2, 400, 400, 1);
        w.turret_dir[1] = 0.5f;
        p.use_randoms({0.5f});
    }
    bool fires_at(double distance) {
        w.shell_state[1] = 0;
        update(1, distance, 0.5);
        return w.shell_state[1] != 0;
    }
};

TEST_F(EnemyFiring, fires_only_strictly_between_50_and_300) {
    EXPECT_FALSE(fires_at(50));
    EXPECT_FALSE(fires_at(300));
    EXPECT_TRUE(fires_at(50.001));
    p.use_randoms({0.5f});
    EXPECT_TRUE(fires_at(299.999));
}

TEST_F(EnemyFiring, holds_fire_off_the_bearing_at_a_dead_target_or_with_a_shell_in_the_air) {
    w.turret_dir[1] = static_cast<float>(0.5 + 0.08);
    EXPECT_FALSE(fires_at(150));
    w.turret_dir[1] = 0.5f;
    w.tank_hp[2] = 0;
    EXPECT_FALSE(fires_at(150));
    w.tank_hp[2] = 1;
    w.shell_state[1] = 7;
    update(1, 150, 0.5);
    EXPECT_EQ(w.shell_state[1], 6) << "the shell flew on instead";
    EXPECT_EQ(p.random.served, 0u);
}

TEST_F(EnemyFiring, starts_from_the_tank_along_the_turret_with_an_error_of_minus_3_to_plus_3) {
    alive(1, 123.5, 234.25, 2, 1);
    p.use_randoms({0.0f, 0.99999994f});
    ASSERT_TRUE(fires_at(100));
    EXPECT_EQ(w.shell_state[1], 14 - 3);
    EXPECT_EQ(w.shell_x[1], 123.5);
    EXPECT_EQ(w.shell_y[1], 234.25);
    EXPECT_EQ(w.shell_dir[1], 0.5f);
    ASSERT_TRUE(fires_at(100));
    EXPECT_EQ(w.shell_state[1], 14 + 3);
}

TEST_F(Shells, the_player_fires_whenever_the_button_is_held_even_from_a_wreck) {
    alive(0, 100, 100, 0, 0);
    w.turret_dir[0] = 1.25f;
    w.fire_held = 1;  // only exactly -1 counts as held
    update(0, 100, 9);
    EXPECT_EQ(w.shell_state[0], 0);
    w.fire_held = TRUE_FLAG;
    update(0, 100, 9);
    EXPECT_EQ(w.shell_state[0], 14);
    EXPECT_EQ(w.shell_dir[0], 1.25f);
    EXPECT_EQ(p.random.served, 0u);
}

// The player's start value and how far the shell travels until it bursts.
struct Range {
    double distance;
    std::int16_t start;
    double travel;
};

TEST_F(Shells, the_start_value_follows_the_distance_and_places_the_burst_near_it) {
    for (const Range r :
         {Range{46, 10, 54}, Range{57.9, 10, 54}, Range{100, 14, 104}, Range{150, 17, 152},
          Range{250, 22, 252}, Range{313, 25, 324}, Range{900, 25, 324}}) {
        SCOPED_TRACE(r.distance);
        alive(0, 100, 100);
        w.turret_dir[0] = 0;  // straight down
        w.fire_held = TRUE_FLAG;
        w.shell_state[0] = 0;
        update(0, r.distance, 0);
        ASSERT_EQ(w.shell_state[0], r.start);
        w.fire_held = FALSE_FLAG;
        int updates = 0;
        while (w.shell_state[0] != 0) {
            const double y_before = w.shell_y[0];
            update(0);
            ++updates;
            if (w.shell_state[0] == 0) {
                EXPECT_EQ(w.shell_y[0], y_before) << "the burst does not move";
            }
        }
        EXPECT_EQ(updates, r.start) << "bursts on the s-th update after firing";
        EXPECT_EQ(w.shell_y[0] - 100, r.travel);
    }
}

TEST_F(Shells, a_flight_step_leaves_a_pale_dot_and_draws_the_red_head) {
    p.record_draws();
    w.shell_x[3] = 50;
    w.shell_y[3] = 60;
    w.shell_dir[3] = 0;  // straight down
    w.shell_state[3] = 9;
    update(3);
    EXPECT_EQ(w.shell_x[3], 50);
    EXPECT_EQ(w.shell_y[3], 69);
    EXPECT_EQ(w.shell_state[3], 8);
    const std::vector<DrawOp> expected = {{Kind::Circle, 50, 60, 1, 0, make_colour(255, 225, 225)},
                                          {Kind::Circle, 50, 69, 1, 0, make_colour(200, 0, 0)}};
    EXPECT_EQ(p.draws, expected);
}

// Slot 4's shell bursting at (200, 200).
struct Burst : Shells {
    void SetUp() override {
        p.record_draws();
        w.shell_x[4] = 200;
        w.shell_y[4] = 200;
        w.shell_state[4] = 1;
    }
    void burst() {
        w.cur_tank = 4;
        update_shell(w, p.picture, p.random);
    }
    std::size_t lines() const {
        std::size_t n = 0;
        for (const DrawOp& op : p.draws)
            n += op.kind == Kind::Line && op.a == 200 && op.b == 200;
        return n;
    }
};

TEST_F(Burst, with_no_tank_near_draws_eleven_lines_and_readies_the_slot) {
    alive(2, 220, 200);
    alive(3, 200, 180);
    burst();
    EXPECT_EQ(w.shell_state[4], 0);
    EXPECT_EQ(lines(), 11u);
    EXPECT_EQ(w.tank_hp[2], 2) << "exactly 20 away is outside the box";
    EXPECT_EQ(w.tank_hp[3], 2);
    EXPECT_EQ(w.scan_idx, 51);
}

TEST_F(Burst, a_shell_burst_line_takes_angle_length_red_and_green_in_that_order) {
    std::vector<float> numbers = {0.25f, 0.5f, 0.0f, 0.99999994f};
    numbers.resize(44, 0.5f);  // the other ten lines: half a turn, 5 long
    p.use_randoms(numbers);
    burst();
    // A quarter turn points right; 5 long; the lowest red, the highest green.
    EXPECT_EQ(p.draws.front(), (DrawOp{Kind::Line, 200, 200, 205, 200, make_colour(100, 254, 0)}));
    EXPECT_EQ(w.turret_delta, PI) << "the last line's angle stays in turret_delta";
    EXPECT_EQ(w.hull_delta, 5.0) << "and its length in hull_delta";
}

TEST_F(Burst, two_tanks_in_the_box_are_each_hit_redrawn_and_sprayed_in_slot_order) {
    alive(4, 180.01, 219.99);  // the firing tank itself, just inside
    alive(9, 200, 200, 0, 1);
    alive(7, 210, 190);  // dead tanks in the box are left alone
    w.tank_hp[7] = 0;
    burst();
    EXPECT_EQ(w.tank_hp[4], 1);
    EXPECT_EQ(w.tank_hp[9], 0);
    EXPECT_EQ(w.tank_hp[7], 0);
    EXPECT_EQ(w.tank_speed[4], 0.0f);
    EXPECT_EQ(lines(), 53u);
    ASSERT_EQ(p.draws.size(), 85u);
    // After the burst's lines: slot 4 erased white, redrawn grey, sprayed red; then slot 9.
    for (std::size_t first : {11u, 48u}) {
        EXPECT_EQ(p.draws[first].kind, Kind::Circle);
        EXPECT_EQ(p.draws[first].colour, make_colour(255, 255, 255));
        EXPECT_EQ(p.draws[first + 8].colour, make_colour(200, 200, 200));
        EXPECT_EQ(p.draws[first + 16].kind, Kind::Line);
        EXPECT_EQ(p.draws[first + 16].colour & 0xFFFF00, 0) << "hit spray lines are red only";
    }
    EXPECT_EQ(p.draws[11].a, 180.01f);
    EXPECT_EQ(p.draws[48].a, 200.0f);
    EXPECT_EQ(w.burst_idx, 21);
}

TEST_F(Burst, a_hit_tank_turns_to_the_next_two_random_headings) {
    alive(6, 205, 195);
    std::vector<float> numbers(44, 0.0f);
    numbers.insert(numbers.end(), {0.125f, 0.75f});
    numbers.resize(44 + 2 + 63, 0.0f);
    p.use_randoms(numbers);
    burst();
    EXPECT_EQ(w.tank_dir[6], static_cast<float>(static_cast<double>(0.125f) * 360 * DEG2RAD));
    EXPECT_EQ(w.turret_dir[6], static_cast<float>(static_cast<double>(0.75f) * 360 * DEG2RAD));
}

TEST(ShellLife, a_shell_fired_as_a_level_ends_flies_on_and_bursts_in_the_next_level) {
    GameWorld w{};
    Stage p;
    w.level = 1;
    w.losses = 1;
    w.tank_hp[0] = 2;
    w.tank_x[0] = 300;
    w.tank_y[0] = 300;
    w.mouse_x = 300;
    w.mouse_y = 500;
    w.fire_held = TRUE_FLAG;
    p.tick(w);  // the player, alone and standing, fires; the level ends
    ASSERT_EQ(w.level, 2);
    const std::int16_t start = w.shell_state[0];
    ASSERT_GE(start, 10);
    w.fire_held = FALSE_FLAG;
    for (int tick = 1; tick < start; ++tick)
        p.tick(w);
    EXPECT_EQ(w.shell_state[0], 1);
    EXPECT_EQ(w.level, 2);
    p.tick(w);
    EXPECT_EQ(w.shell_state[0], 0);
}

}  // namespace
