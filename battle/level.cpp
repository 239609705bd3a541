#include "battle/level.h"

#include <cmath>

#include "base/checked.h"
#include "base/numeric.h"
#include "drawing/tank_drawing.h"

namespace {

constexpr float TARGET_COIN = 0.5;  // below it, a tank starts with a random enemy as target

}  // namespace

void start_level(GameWorld& w, Platform& p) {
    if (w.level < MAX_LEVEL) add_checked(w.level, 1, "level");
    p.reseed_random();
    if (w.tank_hp[0] > 0) {
        add_checked(w.wins, 1, "wins");
    } else {
        add_checked(w.losses, 1, "losses");
    }

    const std::int16_t last = w.level;
    for (w.cur_tank = 0; w.cur_tank <= last; ++w.cur_tank) {
        const std::size_t i = slot(w.cur_tank);
        if (w.tank_hp[i] > 0) {
            draw_slot(p, w, i, HIT_GREY, HIT_GREY, HIT_GREY);
        }
        if (w.tank_hp[i] == 0 || i > 0) {
            w.tank_x[i] = static_cast<double>(p.next_random()) * p.ScaleWidth();
            w.tank_y[i] = static_cast<double>(p.next_random()) * p.ScaleHeight();
            w.tank_dir[i] = static_cast<float>(heading_of(p.next_random()));
            w.turret_dir[i] = static_cast<float>(heading_of(p.next_random()));
        }
        w.tank_hp[i] = START_HP;
        w.tank_speed[i] = 0;
        w.tank_target[i] = 0;
        if (p.next_random() < TARGET_COIN) {
            // The product is taken in single precision; the floor in double.
            const float scaled = p.next_random() * static_cast<float>(w.level);
            w.tank_target[i] = to_int16(std::floor(static_cast<double>(scaled) + 1), "tank_target");
        }
    }
    p.clear_surface();
}
