// The key, character and button codes the game's handlers know, each of its
// own type, and letting go of the arrow keys, which both small windows do
// when they open.
#pragma once

#include <cstdint>

#include "base/world.h"

// Key codes of key down and key up; any other code is ignored.
enum class KeyCode : std::int16_t { Left = 37, Up = 38, Right = 39, Down = 40, F1 = 112 };

// Character codes of key press; any other code is ignored.
enum class CharCode : std::int16_t { Enter = 13, Esc = 27, UpperP = 80, LowerP = 112 };

// Mouse buttons. A press or release carries one; a move the buttons held, added up.
enum class MouseButton : std::int16_t { None = 0, Left = 1, Right = 2, Middle = 4 };

// Releases all four arrow keys.
void release_arrow_keys(GameWorld& world);
