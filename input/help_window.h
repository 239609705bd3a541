// What the help window does: the F1 key of the battle and its button.
#pragma once

#include "base/world.h"
#include "input/controls.h"

// What the help window says, in every front end.
inline constexpr const char* HELP_TITLE = "Help";
inline constexpr const char* HELP_LINES[] = {
    "Esc quits the game and show the score.",
    "Enter redraws the screen.",
    "Move your tank using the arrow keys.",
    "Fire using the left mouse button.",
    "When there are no tanks left slow down until you stop.",
};
inline constexpr const char* CLOSE_TEXT = "Close";
// What the game added since, each on a line of its own below the help.
inline constexpr const char* SOUND_HELP_LINE = "m turns the sound off and on.";
inline constexpr const char* REWIND_HELP_LINE = "Backspace goes back ten seconds; Enter plays on.";
inline constexpr const char* VIBRATION_HELP_LINE =
    "v turns a pad's or a phone's rumble off and on.";
// A pad's layout.
inline constexpr const char* PAD_HELP_LINES[] = {
    "Pad: left stick drives, right stick aims, A or RT fires,",
    "Start: score, Back: help, Y: Enter, LT: every tank at it.",
};

// Shows the help and pauses, or closes it and resumes if it is open.
void on_f1_key(GameWorld& world, Controls& controls);
// "Close": closes the help and resumes.
void on_close_click(Controls& controls);
