#pragma once

#include <QString>

class QImage;

namespace platform {

// Writes 8-bit pictures as PNG with every core: bands of rows are filtered and deflated at once,
// each band primed with the 32 KB before it and flushed to a byte boundary, and the bands joined
// into the single zlib stream the format holds (the way pigz splits gzip). Every row is
// Paeth-filtered and deflate looks for runs only: on photographs and smooth renderings that costs
// a seventh of libpng's defaults for files about a quarter larger.
class PngWriter
{
public:
    // The picture in Format_RGB888 or Format_RGBA8888, without an alpha channel when every pixel
    // is opaque; written through a temporary file renamed over path. False after an "Error: "
    // line.
    static bool write(const QImage &picture, const QString &path);
};

} // namespace platform
