#include "tools/sim_run.h"

bool run_scripted_period(Session& session, const std::vector<ScriptEvent>& events,
                         std::size_t& next, int period) {
    for (; next < events.size() && events[next].period == period; ++next)
        session_take(session, events[next].event);
    return session_run_period(session);
}
