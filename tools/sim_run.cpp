#include "tools/sim_run.h"

bool run_scripted_period(Match& match, const std::vector<ScriptEvent>& events, std::size_t& next,
                         int period) {
    for (; next < events.size() && events[next].period == period; ++next)
        match_take(match, events[next].event);
    return match_run_period(match);
}
