#include "art_math.h"

float portableSinDeg(float degrees)
{
    double d = degrees;
    d -= 360.0 * static_cast<double>(static_cast<long long>(d / 360.0));
    if (d < 0.0) d += 360.0;                // 0 .. 360
    if (d > 180.0) d -= 360.0;              // -180 .. 180
    if (d > 90.0) d = 180.0 - d;            // sin(180 - a) = sin(a)
    if (d < -90.0) d = -180.0 - d;
    const double x = d * (3.14159265358979323846 / 180.0);
    const double x2 = x * x;
    // Taylor series to x^15: error below 1e-9 on -pi/2 .. pi/2.
    double term = x;
    double sum = x;
    for (int n = 1; n <= 7; ++n) {
        term *= -x2 / static_cast<double>((2 * n) * (2 * n + 1));
        sum += term;
    }
    return static_cast<float>(sum);
}
