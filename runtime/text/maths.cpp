// Degree trigonometry and the other maths commands.
#include "text/maths.h"

#include <cmath>
#include <cstring>

namespace {

constexpr double kRadiansPerDegree = 0.017453292519943295;
constexpr double kDegreesPerRadian = 57.29577951308232;

}  // namespace

float SinDeg(float degrees) { return static_cast<float>(sin(static_cast<double>(degrees) * kRadiansPerDegree)); }

float CosDeg(float degrees) { return static_cast<float>(cos(static_cast<double>(degrees) * kRadiansPerDegree)); }

float TanDeg(float degrees) { return static_cast<float>(tan(static_cast<double>(degrees) * kRadiansPerDegree)); }

float ArcSinDeg(float x) {
    if (x >= 1.0f) return 90.0f;
    if (x <= -1.0f) return -90.0f;
    return static_cast<float>(asin(static_cast<double>(x)) * kDegreesPerRadian);
}

float ArcCosDeg(float x) {
    if (x >= 1.0f) return 0.0f;
    if (x <= -1.0f) return 180.0f;
    return static_cast<float>(acos(static_cast<double>(x)) * kDegreesPerRadian);
}

float ArcTan2Deg(float y, float x) {
    return static_cast<float>(atan2(static_cast<double>(y), static_cast<double>(x)) * kDegreesPerRadian);
}

float Power(float base, float exponent) {
    return static_cast<float>(pow(static_cast<double>(base), static_cast<double>(exponent)));
}

float FloatMod(float a, float b) {
    if (b == 0.0f) return 0.0f;
    // The remainder of two singles is exact, so the double computation rounds to the same single.
    return static_cast<float>(fmod(static_cast<double>(a), static_cast<double>(b)));
}

float SquareRoot(float x) { return sqrtf(x); }

float AbsFloat(float x) {
    if (!(x < 0.0f)) return x;
    uint32_t bits;
    memcpy(&bits, &x, sizeof(bits));
    bits &= 0x7FFFFFFFu;
    memcpy(&x, &bits, sizeof(bits));
    return x;
}

int32_t IntMod(int32_t a, int32_t b) {
    // b = -1 always leaves remainder 0; asking the processor for INT32_MIN % -1 would trap instead.
    if (b == 0 || b == -1) return 0;
    return a % b;
}

int32_t AbsInt(int32_t a) {
    // Negated in unsigned arithmetic: INT32_MIN stays INT32_MIN, as two's-complement negation gives it,
    // instead of overflowing.
    return a < 0 ? static_cast<int32_t>(0u - static_cast<uint32_t>(a)) : a;
}
