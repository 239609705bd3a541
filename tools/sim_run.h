// Time in the headless driver: in each timer period, the period's scripted
// events reach the session the way a window's events do, then it runs the
// period.
#pragma once

#include <vector>

#include "session/session.h"
#include "record/battle_file.h"

// Hands the session events[next..] of `period`, advancing `next`, then runs
// the period. Returns whether it ticked.
bool run_scripted_period(Session& session, const std::vector<ScriptEvent>& events,
                         std::size_t& next, int period);
