// The numeric steps that several modules share.
#pragma once

// stored += amount, the sum taken in double and rounded to single once, when stored.
void add_rounded(float& stored, double amount);

// The heading r * 360 * DEG2RAD, in double, of one random number r.
double heading_of(float r);
