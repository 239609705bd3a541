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

void deliver_waiting(Session& s) {
    std::swap(s.waiting, s.delivering);
    for (const InputEvent& event : s.delivering) {
        deliver_event(s.world, s.controls, s.picture, event);
        if (s.controls.quit_requested) {
            s.end = SessionEnd{};
            break;
        }
    }
    s.delivering.clear();
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

void session_start(Session& s, RandomSource random, int width, int height, double scale) {
    s = Session{};
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
    return ticked;
}

void session_set_display_scale(Session& s, double scale) {
    if (s.end) return;
    guarded(s, [&] {
        surface_set_area(s.picture, s.picture.area_width, s.picture.area_height, scale);
    });
}
