#pragma once

#include "platform/fx/Kernel.h"

#include <optional>

namespace rqs {

// Applies a colour kernel whose first argument is a nearest sampler of the input, read at the
// output pixel itself: the output has the input's geometry (its extent in the base's rectangle
// form). Further samplers are read over the output rectangle unless a region is given for them.
// A missing kernel gives null and an "Error: " line.
platform::fx::Image applyPixelwise(const std::optional<platform::fx::Kernel> &kernel, const platform::fx::Image &input,
                                   std::vector<platform::fx::Argument> furtherArguments,
                                   std::function<QRectF(int argument, const QRectF &rect)> furtherRegion = {});

} // namespace rqs
