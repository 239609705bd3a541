// What the player's controls switch besides the world: whether the battle's
// timer runs, the next-level request, which small windows are open and the
// score the result window shows. The handlers (input/) change it; the tick
// takes the next-level request; the session tells the front end what opened
// and closed.
#pragma once

#include <optional>

#include "base/front_end.h"

struct Controls {
    bool battle_timer_running = true;   // each period ticks while it runs
    bool next_level_requested = false;  // "Next level" was pressed; the next tick takes it
    bool result_window_open = false;
    bool help_window_open = false;
    std::optional<ResultScore> result_score;  // none until the result window first opens
    bool quit_requested = false;              // "Quit" was pressed: the program ends
    // Within one period only: a left press came, and then its release too. A
    // tap that quick fires at the period's tick as a held button does.
    bool left_pressed = false;
    bool fire_tapped = false;
};
