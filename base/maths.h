// The battle's sine, cosine, arctangent and power: the game's own, built from
// +, -, * and / alone, so that every build (native or browser, whatever its C
// library) computes the same bits. Each lies within one unit
// in the last place of the exact value over the arguments the battle gives:
//   sine, cosine: |x| < 1.6e6 (headings and burst angles, a few turns at most);
//   arctangent:   any double;
//   power:        x >= 0 with |y * ln x| < 700 (the battle asks distance^0.6).
// Outside those ranges they still return a value, less exactly.
#pragma once

double sine(double x);
double cosine(double x);
double arctangent(double x);
double power(double x, double y);
