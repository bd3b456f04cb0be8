#pragma once

// How a slider's value and knob position relate: 0 linear, 1 square root, 2 cube root,
// 3 exponential with factor k, 4 cosine, 5 square (value to position; the inverse back). Both
// answer a fraction of the range from a fraction t, clamped to 0..1 first.
namespace QSSliderCurve {

double positionFraction(int curve, double t, double k);
double valueFraction(int curve, double t, double k);

} // namespace QSSliderCurve
