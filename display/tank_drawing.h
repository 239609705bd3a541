// The picture of one tank: turret circle, barrel, hull outline and heading
// chevron, all in one colour. Drawing it again in white erases it.
#pragma once

#include <cstdint>

#include "display/platform.h"

// Draws the tank centred at (x, y) with hull heading `hull` and turret heading
// `turret`; the callers pass one slot's own table entries.
void draw_tank(Platform& platform, const double& x, const double& y, const float& hull,
               const float& turret, std::int16_t red, std::int16_t green, std::int16_t blue);
