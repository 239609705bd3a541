#include "base/numeric.h"

#include "base/world.h"

void add_rounded(float& stored, double amount) {
    stored = static_cast<float>(static_cast<double>(stored) + amount);
}

double heading_of(float r) {
    return static_cast<double>(r) * DEGREES_PER_TURN * DEG2RAD;
}
