// Time in the headless driver: in each timer period, the period's scripted
// events reach the match the way a window's events do, then it runs the
// period.
#pragma once

#include <vector>

#include "match/match.h"
#include "record/battle_file.h"

// Hands the match events[next..] of `period`, advancing `next`, then runs
// the period. Returns whether it ticked.
bool run_scripted_period(Match& match, const std::vector<ScriptEvent>& events, std::size_t& next,
                         int period);
