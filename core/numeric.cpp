#include "core/numeric.h"

#include "core/world.h"

void add_rounded(float& stored, double amount) {
    stored = static_cast<float>(static_cast<double>(stored) + amount);
}

double random_heading(Platform& p) {
    return static_cast<double>(p.next_random()) * DEGREES_PER_TURN * DEG2RAD;
}
