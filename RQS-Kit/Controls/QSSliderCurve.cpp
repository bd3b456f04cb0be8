#include "RQS-Kit/Controls/QSSliderCurve.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace QSSliderCurve {

namespace {

// A factor of 0 (or one too small to tell from it) makes the exponential curve a straight line.
bool flat(double k) { return !std::isfinite(k) || std::abs(k) < 1e-9; }

} // namespace

double positionFraction(int curve, double t, double k)
{
    t = std::isnan(t) ? 0.0 : std::clamp(t, 0.0, 1.0);
    switch (curve) {
    case 1:
        return std::sqrt(t);
    case 2:
        return std::cbrt(t);
    case 3:
        return flat(k) ? t : std::log(std::expm1(k) * t + 1) / k;
    case 4:
        return std::acos(1 - 2 * t) / std::numbers::pi;
    case 5:
        return t * t;
    default:
        return t;
    }
}

double valueFraction(int curve, double t, double k)
{
    t = std::isnan(t) ? 0.0 : std::clamp(t, 0.0, 1.0);
    switch (curve) {
    case 1:
        return t * t;
    case 2:
        return t * t * t;
    case 3:
        return flat(k) ? t : std::expm1(k * t) / std::expm1(k);
    case 4:
        return (1 - std::cos(std::numbers::pi * t)) / 2;
    case 5:
        return std::sqrt(t);
    default:
        return t;
    }
}

} // namespace QSSliderCurve
