// Closing a finished level and opening the next: score, placement, targets.
#pragma once

#include "base/cue.h"
#include "base/random_source.h"
#include "base/world.h"
#include "drawing/surface.h"

// Advances the level (up to MAX_LEVEL), reseeds the random source, scores the
// finished level by the player's survival, places slots 0..level and clears
// the picture. A surviving player keeps its place and headings. A level won
// or lost (not the set-up at the start, which no one fought) is added to
// `cues`, when given, in the middle of the field.
void start_level(GameWorld& world, Surface& picture, RandomSource& random, Cues* cues = nullptr);
