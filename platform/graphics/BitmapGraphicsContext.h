#pragma once

#include <QImage>
#include <QSizeF>

#include <functional>

namespace platform {

class GraphicsContext;

// Pictures drawn through a graphics context.
class BitmapGraphicsContext
{
public:
    // A transparent picture of the point size at scale pixels per point (rounded up to whole
    // pixels) on which the drawing draws, its context the current one meanwhile. The user space
    // starts y-up at the picture's lower-left corner, one unit per point; the picture records
    // its resolution, 72 dots per inch times the scale. A null image (logged) for an empty size
    // or scale.
    static QImage drawnImage(const QSizeF &pointSize, double scale, const std::function<void(GraphicsContext &)> &drawing);
};

} // namespace platform
