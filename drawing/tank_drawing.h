// The picture of one tank: turret circle, barrel, hull outline and heading
// chevron, all in one colour. Drawing it again in white erases it.
#pragma once

#include <cstdint>

#include "base/world.h"
#include "drawing/surface.h"

// Colour components of the tank pictures: white erases a tank, grey shows a
// hit tank or a survivor at the end of a level.
constexpr std::int16_t ERASE_WHITE = 255;
constexpr std::int16_t HIT_GREY = 200;

// Draws the tank centred at (x, y) with hull heading `hull` and turret heading
// `turret`; the callers pass one slot's own table entries.
void draw_tank(Surface& picture, const double& x, const double& y, const float& hull,
               const float& turret, std::int16_t red, std::int16_t green, std::int16_t blue);

// Draws the tank of slot `i` at its own place and headings.
void draw_slot(Surface& picture, const GameWorld& world, std::size_t i, std::int16_t red,
               std::int16_t green, std::int16_t blue);
