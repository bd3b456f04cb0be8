#include "RQS-Kit/Effects/BlendFormulas.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace rqs::blend {

namespace {

using platform::fx::Pixel;

float screen(float b, float s) { return b + s - b * s; }
float multiply(float b, float s) { return b * s; }
float hardLight(float b, float s) { return s <= 0.5f ? multiply(b, 2 * s) : screen(b, 2 * s - 1); }
float overlay(float b, float s) { return hardLight(s, b); }

float colorDodge(float b, float s)
{
    if (b == 0)
        return 0;
    if (s >= 1)
        return 1;
    return std::min(1.0f, b / (1 - s));
}

float colorBurn(float b, float s)
{
    if (b >= 1)
        return 1;
    if (s <= 0)
        return 0;
    return 1 - std::min(1.0f, (1 - b) / s);
}

float softLight(float b, float s)
{
    if (s <= 0.5f)
        return b - (1 - 2 * s) * b * (1 - b);
    const float d = b <= 0.25f ? ((16 * b - 12) * b + 4) * b : std::sqrt(b);
    return b + (2 * s - 1) * (d - b);
}

float linearBurn(float b, float s) { return std::max(0.0f, b + s - 1); }
float linearDodge(float b, float s) { return std::min(1.0f, b + s); }
float vividLight(float b, float s) { return s <= 0.5f ? colorBurn(b, 2 * s) : colorDodge(b, 2 * s - 1); }
float linearLight(float b, float s) { return std::clamp(b + 2 * s - 1, 0.0f, 1.0f); }
float hardMix(float b, float s) { return b + s >= 1 ? 1.0f : 0.0f; }

template <float (*channel)(float, float)>
Rgb separable(const Rgb &b, const Rgb &s)
{
    return {channel(b[0], s[0]), channel(b[1], s[1]), channel(b[2], s[2])};
}

Rgb normal(const Rgb &, const Rgb &s) { return s; }

float lum(const Rgb &c) { return 0.3f * c[0] + 0.59f * c[1] + 0.11f * c[2]; }

Rgb clipColor(Rgb c)
{
    const float l = lum(c);
    const float n = std::min({c[0], c[1], c[2]});
    const float x = std::max({c[0], c[1], c[2]});
    for (float &v : c) {
        if (n < 0)
            v = l + (v - l) * l / (l - n);
        if (x > 1)
            v = l + (v - l) * (1 - l) / (x - l);
    }
    return c;
}

Rgb setLum(const Rgb &c, float l)
{
    const float d = l - lum(c);
    return clipColor({c[0] + d, c[1] + d, c[2] + d});
}

Rgb color(const Rgb &b, const Rgb &s) { return setLum(s, lum(b)); }
Rgb luminosity(const Rgb &b, const Rgb &s) { return setLum(b, lum(s)); }

const std::pair<QString, Function> &entry(std::size_t i)
{
    static const std::pair<QString, Function> table[] = {
        {QStringLiteral("sourceOver"), normal},
        {QStringLiteral("colorBlend"), color},
        {QStringLiteral("luminosityBlend"), luminosity},
        {QStringLiteral("multiply"), separable<multiply>},
        {QStringLiteral("colorBurn"), separable<colorBurn>},
        {QStringLiteral("linearBurn"), separable<linearBurn>},
        {QStringLiteral("negativeMultiply"), separable<screen>},
        {QStringLiteral("colorDodge"), separable<colorDodge>},
        {QStringLiteral("linearDodge"), separable<linearDodge>},
        {QStringLiteral("overlay"), separable<overlay>},
        {QStringLiteral("softLight"), separable<softLight>},
        {QStringLiteral("hardLight"), separable<hardLight>},
        {QStringLiteral("vividLight"), separable<vividLight>},
        {QStringLiteral("linearLight"), separable<linearLight>},
        {QStringLiteral("hardMix"), separable<hardMix>},
    };
    return table[i];
}

constexpr std::size_t modeCount = 15;

Rgb straight(const Pixel &p)
{
    if (p.a <= 0)
        return {0, 0, 0};
    return {std::clamp(p.r / p.a, 0.0f, 1.0f), std::clamp(p.g / p.a, 0.0f, 1.0f), std::clamp(p.b / p.a, 0.0f, 1.0f)};
}

} // namespace

const QStringList &modeNames()
{
    static const QStringList names = [] {
        QStringList made;
        for (std::size_t i = 0; i < modeCount; ++i)
            made << entry(i).first;
        return made;
    }();
    return names;
}

std::optional<Function> modeNamed(const QString &name)
{
    for (std::size_t i = 0; i < modeCount; ++i) {
        if (entry(i).first == name)
            return entry(i).second;
    }
    return std::nullopt;
}

Pixel composite(Function blend, const Pixel &source, const Pixel &backdrop, float intensity)
{
    const Pixel s = source * intensity;
    const Rgb mixed = blend(straight(backdrop), straight(s));
    const float both = s.a * backdrop.a;
    return {s.r * (1 - backdrop.a) + backdrop.r * (1 - s.a) + both * mixed[0],
            s.g * (1 - backdrop.a) + backdrop.g * (1 - s.a) + both * mixed[1],
            s.b * (1 - backdrop.a) + backdrop.b * (1 - s.a) + both * mixed[2], s.a + backdrop.a * (1 - s.a)};
}

} // namespace rqs::blend
