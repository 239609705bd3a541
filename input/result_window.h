// What the result window does: the Esc key of the main window and its three
// buttons. The window itself only shows the two numbers and the buttons.
#pragma once

#include "base/platform.h"
#include "base/world.h"

// Shows the score and pauses, or hides the window and resumes if it is shown.
void on_esc_key(GameWorld& world, Platform& platform);
// "Quit" (btn_quit): ends the program.
void on_quit_click(Platform& platform);
// "Back" (Command1): resumes the battle.
void on_back_click(Platform& platform);
// "Next level" (Command2): gives up the level and resumes; the next tick takes the request.
void on_next_level_click(Platform& platform);
