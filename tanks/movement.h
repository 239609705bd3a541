// Turning, moving and the window edges of one living tank.
#pragma once

#include "core/world.h"
#include "display/platform.h"

// Turns and moves slot cur_tank right after its steering and keeps it inside
// the drawing area.
void move_tank(GameWorld& world, Platform& platform);
