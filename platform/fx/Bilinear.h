#pragma once

#include "platform/fx/Buffer.h"
#include "platform/fx/Numbers.h"

#include <QPointF>

#include <cmath>

namespace platform::fx {

// The four pixels around p mixed by nearness, p given half a pixel down and left of the point
// sampled (so that p = (i, j) reads pixel (i, j) alone). A point that is not finite reads none;
// one beyond the engine's plane reads there, where pixelAt answers none (or its clamped edge).
template <typename PixelAt>
Pixel bilinear(QPointF p, const PixelAt &pixelAt)
{
    if (!std::isfinite(p.x()) || !std::isfinite(p.y()))
        return {};
    const double left = std::floor(p.x()), bottom = std::floor(p.y());
    const float fx = float(p.x() - left), fy = float(p.y() - bottom);
    const int i = Numbers::toInt(left), j = Numbers::toInt(bottom);
    return (pixelAt(i, j) * (1 - fx) + pixelAt(i + 1, j) * fx) * (1 - fy)
        + (pixelAt(i, j + 1) * (1 - fx) + pixelAt(i + 1, j + 1) * fx) * fy;
}

} // namespace platform::fx
