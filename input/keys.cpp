#include "input/keys.h"

void release_arrow_keys(GameWorld& w) {
    w.key_up = FALSE_FLAG;
    w.key_down = FALSE_FLAG;
    w.key_right = FALSE_FLAG;
    w.key_left = FALSE_FLAG;
}
