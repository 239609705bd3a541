#include "tools/sim_run.h"

#include "core/tick.h"
#include "ui/help_window.h"
#include "ui/input.h"
#include "ui/result_window.h"

namespace {
constexpr std::int16_t NO_SHIFT = 0;
}  // namespace

void deliver_event(GameWorld& w, HeadlessPlatform& p, const ScriptEvent& e) {
    using Kind = ScriptEvent::Kind;
    switch (e.kind) {
        case Kind::KeyDown:
            on_key_down(w, p, e.code, NO_SHIFT);
            break;
        case Kind::KeyUp:
            on_key_up(w, p, e.code, NO_SHIFT);
            break;
        case Kind::KeyPress:
            on_key_press(w, p, e.code);
            break;
        case Kind::MouseDown:
            on_mouse_down(w, p, e.code, NO_SHIFT, e.x, e.y);
            break;
        case Kind::MouseMove:
            on_mouse_move(w, p, e.code, NO_SHIFT, e.x, e.y);
            break;
        case Kind::MouseUp:
            on_mouse_up(w, p, e.code, NO_SHIFT, e.x, e.y);
            break;
        case Kind::ClickQuit:
            on_quit_click(p);
            break;
        case Kind::ClickBack:
            on_back_click(p);
            break;
        case Kind::ClickNextLevel:
            on_next_level_click(p);
            break;
        case Kind::ClickClose:
            on_close_click(p);
            break;
        case Kind::Resize:
            surface_resize(p.surface, e.width, e.height);
            break;
    }
}

bool run_period(GameWorld& w, HeadlessPlatform& p, const std::vector<ScriptEvent>& events,
                std::size_t& next, int period) {
    for (; next < events.size() && events[next].period == period; ++next) {
        deliver_event(w, p, events[next]);
        if (p.terminated) {
            ++next;
            return false;
        }
    }
    if (!p.tmr_enabled) return false;
    on_tick(w, p);
    return true;
}
