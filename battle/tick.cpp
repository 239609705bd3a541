#include "battle/tick.h"

#include "base/checked.h"
#include "battle/level.h"
#include "drawing/tank_drawing.h"
#include "shells/shell.h"
#include "tanks/movement.h"
#include "tanks/steering.h"

namespace {

constexpr std::int16_t PLAYER_BLUE = 150;

void run_slots(GameWorld& w, Surface& picture, RandomSource& random, bool fire_tapped, Cues* cues) {
    for (w.cur_tank = 0; w.cur_tank <= MAX_SLOT; ++w.cur_tank) {
        const std::size_t i = slot(w.cur_tank);
        steer_tank(w, random);
        if (w.tank_hp[i] > 0) {
            add_checked(w.alive_count, 1, "alive_count");
            w.last_alive_speed = w.tank_speed[i];
            draw_slot(picture, w, i, ERASE_WHITE, ERASE_WHITE, ERASE_WHITE);
            move_tank(w, picture);
            draw_slot(picture, w, i, 0, 0, 0);
            if (i == 0) draw_slot(picture, w, i, 0, 0, PLAYER_BLUE);
        }
        update_shell(w, picture, random, fire_tapped, cues);
    }
}

// "Next level" ends the level for everyone.
void take_next_level_request(GameWorld& w, bool& requested) {
    if (!requested) return;
    requested = false;
    w.tank_hp.fill(0);
}

}  // namespace

void on_tick(GameWorld& w, Surface& picture, RandomSource& random, bool& next_level_requested,
             bool fire_tapped, Cues* cues) {
    w.alive_count = 0;
    w.last_alive_speed = 0;
    w.cur_tank = 0;
    run_slots(w, picture, random, fire_tapped, cues);
    take_next_level_request(w, next_level_requested);
    if (w.last_alive_speed == 0 && w.alive_count < 2) start_level(w, picture, random, cues);
}
