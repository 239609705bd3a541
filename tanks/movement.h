// Turning, moving and the window edges of one living tank.
#pragma once

#include "base/platform.h"
#include "base/world.h"

// Turns and moves slot cur_tank right after its steering and keeps it inside
// the drawing area.
void move_tank(GameWorld& world, Platform& platform);
