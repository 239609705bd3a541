// What must hold of the world after every timer period, whatever the input.
#pragma once

#include <string>

#include "base/world.h"
#include "drawing/surface.h"

// The first broken invariant, described, or an empty text when all hold.
// Positions are checked only after a period that ticked: a resize while the
// timer is stopped may leave tanks outside until they next move.
std::string broken_invariant(const GameWorld& world, const Surface& picture, bool ticked,
                             int previous_level);

// For the fuzzers: aborts, naming the period and the invariant, when one is
// broken after `period`; keeps the level for the next call.
void abort_on_broken_invariant(const GameWorld& world, const Surface& picture, bool ticked,
                               int& level, int period);
