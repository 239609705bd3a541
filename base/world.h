// The whole state of the battle in one plain record, and the constants that
// several modules share.
//
// Who writes what:
//   - level set-up (battle/level) places tanks and keeps the score;
//   - steering (tanks/steering) writes targets, speeds and the four aiming values;
//   - movement (tanks/movement) writes positions, headings and, at an edge, speeds;
//   - shells (shells/) own the shell tables and, on a hit, the hit tank's state;
//   - the tick (battle/tick) writes the slot counter and the living-tank tally;
//   - the input handlers (input/) write the key flags, the fire button, the mouse
//     position and, with the right button, every tank's target.
// Everything runs on one thread, one handler at a time, so no field is locked.
//
// A few fields double as working space: cur_tank, scan_idx and burst_idx are
// the loop counters of the tick, the level set-up, the hit scan, the bursts and
// the right button, and turret_delta and hull_delta hold each burst line's
// angle and length. They stay in the world rather than in locals because the
// values they are left with are part of the battle's state, as quenmar-sim's
// trace shows it and as a repeated battle must reproduce it.
#pragma once

#include <array>
#include <cstdint>

constexpr std::int16_t MAX_SLOT = 50;  // highest slot index; slot 0 is the player
constexpr std::size_t SLOT_COUNT = MAX_SLOT + 1;
constexpr std::int16_t MAX_LEVEL = 50;  // the level number stops growing here
constexpr std::int16_t START_HP = 2;    // hit points of a freshly placed tank
constexpr float TOP_SPEED = 3;          // drawing units a tick: the fastest a tank drives
constexpr std::int16_t TRUE_FLAG = -1;  // 16-bit boolean true
constexpr std::int16_t FALSE_FLAG = 0;  // 16-bit boolean false
constexpr double DEG2RAD = 0.0174532925199433;
constexpr double DEGREES_PER_TURN = 360;
// The game's own pi and its multiples, not M_PI: each lies an ulp or two above
// the exact value (pi itself two), and the battle's headings, bearings and
// edge turns, to the bit, depend on those ulps.
constexpr double PI = 3.141592653589794;
constexpr double HALF_PI = 1.570796326794897;
constexpr double THREE_HALVES_PI = 4.712388980384691;
constexpr double TWO_PI = 6.283185307179588;

template <typename T>
using SlotTable = std::array<T, SLOT_COUNT>;

struct GameWorld {
    SlotTable<double> tank_x{};             // centre x, drawing units, 0..the area's width
    SlotTable<double> tank_y{};             // centre y, drawing units, 0..the area's height
    SlotTable<float> tank_dir{};            // hull heading, radians, never reduced to one turn
    SlotTable<float> turret_dir{};          // turret heading, radians
    SlotTable<std::int16_t> tank_hp{};      // 0, 1 or 2; alive while above 0
    SlotTable<float> tank_speed{};          // drawing units per tick, 0..3
    SlotTable<std::int16_t> tank_target{};  // slot this tank attacks, 0..50
    SlotTable<double> shell_x{};            // shell position, drawing units
    SlotTable<double> shell_y{};
    SlotTable<float> shell_dir{};           // flight heading, the turret heading at firing
    SlotTable<std::int16_t> shell_state{};  // 0 ready, 1 burst due, 2..25 flying (step length)
    std::int16_t cur_tank = 0;     // slot being processed, 0..51; the per-slot procedures read it
    std::int16_t scan_idx = 0;     // second loop counter: burst lines, hit scan, right button
    std::int16_t burst_idx = 0;    // loop counter of a hit burst's lines, 0..21
    std::int16_t alive_count = 0;  // living slots counted so far in this tick
    float last_alive_speed = 0;    // speed of the last living slot counted in this tick
    double turret_delta = 0;       // turret heading minus aim_angle, wrapped toward [-pi, pi]
    double hull_delta = 0;         // hull heading minus aim_angle, wrapped the same way
    double aim_angle = 0;  // bearing from the current tank to its target (slot 0: the mouse)
    double aim_dist = 0;   // distance from the current tank to its target (slot 0: the mouse)
    std::int16_t fire_held = FALSE_FLAG;  // left mouse button held; true is exactly -1
    std::int16_t mouse_x = 0;             // last pointer position, whole drawing units
    std::int16_t mouse_y = 0;
    std::int16_t level = 0;            // current level = number of enemy tanks, 0..50
    std::int16_t wins = 0;             // levels ended with the player's tank alive
    std::int16_t losses = 0;           // levels ended with it dead, the set-up at start included
    std::int16_t key_up = FALSE_FLAG;  // arrow keys held; any non-zero value counts
    std::int16_t key_down = FALSE_FLAG;
    std::int16_t key_right = FALSE_FLAG;
    std::int16_t key_left = FALSE_FLAG;
};
