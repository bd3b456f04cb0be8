#pragma once

#include "platform/fx/Image.h"
#include "platform/graphics/Gradient.h"

namespace rqs {

// The gradient drawn left to right across a 1024 × 1 picture at (0, 0): pixel i takes the colour
// at location (i + 0.5) / 1024, mixed component by component between the neighbouring stops. Null
// for a gradient without stops.
platform::fx::Image gradientPicture(const platform::Gradient &gradient);

} // namespace rqs
