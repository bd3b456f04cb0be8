#pragma once

#include <QRectF>
#include <QSizeF>

namespace rqs {

// Gravity flags of an image view; exactly FillGravity fills the bounds. No bottom alignment exists.
enum ImageGravity { TopGravity = 2, LeftGravity = 8, RightGravity = 16, FillGravity = 256 };

struct ImagePlacement
{
    int gravity = FillGravity;
    // Filling: cover the bounds keeping the aspect; otherwise fit inside them, up or down.
    bool aspectFit = false;
    // Not filling: an axis shorter than the bounds takes the whole bounds on that axis.
    bool upscaleIfNeeded = false;
};

// Where an image of that size is drawn in the bounds (y-up).
QRectF placedImageRect(const QSizeF &image, const QRectF &bounds, const ImagePlacement &placement);

} // namespace rqs
