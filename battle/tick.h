// One step of the battle, run once per timer period.
#pragma once

#include "base/platform.h"
#include "base/world.h"

// Steers, moves, redraws and advances the shell of every slot in order, then
// honours a next-level request and sets up the next level when this one is over.
void on_tick(GameWorld& world, Platform& platform);
