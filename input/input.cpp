#include "input/input.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "base/checked.h"
#include "input/help_window.h"
#include "input/result_window.h"

namespace {

constexpr double POINTER_REACH = 20;  // half width of the right button's box

// The flag an arrow key holds, or none for any other key.
std::int16_t* arrow_flag(GameWorld& w, KeyCode key) {
    switch (key) {
        case KeyCode::Left:
            return &w.key_left;
        case KeyCode::Up:
            return &w.key_up;
        case KeyCode::Right:
            return &w.key_right;
        case KeyCode::Down:
            return &w.key_down;
        default:
            return nullptr;
    }
}

// A pointer coordinate in whole units. A position beyond the 16-bit range (a
// drag far outside the window) is held at the range's end rather than
// stopping the game.
std::int16_t pointer_units(float v, const char* name) {
    constexpr double low = std::numeric_limits<std::int16_t>::min();
    constexpr double high = std::numeric_limits<std::int16_t>::max();
    const double rounded = std::nearbyint(static_cast<double>(v));
    return to_int16(std::isnan(rounded) ? rounded : std::clamp(rounded, low, high), name);
}

// The strict box test of the right button, every value in single precision.
bool within_reach(double tank, float pointer) {
    const float t = static_cast<float>(tank);
    return static_cast<float>(pointer - POINTER_REACH) < t &&
           t < static_cast<float>(pointer + POINTER_REACH);
}

void send_everyone_after_pointed_tank(GameWorld& w, float x, float y) {
    for (w.scan_idx = 0; w.scan_idx <= MAX_SLOT; ++w.scan_idx) {
        const std::size_t j = slot(w.scan_idx);
        if (w.tank_hp[0] == 0 && w.tank_hp[j] > 0 && within_reach(w.tank_x[j], x) &&
            within_reach(w.tank_y[j], y)) {
            for (w.cur_tank = 0; w.cur_tank <= MAX_SLOT; ++w.cur_tank) {
                w.tank_target[slot(w.cur_tank)] = w.scan_idx;
            }
        }
    }
}

}  // namespace

void on_mouse_down(GameWorld& w, MouseButton button, std::int16_t, float, float) {
    if (button == MouseButton::Left) w.fire_held = TRUE_FLAG;
}

void on_mouse_move(GameWorld& w, MouseButton, std::int16_t, float x, float y) {
    w.mouse_x = pointer_units(x, "mouse_x");
    w.mouse_y = pointer_units(y, "mouse_y");
}

void on_mouse_up(GameWorld& w, MouseButton button, std::int16_t, float x, float y) {
    w.fire_held = FALSE_FLAG;
    if (button == MouseButton::Right) send_everyone_after_pointed_tank(w, x, y);
}

void on_key_press(GameWorld& w, Controls& c, Surface& picture, CharCode character) {
    switch (character) {
        case CharCode::Esc:
            on_esc_key(w, c);
            break;
        case CharCode::LowerP:
        case CharCode::UpperP:
            c.battle_timer_running = !c.battle_timer_running;
            break;
        case CharCode::Enter:
            surface_clear(picture);
            break;
        default:
            break;
    }
}

void on_key_down(GameWorld& w, Controls& c, KeyCode key, std::int16_t) {
    if (std::int16_t* flag = arrow_flag(w, key)) *flag = TRUE_FLAG;
    if (key == KeyCode::F1) on_f1_key(w, c);
}

void on_key_up(GameWorld& w, KeyCode key, std::int16_t) {
    if (std::int16_t* flag = arrow_flag(w, key)) *flag = FALSE_FLAG;
}
