// Closing a finished level and opening the next: score, placement, targets.
#pragma once

#include "base/random_source.h"
#include "base/world.h"
#include "drawing/surface.h"

// Advances the level (up to MAX_LEVEL), reseeds the random source, scores the
// finished level by the player's survival, places slots 0..level and clears
// the picture. A surviving player keeps its place and headings.
void start_level(GameWorld& world, Surface& picture, RandomSource& random);
