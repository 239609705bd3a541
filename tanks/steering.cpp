#include "tanks/steering.h"

void steer_tank(GameWorld&, Platform&) {}
