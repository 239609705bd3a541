// Closing a finished level and opening the next: score, placement, targets.
#pragma once

#include "base/platform.h"
#include "base/world.h"

// Advances the level (up to MAX_LEVEL), reseeds the random source, scores the
// finished level by the player's survival, places slots 0..level and clears
// the surface. A surviving player keeps its place and headings.
void start_level(GameWorld& world, Platform& platform);
