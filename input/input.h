// The main window's keyboard and mouse handlers. They only record input in
// the world, which the next tick reads, or switch the timer and the two small
// windows; they never act inside a tick.
#pragma once

#include <cstdint>

#include "base/platform.h"
#include "base/world.h"
#include "input/keys.h"

// A left press holds the fire button.
void on_mouse_down(GameWorld& world, Platform& platform, std::int16_t button, std::int16_t shift,
                   float x, float y);
// Records the pointer position, rounded to whole units (ties to even).
void on_mouse_move(GameWorld& world, Platform& platform, std::int16_t button, std::int16_t shift,
                   float x, float y);
// Any release lets go of the fire button; a right release while the player's
// tank is dead sends every tank after the living tank under the pointer.
void on_mouse_up(GameWorld& world, Platform& platform, std::int16_t button, std::int16_t shift,
                 float x, float y);
// Esc: the result window; p or P: pause or resume; Enter: clear the surface.
void on_key_press(GameWorld& world, Platform& platform, std::int16_t char_code);
// Arrows: hold; F1: the help window.
void on_key_down(GameWorld& world, Platform& platform, std::int16_t key_code, std::int16_t shift);
// Arrows: let go.
void on_key_up(GameWorld& world, Platform& platform, std::int16_t key_code, std::int16_t shift);
