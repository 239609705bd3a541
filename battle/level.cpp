#include "battle/level.h"

#include <cmath>

#include "base/checked.h"
#include "base/numeric.h"
#include "drawing/tank_drawing.h"

namespace {

constexpr float TARGET_COIN = 0.5;  // below it, a tank starts with a random enemy as target

}  // namespace

void start_level(GameWorld& w, Surface& picture, RandomSource& random, Cues* cues) {
    const bool fought = w.level > 0;
    if (w.level < MAX_LEVEL) add_checked(w.level, 1, "level");
    random_reseed(random);
    const bool won = w.tank_hp[0] > 0;
    if (won) {
        add_checked(w.wins, 1, "wins");
    } else {
        add_checked(w.losses, 1, "losses");
    }
    if (cues != nullptr && fought) {
        cues->push_back({won ? CueKind::LevelWon : CueKind::LevelLost,
                         static_cast<float>(picture.area_width) / 2,
                         static_cast<float>(picture.area_height) / 2});
    }

    const std::int16_t last = w.level;
    for (w.cur_tank = 0; w.cur_tank <= last; ++w.cur_tank) {
        const std::size_t i = slot(w.cur_tank);
        if (w.tank_hp[i] > 0) {
            draw_slot(picture, w, i, HIT_GREY, HIT_GREY, HIT_GREY);
        }
        if (w.tank_hp[i] == 0 || i > 0) {
            w.tank_x[i] =
                static_cast<double>(random_next(random)) * static_cast<float>(picture.area_width);
            w.tank_y[i] =
                static_cast<double>(random_next(random)) * static_cast<float>(picture.area_height);
            w.tank_dir[i] = static_cast<float>(heading_of(random_next(random)));
            w.turret_dir[i] = static_cast<float>(heading_of(random_next(random)));
        }
        w.tank_hp[i] = START_HP;
        w.tank_speed[i] = 0;
        w.tank_target[i] = 0;
        if (random_next(random) < TARGET_COIN) {
            // The product is taken in single precision; the floor in double.
            const float scaled = random_next(random) * static_cast<float>(w.level);
            w.tank_target[i] = to_int16(std::floor(static_cast<double>(scaled) + 1), "tank_target");
        }
    }
    surface_clear(picture);
}
