// The decision step of one slot: target, bearing and distance, heading
// differences and speed. Turns nothing and moves nothing.
#pragma once

#include "base/random_source.h"
#include "base/world.h"

// Whether tank i's target is another tank that is alive.
bool has_valid_target(const GameWorld& world, std::size_t i);

// Steers slot cur_tank, living or dead; leaves aim_angle, aim_dist,
// turret_delta and hull_delta for the same slot's movement and shell.
void steer_tank(GameWorld& world, RandomSource& random);
