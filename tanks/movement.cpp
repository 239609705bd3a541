#include "tanks/movement.h"

#include <cmath>

#include "base/checked.h"
#include "base/maths.h"
#include "base/numeric.h"
#include "tanks/steering.h"

namespace {

constexpr double HULL_STEP = 0.05;     // radians per tick
constexpr double TURRET_STEP = 0.08;   // radians per tick
constexpr double NEAR_DISTANCE = 100;  // at or below it a tank turns away from its target
constexpr float EDGE_SPEED = 3;        // a tank leaves an edge at this speed

void turn_player(GameWorld& w, float bearing) {
    if (w.key_left != 0) add_rounded(w.tank_dir[0], HULL_STEP);
    if (w.key_right != 0) add_rounded(w.tank_dir[0], -HULL_STEP);
    w.turret_dir[0] = bearing;
}

// The turret swings toward the target at a limited rate and snaps onto it
// from within one step.
void turn_turret(GameWorld& w, std::size_t i, float bearing) {
    const double e = w.turret_delta;
    if (e < -TURRET_STEP) {
        add_rounded(w.turret_dir[i], TURRET_STEP);
    } else if (e < 0) {
        w.turret_dir[i] = bearing;
    } else if (e > TURRET_STEP) {
        add_rounded(w.turret_dir[i], -TURRET_STEP);
    } else if (e > 0) {
        w.turret_dir[i] = bearing;
    }
}

// Toward a far target once the turret is on it, otherwise away from it.
void turn_hull(GameWorld& w, std::size_t i, float bearing) {
    const double h = w.hull_delta;
    if (w.aim_dist > NEAR_DISTANCE && w.turret_dir[i] == bearing) {
        if (h < -HULL_STEP) {
            add_rounded(w.tank_dir[i], HULL_STEP);
        } else if (h < 0) {
            w.tank_dir[i] = w.turret_dir[i];
        } else if (h > HULL_STEP) {
            add_rounded(w.tank_dir[i], -HULL_STEP);
        } else if (h > 0) {
            w.tank_dir[i] = w.turret_dir[i];
        }
    } else if (h < 0) {
        add_rounded(w.tank_dir[i], -HULL_STEP);
    } else if (h > 0) {
        add_rounded(w.tank_dir[i], HULL_STEP);
    }
}

void drive(GameWorld& w, std::size_t i) {
    const double speed = w.tank_speed[i];
    const double heading = w.tank_dir[i];
    w.tank_x[i] = w.tank_x[i] + speed * sine(heading);
    w.tank_y[i] = w.tank_y[i] + speed * cosine(heading);
}

// A tank past an edge is put back on it, facing straight in, at edge speed.
void keep_inside(GameWorld& w, const Surface& picture, std::size_t i) {
    const auto bounce = [&](double& coordinate, double edge, double heading) {
        coordinate = edge;
        w.tank_dir[i] = static_cast<float>(heading);
        w.tank_speed[i] = EDGE_SPEED;
    };
    const auto area_width = static_cast<float>(picture.area_width);
    const auto area_height = static_cast<float>(picture.area_height);
    if (w.tank_x[i] < 0) bounce(w.tank_x[i], 0, HALF_PI);
    if (static_cast<float>(w.tank_x[i]) > area_width)
        bounce(w.tank_x[i], area_width, THREE_HALVES_PI);
    if (w.tank_y[i] < 0) bounce(w.tank_y[i], 0, 0);
    if (static_cast<float>(w.tank_y[i]) > area_height) bounce(w.tank_y[i], area_height, PI);
}

}  // namespace

void move_tank(GameWorld& w, const Surface& picture) {
    const std::size_t i = slot(w.cur_tank);
    const float bearing = static_cast<float>(w.aim_angle);
    if (i == 0) {
        turn_player(w, bearing);
    } else {
        if (has_valid_target(w, i)) turn_turret(w, i, bearing);
        turn_hull(w, i, bearing);
    }
    drive(w, i);
    keep_inside(w, picture, i);
}
