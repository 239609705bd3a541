#include "tools/sim_run.h"

#include "battle/tick.h"
#include "input/input_event.h"

bool run_period(GameWorld& w, HeadlessPlatform& p, const std::vector<ScriptEvent>& events,
                std::size_t& next, int period) {
    for (; next < events.size() && events[next].period == period; ++next) {
        deliver_event(w, p, events[next].event);
        if (p.terminated) {
            ++next;
            return false;
        }
    }
    if (!p.tmr_enabled) return false;
    on_tick(w, p);
    return true;
}
