// Whole battles run headless, with the world's invariants checked after every tick.
#include <gtest/gtest.h>

#include <algorithm>

#include "battle/tick.h"
#include "invariants.h"
#include "stage.h"

namespace {

void expect_invariants(const GameWorld& w, const Stage& p, int tick, int previous_level) {
    ASSERT_EQ(broken_invariant(w, p.picture, true, previous_level), "") << "after tick " << tick;
}

// A world whose next tick sets up `level`.
GameWorld before_level(int level) {
    GameWorld w{};
    w.level = static_cast<std::int16_t>(level - 1);
    w.losses = w.level;
    return w;
}

TEST(Battle, a_level_ten_battle_keeps_every_tank_inside_and_every_value_in_range) {
    GameWorld w = before_level(10);
    Stage p;
    p.random = random_from_seed(7);
    p.tick(w);
    ASSERT_EQ(w.level, 10);
    for (int tick = 1; tick <= 400; ++tick) {
        p.tick(w);
        expect_invariants(w, p, tick, 10);
        if (HasFatalFailure()) return;
    }
}

TEST(Battle, a_seeded_level_five_battle_is_fought_out_and_the_next_level_follows) {
    GameWorld w = before_level(5);
    Stage p;
    p.random = random_from_seed(11);
    p.tick(w);
    ASSERT_EQ(w.level, 5);
    int tick = 0;
    while (w.level == 5 && tick < 50000) {
        p.tick(w);
        expect_invariants(w, p, ++tick, 5);
        if (HasFatalFailure()) return;
    }
    EXPECT_EQ(w.level, 6) << "still fighting after " << tick << " ticks";
    EXPECT_EQ(w.wins + w.losses, 6);
}

TEST(Battle, an_area_shrunk_to_nothing_holds_every_tank_at_its_corner) {
    GameWorld w = before_level(6);
    Stage p;
    p.random = random_from_seed(5);
    p.tick(w);
    surface_set_area(p.picture, 0, 0, 1);
    for (int tick = 1; tick <= 300; ++tick) {
        p.tick(w);
        expect_invariants(w, p, tick, 6);
        if (HasFatalFailure()) return;
    }
    for (int i = 0; i <= w.level; ++i) {
        if (w.tank_hp[i] > 0) {
            EXPECT_EQ(w.tank_x[i] + w.tank_y[i], 0.0) << i;
        }
    }
}

TEST(Battle, the_same_seed_fights_the_same_battle) {
    const auto fight = [] {
        GameWorld w = before_level(8);
        Stage p;
        p.random = random_from_seed(3);
        for (int tick = 0; tick < 600; ++tick)
            p.tick(w);
        return std::make_pair(w.tank_x, p.random.served);
    };
    EXPECT_EQ(fight(), fight());
}

}  // namespace
