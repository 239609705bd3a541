// Turning, moving and the window edges of one living tank.
#pragma once

#include "base/world.h"
#include "drawing/surface.h"

// Turns and moves slot cur_tank right after its steering and keeps it inside
// the picture's drawing area as it is now.
void move_tank(GameWorld& world, const Surface& picture);
