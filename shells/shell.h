// One slot's shell: firing, flight, burst and hits.
#pragma once

#include "base/cue.h"
#include "base/random_source.h"
#include "base/world.h"
#include "drawing/surface.h"

// Advances the shell of slot cur_tank by one step: burst when due, fly when in
// the air, or fire when ready and the tank is set to: the player while the
// fire button is held, or after a tap (`fire_tapped`) while its tank is alive.
// What would be heard of it (a shot, a burst, a tank hit or destroyed) is
// added to `cues`, when given.
void update_shell(GameWorld& world, Surface& picture, RandomSource& random,
                  bool fire_tapped = false, Cues* cues = nullptr);
