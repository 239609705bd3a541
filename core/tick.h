// One step of the battle, run once per timer period.
#pragma once

#include "core/world.h"
#include "display/platform.h"

// Steers, moves, redraws and advances the shell of every slot in order, then
// honours a next-level request and sets up the next level when this one is over.
void on_tick(GameWorld& world, Platform& platform);
