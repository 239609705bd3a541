// What the help window does: the F1 key of the battle and its button.
#pragma once

#include "base/world.h"
#include "input/controls.h"

// Shows the help and pauses, or closes it and resumes if it is open.
void on_f1_key(GameWorld& world, Controls& controls);
// "Close": closes the help and resumes.
void on_close_click(Controls& controls);
