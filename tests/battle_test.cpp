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

}  // namespace
