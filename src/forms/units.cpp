#include "forms/units.h"

namespace tw::forms {

namespace {

// Rounds a / b to the nearest whole number, halves away from zero, without overflowing.
int divideNearest(long long a, long long b) {
    const long long half = b / 2;
    return static_cast<int>(a >= 0 ? (a + half) / b : -((-a + half) / b));
}

}  // namespace

int twipsToPixels(int twips) { return divideNearest(twips, kTwipsPerPixel); }

int pixelsToTwips(int px) {
    const long long twips = static_cast<long long>(px) * kTwipsPerPixel;
    if (twips > INT32_MAX) return INT32_MAX;
    if (twips < INT32_MIN) return INT32_MIN;
    return static_cast<int>(twips);
}

}  // namespace tw::forms
