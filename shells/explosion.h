// The line sprays of a burst, drawn from the burst point and never erased.
#pragma once

#include "base/random_source.h"
#include "base/world.h"
#include "drawing/surface.h"

// Eleven short lines in random reds and greens, for every shell that bursts.
// Counts with scan_idx; leaves each line's angle and length in turret_delta
// and hull_delta.
void shell_burst(GameWorld& world, Surface& picture, RandomSource& random, double x, double y);

// Twenty-one longer lines in shades of red, for every tank a shell hits.
// Counts with burst_idx, since it runs inside the hit scan's scan_idx loop.
void hit_burst(GameWorld& world, Surface& picture, RandomSource& random, double x, double y);
