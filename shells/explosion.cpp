#include "shells/explosion.h"

#include <cmath>

#include "base/checked.h"
#include "base/maths.h"
#include "base/numeric.h"

namespace {

constexpr std::int16_t SHELL_BURST_LINES = 11;
constexpr std::int16_t HIT_BURST_LINES = 21;
constexpr double SHELL_BURST_REACH = 10;  // line lengths lie in [0, reach)
constexpr double HIT_BURST_REACH = 20;
constexpr double SHADE_RANGE = 155;  // colour parts lie in 100..254
constexpr double SHADE_BASE = 100;

std::int16_t random_shade(RandomSource& random) {
    return to_int16(std::floor(static_cast<double>(random_next(random)) * SHADE_RANGE + SHADE_BASE),
                    "burst colour");
}

// One line from (x, y) at the angle and of the length given, which the world
// keeps in turret_delta and hull_delta.
void spray_line(GameWorld& w, Surface& picture, double x, double y, double angle, double length,
                ColourValue colour) {
    w.turret_delta = angle;
    w.hull_delta = length;
    surface_line(picture, static_cast<float>(x), static_cast<float>(y),
                 static_cast<float>(x + length * sine(angle)),
                 static_cast<float>(y + length * cosine(angle)), colour);
}

}  // namespace

void shell_burst(GameWorld& w, Surface& picture, RandomSource& random, double x, double y) {
    for (w.scan_idx = 0; w.scan_idx < SHELL_BURST_LINES; ++w.scan_idx) {
        const double angle = heading_of(random_next(random));
        const double length = static_cast<double>(random_next(random)) * SHELL_BURST_REACH;
        const std::int16_t red = random_shade(random);
        const std::int16_t green = random_shade(random);
        spray_line(w, picture, x, y, angle, length, make_colour(red, green, 0));
    }
}

void hit_burst(GameWorld& w, Surface& picture, RandomSource& random, double x, double y) {
    for (w.burst_idx = 0; w.burst_idx < HIT_BURST_LINES; ++w.burst_idx) {
        const double angle = heading_of(random_next(random));
        const double length = static_cast<double>(random_next(random)) * HIT_BURST_REACH;
        const std::int16_t red = random_shade(random);
        spray_line(w, picture, x, y, angle, length, make_colour(red, 0, 0));
    }
}
