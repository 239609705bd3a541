// The two numeric steps that several modules share.
#pragma once

#include "display/platform.h"

// stored += amount, the sum taken in double and rounded to single once, when stored.
void add_rounded(float& stored, double amount);

// A random heading r * 360 * DEG2RAD in double, from one draw.
double random_heading(Platform& platform);
