#include "tanks/steering.h"

#include <cmath>

#include "base/checked.h"
#include "base/maths.h"
#include "base/numeric.h"

namespace {

constexpr double SPEED_STEP = 0.08;  // a computer tank's and the Up key's change per tick
constexpr double COAST_STEP = 0.04;  // the player's slow-down without the Up key
constexpr double BRAKE_DISTANCE = 100;
constexpr float CRUISE_SPEED = 1;  // computer tanks gather speed up to about here

// Draws a new target when the current one is the tank itself or dead.
void check_target(GameWorld& w, RandomSource& random, std::size_t i) {
    const std::int16_t target = w.tank_target[i];
    if (target == w.cur_tank || w.tank_hp[slot(target)] == 0) {
        w.tank_target[i] = to_int16(
            std::floor(static_cast<double>(random_next(random)) * SLOT_COUNT), "tank_target");
    }
}

// A difference of headings brought back toward [-pi, pi], once each way at most.
double wrapped(double delta) {
    if (delta < -PI) delta += TWO_PI;
    if (delta > PI) delta -= TWO_PI;
    return delta;
}

// Bearing, distance and heading differences from tank i to its target, or
// for the player to the mouse.
void measure_aim(GameWorld& w, std::size_t i) {
    const std::size_t t = slot(w.tank_target[i]);
    const double dx =
        i == 0 ? static_cast<double>(w.mouse_x) - w.tank_x[0] : w.tank_x[t] - w.tank_x[i];
    const double dy =
        i == 0 ? static_cast<double>(w.mouse_y) - w.tank_y[0] : w.tank_y[t] - w.tank_y[i];
    w.aim_dist = std::sqrt(dx * dx + dy * dy);
    w.aim_angle = HALF_PI;
    if (dy != 0) w.aim_angle = arctangent(dx / dy);
    if (dy < 0) w.aim_angle -= PI;
    w.turret_delta = wrapped(static_cast<double>(w.turret_dir[i]) - w.aim_angle);
    w.hull_delta = wrapped(static_cast<double>(w.tank_dir[i]) - w.aim_angle);
}

void player_speed(GameWorld& w) {
    float& speed = w.tank_speed[0];
    add_rounded(speed, w.key_up != 0 ? SPEED_STEP : -COAST_STEP);
    if (speed > 0 && w.key_down != 0) add_rounded(speed, -SPEED_STEP);
    if (speed < 0) speed = 0;
}

void computer_speed(GameWorld& w, std::size_t i) {
    float& speed = w.tank_speed[i];
    if (!has_valid_target(w, i)) {
        if (speed > 0) add_rounded(speed, -SPEED_STEP);
        if (speed < 0) speed = 0;
    } else if (w.aim_dist < BRAKE_DISTANCE && speed > CRUISE_SPEED) {
        add_rounded(speed, -SPEED_STEP);
    } else if (w.turret_dir[i] == static_cast<float>(w.aim_angle) && speed < TOP_SPEED) {
        add_rounded(speed, SPEED_STEP);
    } else if (speed < CRUISE_SPEED) {
        add_rounded(speed, SPEED_STEP);
    }
}

}  // namespace

bool has_valid_target(const GameWorld& w, std::size_t i) {
    const std::size_t t = slot(w.tank_target[i]);
    return t != i && w.tank_hp[t] > 0;
}

void steer_tank(GameWorld& w, RandomSource& random) {
    const std::size_t i = slot(w.cur_tank);
    check_target(w, random, i);
    measure_aim(w, i);
    if (i == 0) {
        player_speed(w);
    } else {
        computer_speed(w, i);
    }
    if (w.tank_speed[i] > TOP_SPEED) add_rounded(w.tank_speed[i], -SPEED_STEP);
}
