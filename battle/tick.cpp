#include "battle/tick.h"

#include <charconv>

#include "base/checked.h"
#include "battle/level.h"
#include "drawing/tank_drawing.h"
#include "shells/shell.h"
#include "tanks/movement.h"
#include "tanks/steering.h"

namespace {

constexpr std::int16_t PLAYER_BLUE = 150;

// The Tag text as a number, as the request is read; anything else counts as 0.
int tag_number(std::string_view tag) {
    int value = 0;
    std::from_chars(tag.data(), tag.data() + tag.size(), value);
    return value;
}

void run_slots(GameWorld& w, Platform& p) {
    for (w.cur_tank = 0; w.cur_tank <= MAX_SLOT; ++w.cur_tank) {
        const std::size_t i = slot(w.cur_tank);
        steer_tank(w, p);
        if (w.tank_hp[i] > 0) {
            add_checked(w.alive_count, 1, "alive_count");
            w.last_alive_speed = w.tank_speed[i];
            draw_slot(p, w, i, ERASE_WHITE, ERASE_WHITE, ERASE_WHITE);
            move_tank(w, p);
            draw_slot(p, w, i, 0, 0, 0);
            if (i == 0) draw_slot(p, w, i, 0, 0, PLAYER_BLUE);
        }
        update_shell(w, p);
    }
}

void take_next_level_request(GameWorld& w, Platform& p) {
    if (tag_number(p.Tag()) != tag_number(TAG_NEXT_LEVEL)) return;
    p.set_Tag(TAG_NO_REQUEST);
    w.tank_hp.fill(0);
}

}  // namespace

void on_tick(GameWorld& w, Platform& p) {
    w.alive_count = 0;
    w.last_alive_speed = 0;
    w.cur_tank = 0;
    run_slots(w, p);
    take_next_level_request(w, p);
    if (w.last_alive_speed == 0 && w.alive_count < 2) start_level(w, p);
}
