#include "input/help_window.h"

#include "input/keys.h"

void on_f1_key(GameWorld& w, Controls& c) {
    if (c.help_window_open) {
        c.battle_timer_running = true;
        c.help_window_open = false;
        return;
    }
    release_arrow_keys(w);
    c.battle_timer_running = false;
    c.help_window_open = true;
}

void on_close_click(Controls& c) {
    c.help_window_open = false;
    c.battle_timer_running = true;
}
