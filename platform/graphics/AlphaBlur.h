#pragma once

#include <array>

class QImage;

namespace platform {

// Gaussian-like blur of an alpha mask, for soft shadows: three box blurs in each direction, whose
// sizes are chosen so that together they spread like a Gaussian of the given deviation.
class AlphaBlur
{
public:
    // Blurs an image of format Alpha8 in place; pixels beyond its edges count as transparent.
    static void blur(QImage &mask, double sigma);
    // Half widths of the three boxes that together spread like a Gaussian of that deviation
    // (W. Jarosz, "Fast Image Convolutions").
    static std::array<int, 3> boxRadii(double sigma);
};

} // namespace platform
