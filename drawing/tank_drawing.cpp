#include "drawing/tank_drawing.h"

#include <array>

#include "base/bits.h"
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

// How far along heading a a point d from a place lies: d sin a, d cos a.
struct Offset {
    double x, y;
};

Offset offset(double a, double d) {
    return {d * sine(a), d * cosine(a)};
}

// The point at an offset from (x, y), handed over in single.
Point at(double x, double y, Offset o) {
    return {static_cast<float>(x + o.x), static_cast<float>(y + o.y)};
}

// A hull's corners and chevron, and a turret's barrel, about the tank's
// centre. A tank is drawn at its heading again and again (erased where it
// was drawn, and in black and blue alike, and most ticks without turning),
// so the offsets of the headings last seen are kept, a few hundred at a
// time: each heading costs its sines once.
struct HullOffsets {
    float heading = 0;
    bool known = false;
    Offset front_left, front_right, rear_right, rear_left, arm_from, tip, arm_to;
};

struct TurretOffsets {
    float heading = 0;
    bool known = false;
    Offset barrel_from, barrel_to;
};

constexpr std::size_t HEADINGS_KEPT = 256;
thread_local std::array<HullOffsets, HEADINGS_KEPT> hulls;
thread_local std::array<TurretOffsets, HEADINGS_KEPT> turrets;

// Where a heading is kept, and whether it is the one kept there.
template <typename Offsets>
bool look_up(std::array<Offsets, HEADINGS_KEPT>& kept, float heading, Offsets*& at) {
    const std::uint32_t bits = bits_as<std::uint32_t>(heading);
    at = &kept[(bits ^ (bits >> 11) ^ (bits >> 22)) % HEADINGS_KEPT];
    return at->known && bits_as<std::uint32_t>(at->heading) == bits;
}

const HullOffsets& hull_offsets(float hull) {
    HullOffsets* kept = nullptr;
    if (look_up(hulls, hull, kept)) return *kept;
    const double h = hull;
    *kept = {hull,
             true,
             offset(h + DEG30, HULL_CORNER),
             offset(h - DEG30, HULL_CORNER),
             offset(h + DEG210, HULL_CORNER),
             offset(h + DEG150, HULL_CORNER),
             offset(h + HALF_PI, CHEVRON_ARM),
             offset(h, CHEVRON_TIP),
             offset(h - HALF_PI, CHEVRON_ARM)};
    return *kept;
}

const TurretOffsets& turret_offsets(float turret) {
    TurretOffsets* kept = nullptr;
    if (look_up(turrets, turret, kept)) return *kept;
    const double t = turret;
    *kept = {turret, true, offset(t, BARREL_START), offset(t, BARREL_END)};
    return *kept;
}

}  // namespace

void draw_tank(Surface& p, const double& x, const double& y, const float& hull, const float& turret,
               std::int16_t red, std::int16_t green, std::int16_t blue) {
    const ColourValue colour = make_colour(red, green, blue);
    const TurretOffsets& t = turret_offsets(turret);
    const HullOffsets& h = hull_offsets(hull);

    surface_circle(p, static_cast<float>(x), static_cast<float>(y), TURRET_RADIUS, colour);
    const Point barrel_from = at(x, y, t.barrel_from), barrel_to = at(x, y, t.barrel_to);
    surface_line(p, barrel_from.x, barrel_from.y, barrel_to.x, barrel_to.y, colour);

    const Point front_left = at(x, y, h.front_left), front_right = at(x, y, h.front_right);
    surface_line(p, front_left.x, front_left.y, front_right.x, front_right.y, colour);
    const Point rear_right = at(x, y, h.rear_right);
    surface_line_on(p, rear_right.x, rear_right.y, colour);
    const Point rear_left = at(x, y, h.rear_left);
    surface_line_on(p, rear_left.x, rear_left.y, colour);
    surface_line_on(p, front_left.x, front_left.y, colour);  // closes the outline

    const Point arm_from = at(x, y, h.arm_from), tip = at(x, y, h.tip);
    surface_line(p, arm_from.x, arm_from.y, tip.x, tip.y, colour);
    const Point arm_to = at(x, y, h.arm_to);
    surface_line_on(p, arm_to.x, arm_to.y, colour);
}

void draw_slot(Surface& p, const GameWorld& w, std::size_t i, std::int16_t red, std::int16_t green,
               std::int16_t blue) {
    draw_tank(p, w.tank_x[i], w.tank_y[i], w.tank_dir[i], w.turret_dir[i], red, green, blue);
}
