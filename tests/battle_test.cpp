// Whole battles run headless, with the world's invariants checked after every tick.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/tick.h"
#include "display/headless_platform.h"

namespace {

void expect_invariants(const GameWorld& w, HeadlessPlatform& p, int tick) {
    SCOPED_TRACE("tick " + std::to_string(tick));
    ASSERT_EQ(w.level, std::min(50, w.wins + w.losses));
    for (int i = 0; i <= MAX_SLOT; ++i) {
        ASSERT_GE(w.tank_hp[i], 0) << i;
        ASSERT_LE(w.tank_hp[i], 2) << i;
        if (i > w.level) {
            ASSERT_EQ(w.tank_hp[i], 0) << i;
        }
        ASSERT_GE(w.tank_target[i], 0) << i;
        ASSERT_LE(w.tank_target[i], MAX_SLOT) << i;
        ASSERT_GE(w.tank_speed[i], 0.0f) << i;
        ASSERT_LE(w.tank_speed[i], 3.0f) << i;
        ASSERT_GE(w.shell_state[i], 0) << i;
        ASSERT_LE(w.shell_state[i], 25) << i;
        if (w.tank_hp[i] > 0) {
            ASSERT_GE(w.tank_x[i], 0) << i;
            ASSERT_LE(static_cast<float>(w.tank_x[i]), p.ScaleWidth()) << i;
            ASSERT_GE(w.tank_y[i], 0) << i;
            ASSERT_LE(static_cast<float>(w.tank_y[i]), p.ScaleHeight()) << i;
        }
    }
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
    HeadlessPlatform p(723, 651, 7);
    on_tick(w, p);
    ASSERT_EQ(w.level, 10);
    for (int tick = 1; tick <= 400; ++tick) {
        on_tick(w, p);
        expect_invariants(w, p, tick);
        if (HasFatalFailure()) return;
    }
}

TEST(Battle, a_seeded_level_five_battle_is_fought_out_and_the_next_level_follows) {
    GameWorld w = before_level(5);
    HeadlessPlatform p(723, 651, 11);
    on_tick(w, p);
    ASSERT_EQ(w.level, 5);
    int tick = 0;
    while (w.level == 5 && tick < 50000) {
        on_tick(w, p);
        expect_invariants(w, p, ++tick);
        if (HasFatalFailure()) return;
    }
    EXPECT_EQ(w.level, 6) << "still fighting after " << tick << " ticks";
    EXPECT_EQ(w.wins + w.losses, 6);
}

TEST(Battle, the_same_seed_fights_the_same_battle) {
    const auto fight = [] {
        GameWorld w = before_level(8);
        HeadlessPlatform p(723, 651, 3);
        for (int tick = 0; tick < 600; ++tick)
            on_tick(w, p);
        return std::make_pair(w.tank_x, p.randoms_served);
    };
    EXPECT_EQ(fight(), fight());
}

}  // namespace
