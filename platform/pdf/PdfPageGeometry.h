#pragma once

#include <QRectF>

namespace platform {

// What a PDF page shows: the crop box clipped to the media box (the media box without a crop
// box) in the page's y-up user space, and its clockwise quarter turns in degrees.
struct PdfPageGeometry
{
    QRectF cropBox;
    int rotation = 0;
};

} // namespace platform
