#pragma once

#include "platform/fx/Image.h"

namespace platform::fx {

// A fixed, rendered copy of an image over the pixels a finite extent touches, so that later uses
// no longer run the recipe that made it. ARGB8 rounds every component to 8 bits (premultiplied), as an 8-bit bitmap
// would; RGBAf keeps the working floats.
class Accumulator
{
public:
    enum class Format { ARGB8, RGBAf };

    Accumulator(const QRectF &extent, Format format);
    // False with an "Error: " line when the extent is infinite or empty or the render fails.
    bool setImage(const Image &image);
    // Null until an image was set.
    Image image() const { return m_image; }

private:
    QRectF m_extent;
    Format m_format;
    Image m_image;
};

} // namespace platform::fx
