// Time in the headless driver: in each timer period, first the period's
// scripted events reach the game the way the window's events do, then one
// tick runs if the timer is enabled.
#pragma once

#include <vector>

#include "base/world.h"
#include "tools/headless_platform.h"
#include "tools/sim_script.h"

// Runs `period`: delivers events[next..] of that period, advancing `next`,
// then ticks if the timer is enabled. Returns whether it ticked. After a
// "quit" click the rest of the period is skipped and platform.terminated is set.
bool run_period(GameWorld& world, HeadlessPlatform& platform,
                const std::vector<ScriptEvent>& events, std::size_t& next, int period);
