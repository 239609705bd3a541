#include "drawing/tank_drawing.h"

#include "base/maths.h"

namespace {

constexpr double DEG30 = 0.5235987755982989;
constexpr double DEG150 = 2.617993877991495;
constexpr double DEG210 = 3.6651914291880927;
constexpr float TURRET_RADIUS = 5;
constexpr double BARREL_START = 5;
constexpr double BARREL_END = 15;
constexpr double HULL_CORNER = 15;  // corners lie on this circle about the centre
constexpr double CHEVRON_ARM = 6;
constexpr double CHEVRON_TIP = 13;

struct Point {
    float x, y;
};

// The point at distance d from (x, y) along heading a, handed over in single.
Point at(double x, double y, double a, double d) {
    return {static_cast<float>(x + d * sine(a)), static_cast<float>(y + d * cosine(a))};
}

}  // namespace

void draw_tank(Surface& p, const double& x, const double& y, const float& hull, const float& turret,
               std::int16_t red, std::int16_t green, std::int16_t blue) {
    const double h = hull, t = turret;
    const ColourValue colour = make_colour(red, green, blue);

    surface_circle(p, static_cast<float>(x), static_cast<float>(y), TURRET_RADIUS, colour);

    const Point barrel_from = at(x, y, t, BARREL_START), barrel_to = at(x, y, t, BARREL_END);
    surface_line(p, barrel_from.x, barrel_from.y, barrel_to.x, barrel_to.y, colour);

    const Point front_left = at(x, y, h + DEG30, HULL_CORNER);
    const Point front_right = at(x, y, h - DEG30, HULL_CORNER);
    surface_line(p, front_left.x, front_left.y, front_right.x, front_right.y, colour);
    const Point rear_right = at(x, y, h + DEG210, HULL_CORNER);
    surface_line_on(p, rear_right.x, rear_right.y, colour);
    const Point rear_left = at(x, y, h + DEG150, HULL_CORNER);
    surface_line_on(p, rear_left.x, rear_left.y, colour);
    surface_line_on(p, front_left.x, front_left.y, colour);  // closes the outline

    const Point arm_from = at(x, y, h + HALF_PI, CHEVRON_ARM), tip = at(x, y, h, CHEVRON_TIP);
    surface_line(p, arm_from.x, arm_from.y, tip.x, tip.y, colour);
    const Point arm_to = at(x, y, h - HALF_PI, CHEVRON_ARM);
    surface_line_on(p, arm_to.x, arm_to.y, colour);
}

void draw_slot(Surface& p, const GameWorld& w, std::size_t i, std::int16_t red, std::int16_t green,
               std::int16_t blue) {
    draw_tank(p, w.tank_x[i], w.tank_y[i], w.tank_dir[i], w.turret_dir[i], red, green, blue);
}
