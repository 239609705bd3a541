#include "battle/tick.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "stage.h"

namespace {

using Kind = DrawOp::Kind;

void place(GameWorld& w, int i, double x, double y, float speed) {
    w.tank_hp[i] = 2;
    w.tank_x[i] = x;
    w.tank_y[i] = y;
    w.tank_speed[i] = speed;
}

bool cleared(const Stage& p) {
    return std::any_of(p.draws.begin(), p.draws.end(),
                       [](const DrawOp& op) { return op.kind == Kind::Clear; });
}

TEST(FirstTick, sets_up_level_one_scored_as_a_loss_and_clears_the_surface) {
    GameWorld w{};
    Stage p;
    p.record_draws();
    p.tick(w);
    EXPECT_EQ(w.level, 1);
    EXPECT_EQ(w.losses, 1);
    EXPECT_EQ(w.wins, 0);
    EXPECT_EQ(w.tank_hp[0], 2);
    EXPECT_EQ(w.tank_hp[1], 2);
    for (int i = 2; i <= MAX_SLOT; ++i)
        EXPECT_EQ(w.tank_hp[i], 0) << i;
    ASSERT_EQ(p.draws.size(), 1u) << "no tank is drawn, the surface is cleared";
    EXPECT_EQ(p.draws[0].kind, Kind::Clear);
}

TEST(LevelEnd, one_tank_left_at_speed_exactly_zero_ends_the_level) {
    GameWorld w{};
    Stage p;
    w.level = 3;
    w.losses = 3;
    place(w, 2, 300, 300, 0);
    p.tick(w);
    EXPECT_EQ(w.level, 4);
    EXPECT_EQ(w.losses, 4);
}

TEST(LevelEnd, a_lone_tank_that_still_moves_keeps_the_level_running) {
    GameWorld w{};
    Stage p;
    w.level = 3;
    w.losses = 3;
    place(w, 0, 300, 300, 3.0f);
    w.key_up = TRUE_FLAG;
    for (int tick = 0; tick < 5; ++tick)
        p.tick(w);
    EXPECT_EQ(w.level, 3);
    EXPECT_EQ(w.alive_count, 1);
    EXPECT_NE(w.last_alive_speed, 0.0f);
}

TEST(LevelEnd, two_tanks_at_speed_zero_do_not_end_the_level) {
    GameWorld w{};
    Stage p;
    w.level = 3;
    w.losses = 3;
    place(w, 1, 100, 100, 0);
    place(w, 2, 600, 500, 0);
    p.tick(w);
    EXPECT_EQ(w.level, 3);
    EXPECT_EQ(w.alive_count, 2);
}

TEST(LevelEnd, a_next_level_request_kills_everyone_and_the_next_tick_scores_a_loss) {
    GameWorld w{};
    Stage p;
    w.level = 5;
    w.wins = 4;
    w.losses = 1;
    place(w, 0, 100, 100, 1);
    place(w, 1, 300, 300, 1);
    place(w, 4, 500, 500, 1);
    p.next_level_requested = true;
    p.tick(w);
    EXPECT_FALSE(p.next_level_requested);
    EXPECT_EQ(w.level, 5) << "three tanks were counted: the level goes on this tick";
    EXPECT_EQ(w.alive_count, 3);
    for (int i = 0; i <= MAX_SLOT; ++i)
        EXPECT_EQ(w.tank_hp[i], 0) << i;
    p.tick(w);
    EXPECT_EQ(w.level, 6);
    EXPECT_EQ(w.wins, 4);
    EXPECT_EQ(w.losses, 2);
}

TEST(TickDrawing, the_player_is_erased_then_drawn_black_then_blue_and_an_enemy_black) {
    GameWorld w{};
    Stage p;
    p.record_draws();
    w.level = 1;
    w.losses = 1;
    place(w, 0, 100, 100, 0);
    place(w, 1, 500, 400, 0);
    p.tick(w);
    std::vector<ColourValue> circles;
    for (const DrawOp& op : p.draws) {
        if (op.kind == Kind::Circle && op.c == 5) circles.push_back(op.colour);
    }
    const std::vector<ColourValue> expected = {16777215, 0, 9830400, 16777215, 0};
    EXPECT_EQ(circles, expected);
    EXPECT_FALSE(cleared(p));
}

TEST(TickCounters, cur_tank_runs_through_every_slot) {
    GameWorld w{};
    Stage p;
    w.level = 1;
    w.losses = 1;
    place(w, 0, 100, 100, 0);
    place(w, 1, 500, 400, 0);
    p.tick(w);
    EXPECT_EQ(w.cur_tank, MAX_SLOT + 1);
}

}  // namespace
