#include "session/session.h"

#include <utility>

#include "base/checked.h"
#include "battle/tick.h"

namespace {

// Runs game code; a fault ends the session instead of leaving it.
template <typename GameCode>
void guarded(Session& s, GameCode&& code) {
    try {
        code();
    } catch (const RandomsRanOut& out) {
        s.end = SessionEnd{RANDOMS_RAN_OUT_STATUS, out.what()};
    } catch (...) {
        s.end = SessionEnd{FAULT_EXIT_STATUS,
                           "the game stopped: " + fault_message(std::current_exception())};
    }
}

// Tells the front end which small window a record opened or closed.
void tell_small_windows(Session& s) {
    const Controls& c = s.controls;
    if (c.result_window_open != s.result_window_shown) {
        s.result_window_shown = c.result_window_open;
        if (c.result_window_open) {
            s.front_end->open_result_window(c.result_score.value_or(ResultScore{}));
        } else {
            s.front_end->close_small_window(SmallWindow::Result);
        }
    }
    if (c.help_window_open != s.help_window_shown) {
        s.help_window_shown = c.help_window_open;
        if (c.help_window_open) {
            s.front_end->open_help_window();
        } else {
            s.front_end->close_small_window(SmallWindow::Help);
        }
    }
}

void deliver_waiting(Session& s) {
    std::swap(s.waiting, s.delivering);
    for (const InputEvent& event : s.delivering) {
        deliver_event(s.world, s.controls, s.picture, event);
        tell_small_windows(s);
        if (s.controls.quit_requested) {
            s.end = SessionEnd{};
            break;
        }
    }
    s.delivering.clear();
}

// Shows what changed and, once the session has ended, ends the program.
void finish(Session& s) {
    surface_take_dirty_strips(s.picture, s.changed);
    if (!s.changed.empty()) s.front_end->show_picture(s.changed);
    if (s.end) s.front_end->end_program(s.end->status, s.end->message);
}

// The player's engine: running while its tank moves in a period that ticks.
void hear_engine(Session& s, bool ticked) {
    const GameWorld& w = s.world;
    const bool running = ticked && w.tank_hp[0] > 0 && w.tank_speed[0] > 0;
    if (running == s.engine_running) return;
    s.engine_running = running;
    s.cues.push_back({running ? CueKind::EngineStart : CueKind::EngineStop,
                      static_cast<float>(w.tank_x[0]), static_cast<float>(w.tank_y[0])});
}

}  // namespace

void session_start(Session& s, FrontEnd& front_end, RandomSource random, int width, int height,
                   double scale) {
    s = Session{};
    s.front_end = &front_end;
    s.random = std::move(random);
    guarded(s, [&] { surface_set_area(s.picture, width, height, scale); });
}

void session_take(Session& s, const InputEvent& event) {
    if (!s.end) s.waiting.push_back(event);
}

bool session_run_period(Session& s, bool battle_shown) {
    if (s.end) return false;
    ++s.periods;
    s.cues.clear();
    bool ticked = false;
    guarded(s, [&] {
        deliver_waiting(s);
        if (s.end || !s.controls.battle_timer_running || !battle_shown) return;
        on_tick(s.world, s.picture, s.random, s.controls.next_level_requested,
                s.controls.fire_tapped, &s.cues);
        ticked = true;
        ++s.ticks;
    });
    hear_engine(s, ticked);
    s.waiting.clear();
    s.controls.left_pressed = s.controls.fire_tapped = false;
    finish(s);
    return ticked;
}

void session_set_display_scale(Session& s, double scale) {
    if (s.end) return;
    guarded(s, [&] {
        surface_set_area(s.picture, s.picture.area_width, s.picture.area_height, scale);
    });
    finish(s);
}
