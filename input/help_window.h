// What the help window does: the F1 key of the main window and its button.
#pragma once

#include "base/platform.h"
#include "base/world.h"

// Shows the help and pauses, or hides it and resumes if it is shown.
void on_f1_key(GameWorld& world, Platform& platform);
// "Close" (Command1): hides the help and resumes.
void on_close_click(Platform& platform);
