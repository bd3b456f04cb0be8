#include "RQS-Kit/Foundation/FxColorExtension.h"

#include <algorithm>

namespace rqs {

namespace {

float channel(float p, float q, float t)
{
    if (t < 0)
        t += 1;
    if (t > 1)
        t -= 1;
    if (6 * t < 1)
        return p + (q - p) * 6 * t;
    if (2 * t < 1)
        return q;
    if (3 * t < 2)
        return p + (q - p) * (2.0f / 3.0f - t) * 6;
    return p;
}

} // namespace

QSColor::Hsv hsv(const platform::fx::Color &color)
{
    return QSColor::hsvFromRgb(color.r, color.g, color.b);
}

QSColor::Hsv hsl(const platform::fx::Color &color)
{
    const double mx = std::max({color.r, color.g, color.b});
    const double mn = std::min({color.r, color.g, color.b});
    const double lightness = 0.5 * (mx + mn);
    const double denominator = lightness < 0.5 ? mx + mn : 2 - mx - mn;
    const double saturation = denominator == 0 ? 0 : (mx - mn) / denominator;
    return {hsv(color).hue, saturation, lightness};
}

platform::fx::Color colorForHSV(const QSColor::Hsv &hsv)
{
    const QColor rgb = QSColor::colorFromHsv(hsv).color().toRgb();
    return {float(rgb.redF()), float(rgb.greenF()), float(rgb.blueF()), 1};
}

platform::fx::Color colorForHSL(const QSColor::Hsv &hsl)
{
    const float l = float(hsl.value), s = float(hsl.saturation), h = float(hsl.hue);
    const float q = l < 0.5f ? l * (1 + s) : l + s - l * s;
    const float p = 2 * l - q;
    return {channel(p, q, h + 1.0f / 3.0f), channel(p, q, h), channel(p, q, h - 1.0f / 3.0f), 1};
}

} // namespace rqs
