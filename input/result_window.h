// What the result window does: the Esc key of the battle and its three
// buttons. The window itself only shows the two numbers and the buttons.
#pragma once

#include "base/world.h"
#include "input/controls.h"

// What the result window says, in every front end.
inline constexpr const char* RESULT_TITLE = "Result";
inline constexpr const char* WINS_CAPTION = "Wins:";
inline constexpr const char* LOSSES_CAPTION = "Losses:";
inline constexpr const char* QUIT_TEXT = "Quit";
inline constexpr const char* BACK_TEXT = "Back";
inline constexpr const char* NEXT_LEVEL_TEXT = "Next level";

// Shows the score and pauses, or closes the window and resumes if it is open.
void on_esc_key(GameWorld& world, Controls& controls);
// "Quit": ends the program.
void on_quit_click(Controls& controls);
// "Back": resumes the battle.
void on_back_click(Controls& controls);
// "Next level": gives up the level and resumes; the next tick takes the request.
void on_next_level_click(Controls& controls);
