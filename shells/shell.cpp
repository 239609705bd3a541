#include "shells/shell.h"

#include <cmath>

#include "base/checked.h"
#include "base/maths.h"
#include "base/numeric.h"
#include "drawing/tank_drawing.h"
#include "shells/explosion.h"

namespace {

constexpr std::int16_t BURST_DUE = 1;
constexpr std::int16_t MIN_START = 10;  // start value limits: flight steps of the shell
constexpr std::int16_t MAX_START = 25;
constexpr double MIN_FIRING_DISTANCE = 50;  // an enemy fires strictly between these
constexpr double MAX_FIRING_DISTANCE = 300;
constexpr double RANGE_FACTOR = 0.7;  // start value floor(0.7 * d^0.6 + 3)
constexpr double RANGE_EXPONENT = 0.6;
constexpr double RANGE_OFFSET = 3;
constexpr double AIM_ERROR_SPREAD = 7;  // an enemy's error floor(7 r) - 3: -3..+3
constexpr double AIM_ERROR_OFFSET = 3;
constexpr double HIT_REACH = 20;  // half width of the hit box about the burst
constexpr float SHELL_RADIUS = 1;
constexpr std::int16_t TRAIL_RED = 255, TRAIL_GREEN = 225,
                       TRAIL_BLUE = 225;  // pale dot left behind
constexpr std::int16_t HEAD_RED = 200;    // the shell itself, pure red

bool ready_to_fire(const GameWorld& w, std::size_t i, bool fire_tapped) {
    if (i == 0) return w.fire_held == TRUE_FLAG || (fire_tapped && w.tank_hp[0] > 0);
    return w.aim_dist > MIN_FIRING_DISTANCE && w.aim_dist < MAX_FIRING_DISTANCE &&
           w.turret_dir[i] == static_cast<float>(w.aim_angle) &&
           w.tank_hp[slot(w.tank_target[i])] >= 1;
}

// A cue at a place of the world, when cues are kept.
void say(Cues* cues, CueKind kind, double x, double y) {
    if (cues != nullptr) cues->push_back({kind, static_cast<float>(x), static_cast<float>(y)});
}

void fire(GameWorld& w, RandomSource& random, std::size_t i, bool fire_tapped, Cues* cues) {
    if (!ready_to_fire(w, i, fire_tapped)) return;
    w.shell_x[i] = w.tank_x[i];
    w.shell_y[i] = w.tank_y[i];
    w.shell_dir[i] = w.turret_dir[i];
    const double base = std::floor(RANGE_FACTOR * power(w.aim_dist, RANGE_EXPONENT) + RANGE_OFFSET);
    double start = base;
    if (i > 0) {
        start = std::floor(AIM_ERROR_SPREAD * static_cast<double>(random_next(random))) + base -
                AIM_ERROR_OFFSET;
    }
    if (start > MAX_START) start = MAX_START;
    if (start < MIN_START) start = MIN_START;
    w.shell_state[i] = to_int16(start, "shell_state");
    say(cues, i == 0 ? CueKind::PlayerShot : CueKind::EnemyShot, w.tank_x[i], w.tank_y[i]);
}

void fly(GameWorld& w, Surface& picture, std::size_t i) {
    const std::int16_t step = w.shell_state[i];
    surface_circle(picture, static_cast<float>(w.shell_x[i]), static_cast<float>(w.shell_y[i]),
                   SHELL_RADIUS, make_colour(TRAIL_RED, TRAIL_GREEN, TRAIL_BLUE));
    const double heading = w.shell_dir[i];
    w.shell_x[i] = w.shell_x[i] + step * sine(heading);
    w.shell_y[i] = w.shell_y[i] + step * cosine(heading);
    surface_circle(picture, static_cast<float>(w.shell_x[i]), static_cast<float>(w.shell_y[i]),
                   SHELL_RADIUS, make_colour(HEAD_RED, 0, 0));
    w.shell_state[i] = static_cast<std::int16_t>(step - 1);
}

// A hit tank loses a point, is erased, spun, stopped, redrawn grey and sprayed.
void hit(GameWorld& w, Surface& picture, RandomSource& random, std::size_t j, double x, double y,
         Cues* cues) {
    add_checked(w.tank_hp[j], -1, "tank_hp");
    const CueKind heard = w.tank_hp[j] > 0 ? CueKind::Hit
                          : j == 0         ? CueKind::PlayerDestroyed
                                           : CueKind::Destroyed;
    say(cues, heard, w.tank_x[j], w.tank_y[j]);
    draw_slot(picture, w, j, ERASE_WHITE, ERASE_WHITE, ERASE_WHITE);
    w.tank_dir[j] = static_cast<float>(heading_of(random_next(random)));
    w.turret_dir[j] = static_cast<float>(heading_of(random_next(random)));
    w.tank_speed[j] = 0;
    draw_slot(picture, w, j, HIT_GREY, HIT_GREY, HIT_GREY);
    hit_burst(w, picture, random, x, y);
}

void burst(GameWorld& w, Surface& picture, RandomSource& random, std::size_t i, Cues* cues) {
    w.shell_state[i] = 0;
    const double x = w.shell_x[i], y = w.shell_y[i];
    say(cues, CueKind::Burst, x, y);
    shell_burst(w, picture, random, x, y);
    for (w.scan_idx = 0; w.scan_idx <= MAX_SLOT; ++w.scan_idx) {
        const std::size_t j = slot(w.scan_idx);
        if (w.tank_hp[j] >= 1 && x - HIT_REACH < w.tank_x[j] && w.tank_x[j] < x + HIT_REACH &&
            y - HIT_REACH < w.tank_y[j] && w.tank_y[j] < y + HIT_REACH) {
            hit(w, picture, random, j, x, y, cues);
        }
    }
}

}  // namespace

void update_shell(GameWorld& w, Surface& picture, RandomSource& random, bool fire_tapped,
                  Cues* cues) {
    const std::size_t i = slot(w.cur_tank);
    const std::int16_t state = w.shell_state[i];
    if (state == BURST_DUE) {
        burst(w, picture, random, i, cues);
    } else if (state > BURST_DUE) {
        fly(w, picture, i);
    } else {
        fire(w, random, i, fire_tapped, cues);
    }
}
