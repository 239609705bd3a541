#include "input/result_window.h"

#include "input/keys.h"

void on_esc_key(GameWorld& w, Controls& c) {
    if (c.result_window_open) {
        c.battle_timer_running = true;
        c.result_window_open = false;
        return;
    }
    release_arrow_keys(w);
    c.result_score = ResultScore{w.wins, w.losses - 1};  // the start-up set-up counted one
    c.result_window_open = true;
    c.battle_timer_running = false;
}

void on_quit_click(Controls& c) {
    c.quit_requested = true;
}

void on_back_click(Controls& c) {
    c.battle_timer_running = true;
    c.result_window_open = false;
}

void on_next_level_click(Controls& c) {
    c.next_level_requested = true;
    c.battle_timer_running = true;
    c.result_window_open = false;
}
