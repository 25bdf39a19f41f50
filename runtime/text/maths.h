// Maths on the runtime's numbers: trigonometry in degrees, powers, remainders, roots and absolute values.
//
// Angles go to radians and results come back to degrees in double precision; every result is rounded to
// single precision once, at the end.
#pragma once

#include <cstdint>

float SinDeg(float degrees);
float CosDeg(float degrees);
float TanDeg(float degrees);
// 90 for x >= 1 and -90 for x <= -1, so values just outside the domain do not give NaN.
float ArcSinDeg(float x);
// 0 for x >= 1 and 180 for x <= -1.
float ArcCosDeg(float x);
float ArcTan2Deg(float y, float x);

float Power(float base, float exponent);
// 0 when b is 0, otherwise the remainder with the sign of a.
float FloatMod(float a, float b);
float SquareRoot(float x);
float AbsFloat(float x);

// 0 when b is 0, otherwise the C remainder (sign of a).
int32_t IntMod(int32_t a, int32_t b);
int32_t AbsInt(int32_t a);
