#pragma once

#include "platform/fx/FilterRegistry.h"

#include <utility>
#include <vector>

namespace platform::fx {

// The engine's own filters, under the names the kit asks for ("CIGaussianBlur", ...).
//
// - "CIGaussianBlur": deviation inputRadius by three box blurs; the extent grows by their reach
//   (about 3 × radius); beyond the input counts as transparent.
// - "CIMotionBlur": a box of half-width round(inputRadius) along inputAngle (radians): turned
//   to the x axis, blurred, turned back.
// - "CIAffineClamp", "CIAffineTile": the input clamped to its extent or tiled, then transformed.
// - "CISourceOverCompositing": s + b × (1 − s alpha); extent the union.
// - "CIBlendWithMask": b + (s − b) × m, m the luminance (0.2126, 0.7152, 0.0722) of the
//   premultiplied mask pixel; extent the union of image and background.
// - "CIColorInvert": (a − r, a − g, a − b, a) on premultiplied pixels.
// - "CIDisplacementDistortion": the pixel at p takes the image at p + inputScale × (r − 0.5,
//   g − 0.5) of the displacement pixel at p; the extent grows by inputScale / 2.
// - "CIConstantColorGenerator", "CIRandomGenerator": infinite.
// - "CIAreaAverage": one pixel at (0, 0), the mean over the pixels whose centres lie in
//   inputExtent.
class BuiltinFilters
{
public:
    static std::vector<std::pair<QString, FilterRegistry::Factory>> factories();
};

} // namespace platform::fx
