// The key, character and button codes the game's handlers know, and letting
// go of the arrow keys, which both small windows do when they open.
#pragma once

#include <cstdint>

#include "base/world.h"

// Key codes of key down and key up.
constexpr std::int16_t KEY_LEFT = 37;
constexpr std::int16_t KEY_UP = 38;
constexpr std::int16_t KEY_RIGHT = 39;
constexpr std::int16_t KEY_DOWN = 40;
constexpr std::int16_t KEY_F1 = 112;
// Character codes of key press.
constexpr std::int16_t CHAR_ENTER = 13;
constexpr std::int16_t CHAR_ESC = 27;
constexpr std::int16_t CHAR_UPPER_P = 80;
constexpr std::int16_t CHAR_LOWER_P = 112;
// Mouse buttons; a move carries the buttons held, added up.
constexpr std::int16_t BUTTON_LEFT = 1;
constexpr std::int16_t BUTTON_RIGHT = 2;
constexpr std::int16_t BUTTON_MIDDLE = 4;

// Releases all four arrow keys.
void release_arrow_keys(GameWorld& world);
