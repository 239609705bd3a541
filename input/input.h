// The battle's keyboard and mouse handlers. They only record input in the
// world, which the next tick reads, or switch the battle's timer and the two
// small windows, or clear the picture; they never act inside a tick.
#pragma once

#include <cstdint>

#include "base/world.h"
#include "drawing/surface.h"
#include "input/controls.h"
#include "input/keys.h"

// A left press holds the fire button.
void on_mouse_down(GameWorld& world, MouseButton button, std::int16_t shift, float x, float y);
// Records the pointer position, rounded to whole units (ties to even).
void on_mouse_move(GameWorld& world, MouseButton held, std::int16_t shift, float x, float y);
// Any release lets go of the fire button; a right release while the player's
// tank is dead sends every tank after the living tank under the pointer.
void on_mouse_up(GameWorld& world, MouseButton button, std::int16_t shift, float x, float y);
// Esc: the result window; p or P: pause or resume; Enter: clear the picture.
void on_key_press(GameWorld& world, Controls& controls, Surface& picture, CharCode character);
// Arrows: hold; F1: the help window.
void on_key_down(GameWorld& world, Controls& controls, KeyCode key, std::int16_t shift);
// Arrows: let go.
void on_key_up(GameWorld& world, KeyCode key, std::int16_t shift);
