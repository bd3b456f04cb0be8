#pragma once

#include <QColor>

#include <algorithm>
#include <cmath>

// How far a text stands out from what lies under it, as readability guidelines measure it.
namespace contrastratio {

// Relative luminance of an sRGB colour.
inline double luminance(const QColor &colour)
{
    const auto linear = [](double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) + 0.0722 * linear(colour.blueF());
}

// The ratio of two luminances, the lighter over the darker: 1 to 21.
inline double contrast(double a, double b) { return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05); }

} // namespace contrastratio
