#include "RQS-Kit/Effects/KernelColor.h"

#include "platform/fx/Numbers.h"

#include <algorithm>
#include <cmath>

namespace rqs::kernelcolor {

Straight unpremultiplied(const platform::fx::Pixel &pixel)
{
    if (pixel.a <= 0)
        return {};
    return {pixel.r / pixel.a, pixel.g / pixel.a, pixel.b / pixel.a, pixel.a};
}

platform::fx::Pixel premultiplied(const Straight &colour)
{
    return {colour.r * colour.a, colour.g * colour.a, colour.b * colour.a, colour.a};
}

float luma(const Straight &colour)
{
    return 0.2126f * colour.r + 0.7152f * colour.g + 0.0722f * colour.b;
}

Hsv hsv(const Straight &colour)
{
    const float mx = std::max({colour.r, colour.g, colour.b});
    const float range = mx - std::min({colour.r, colour.g, colour.b});
    if (range <= 0)
        return {0, 0, mx};
    float hue;
    if (mx == colour.r)
        hue = (colour.g - colour.b) / range;
    else if (mx == colour.g)
        hue = 2 + (colour.b - colour.r) / range;
    else
        hue = 4 + (colour.r - colour.g) / range;
    hue /= 6;
    return {hue < 0 ? hue + 1 : hue, mx > 0 ? range / mx : 0, mx};
}

Straight fromHsv(const Hsv &hsv, float alpha)
{
    const float sector = (hsv.hue - std::floor(hsv.hue)) * 6;
    const int index = std::min(platform::fx::Numbers::toInt(sector), 5);
    const float f = sector - float(index), v = hsv.value, s = hsv.saturation;
    const float p = v * (1 - s), q = v * (1 - s * f), t = v * (1 - s * (1 - f));
    switch (index) {
    case 0: return {v, t, p, alpha};
    case 1: return {q, v, p, alpha};
    case 2: return {p, v, t, alpha};
    case 3: return {p, q, v, alpha};
    case 4: return {t, p, v, alpha};
    default: return {v, p, q, alpha};
    }
}

float hueDistance(float a, float b)
{
    const float d = std::fmod(std::abs(a - b), 1.0f);
    return std::min(d, 1 - d);
}

float hueNearness(float hue, float target)
{
    return std::max(0.0f, 1 - 12 * hueDistance(hue, target));
}

Straight mix(const Straight &from, const Straight &to, float weight)
{
    auto lerp = [weight](float a, float b) { return a + (b - a) * weight; };
    return {lerp(from.r, to.r), lerp(from.g, to.g), lerp(from.b, to.b), lerp(from.a, to.a)};
}

} // namespace rqs::kernelcolor
