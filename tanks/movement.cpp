#include "tanks/movement.h"

void move_tank(GameWorld&, Platform&) {}
