#include "RQS-Kit/Effects/GradientPicture.h"

#include <algorithm>

namespace rqs {

using namespace platform::fx;

namespace {

constexpr int Width = 1024;

Color colorOf(const QColor &color)
{
    const QColor rgb = color.toRgb();
    return {float(rgb.redF()), float(rgb.greenF()), float(rgb.blueF()), float(rgb.alphaF())};
}

Color colorAt(const QGradientStops &stops, double location)
{
    const auto after = std::find_if(stops.begin(), stops.end(), [location](const QGradientStop &s) { return s.first > location; });
    if (after == stops.begin())
        return colorOf(stops.front().second);
    if (after == stops.end())
        return colorOf(stops.back().second);
    const QGradientStop &before = *(after - 1);
    const float t = float((location - before.first) / (after->first - before.first));
    const Color a = colorOf(before.second), b = colorOf(after->second);
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

} // namespace

Image gradientPicture(const platform::Gradient &gradient)
{
    if (gradient.stops().isEmpty())
        return {};
    Buffer pixels(QRect(0, 0, Width, 1));
    for (int i = 0; i < Width; ++i)
        pixels.row(0)[i] = colorAt(gradient.stops(), (i + 0.5) / Width).premultiplied();
    return Image::fromBuffer(std::move(pixels));
}

} // namespace rqs
