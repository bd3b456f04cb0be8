#pragma once

#include "platform/fx/Kernel.h"

#include <optional>

// The darkening along a border that both frame filters lay inside the picture.
namespace rqs {

// The picture's colour (argument 0) times the uncovered part of the blurred border (argument 1);
// its alpha is kept.
platform::fx::Pixel innerMultiply(const platform::fx::KernelInvocation &k);
// The border mask blurred by min(picture side) × width, cut to the picture; null when width is not above 0.
platform::fx::Image innerShadow(const platform::fx::Image &mask, const QRectF &picture, double width);
// The picture darkened by the shadow; the picture itself without one.
platform::fx::Image shadowed(const std::optional<platform::fx::Kernel> &multiply, const platform::fx::Image &picture,
                             const platform::fx::Image &shadow);

} // namespace rqs
