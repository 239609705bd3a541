// One step of the battle, run once per timer period while the battle runs.
#pragma once

#include "base/cue.h"
#include "base/random_source.h"
#include "base/world.h"
#include "drawing/surface.h"

// Steers, moves, redraws and advances the shell of every slot in order, then
// takes a next-level request (clearing it) and sets up the next level when
// this one is over. With `fire_tapped`, the player fires as with the button
// held. What would be heard of the tick is added to `cues`, when given.
void on_tick(GameWorld& world, Surface& picture, RandomSource& random, bool& next_level_requested,
             bool fire_tapped = false, Cues* cues = nullptr);
