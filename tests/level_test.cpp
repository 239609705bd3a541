#include "battle/level.h"

#include <gtest/gtest.h>

#include "battle/tick.h"
#include "stage.h"

namespace {

using Kind = DrawOp::Kind;

TEST(StartLevel, places_the_player_and_the_first_enemy_from_the_random_numbers_in_order) {
    GameWorld w{};
    Stage p;
    p.use_randoms({0.5f, 0.25f, 0.125f, 0.0625f, 0.75f,           // slot 0: place, coin says player
                   0.1f, 0.2f, 0.25f, 0.75f, 0.3f, 0.9999999f});  // slot 1: place, coin, enemy
    start_level(w, p.picture, p.random);
    EXPECT_EQ(p.random.served, 11u);
    EXPECT_EQ(w.tank_x[0], 361.5);
    EXPECT_EQ(w.tank_y[0], 162.75);
    EXPECT_EQ(w.tank_dir[0], 0.785398185f) << "45 degrees";
    EXPECT_EQ(w.turret_dir[0], 0.392699093f) << "22.5 degrees";
    EXPECT_EQ(w.tank_target[0], 0);
    EXPECT_EQ(w.tank_x[1], 72.30000107735395) << "the single 0.1 widened, times 723";
    EXPECT_EQ(w.tank_y[1], 130.2000019401312);
    EXPECT_EQ(w.tank_dir[1], 1.57079637f) << "90 degrees";
    EXPECT_EQ(w.turret_dir[1], 4.71238899f) << "270 degrees";
    EXPECT_EQ(w.tank_target[1], 1) << "at level 1 the second number always yields 1";
    EXPECT_EQ(w.tank_hp[0], 2);
    EXPECT_EQ(w.tank_hp[1], 2);
    EXPECT_EQ(w.cur_tank, 2);
}

// Below the coin's 0.5 a tank takes a random enemy from the next number,
// the product taken in single precision (at level 11, 0.45454544 gives 5.0
// there, 4.9999998 in double); from 0.5 on, the player, with no draw more.
TEST(StartLevel, the_target_coin_gives_an_enemy_in_one_to_level_below_one_half_else_the_player) {
    const struct {
        int level;
        std::vector<float> coin_and_enemy;
        int target;
    } rows[] = {{50, {0.0f, 0.9999999f}, 50},
                {50, {0.0f, 0.0f}, 1},
                {11, {0.0f, 0.45454543828964233f}, 6},
                {11, {0.49999997f, 0.0f}, 1},
                {11, {0.5f}, 0}};
    for (const auto& row : rows) {
        GameWorld w{};
        w.level = static_cast<std::int16_t>(row.level - 1);
        Stage p;
        std::vector<float> numbers;
        for (int i = 0; i <= row.level; ++i) {
            numbers.insert(numbers.end(), {0.5f, 0.5f, 0.5f, 0.5f});
            numbers.insert(numbers.end(), row.coin_and_enemy.begin(), row.coin_and_enemy.end());
        }
        p.use_randoms(numbers);
        start_level(w, p.picture, p.random);
        EXPECT_EQ(p.random.served, numbers.size()) << "coin " << row.coin_and_enemy[0];
        for (int i = 0; i <= row.level; ++i)
            EXPECT_EQ(w.tank_target[i], row.target)
                << "coin " << row.coin_and_enemy[0] << ", slot " << i;
    }
}

TEST(StartLevel, a_surviving_player_keeps_place_and_headings_and_scores_a_win) {
    GameWorld w{};
    Stage p;
    p.record_draws();
    w.level = 3;
    w.losses = 3;
    w.tank_hp[0] = 1;
    w.tank_x[0] = 123.25;
    w.tank_y[0] = 456.5;
    w.tank_dir[0] = 7.5f;
    w.turret_dir[0] = -2.25f;
    w.tank_speed[0] = 2.5f;
    start_level(w, p.picture, p.random);
    EXPECT_EQ(w.wins, 1);
    EXPECT_EQ(w.losses, 3);
    EXPECT_EQ(w.level, 4);
    EXPECT_EQ(w.tank_x[0], 123.25);
    EXPECT_EQ(w.tank_y[0], 456.5);
    EXPECT_EQ(w.tank_dir[0], 7.5f);
    EXPECT_EQ(w.turret_dir[0], -2.25f);
    EXPECT_EQ(w.tank_speed[0], 0.0f);
    EXPECT_EQ(w.tank_hp[0], 2);
    ASSERT_FALSE(p.draws.empty());
    EXPECT_EQ(p.draws.front().kind, Kind::Circle);
    EXPECT_EQ(p.draws.front().colour, 13158600) << "the survivor is drawn grey first";
    EXPECT_EQ(p.draws.back().kind, Kind::Clear);
    for (int i = 0; i <= 4; ++i)
        EXPECT_EQ(w.tank_hp[i], 2) << i;
    for (int i = 5; i <= MAX_SLOT; ++i)
        EXPECT_EQ(w.tank_hp[i], 0) << i;
}

TEST(StartLevel, random_places_lie_inside_the_area_of_the_moment) {
    GameWorld w{};
    Stage p(200, 100);
    w.level = 49;
    start_level(w, p.picture, p.random);
    for (int i = 0; i <= MAX_SLOT; ++i) {
        EXPECT_GE(w.tank_x[i], 0);
        EXPECT_LT(w.tank_x[i], 200);
        EXPECT_GE(w.tank_y[i], 0);
        EXPECT_LT(w.tank_y[i], 100);
    }
}

TEST(StartLevel, sixty_set_ups_reach_level_fifty_and_count_every_one) {
    GameWorld w{};
    Stage p;
    for (int n = 0; n < 60; ++n)
        start_level(w, p.picture, p.random);
    EXPECT_EQ(w.level, 50);
    EXPECT_EQ(w.wins + w.losses, 60);
    for (int i = 0; i <= MAX_SLOT; ++i)
        EXPECT_EQ(w.tank_hp[i], 2) << i;
}

}  // namespace
