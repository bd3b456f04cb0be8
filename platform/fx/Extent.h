#pragma once

#include <QRect>
#include <QRectF>

// Extents live in the y-up plane; pixel (x, y) covers [x, x + 1) × [y, y + 1) with its centre at
// (x + 0.5, y + 0.5). Generators, clamps and tiles have an infinite extent, a square of 2^30
// pixels around the origin, which no operation ever allocates.
namespace platform::fx::Extent {

QRectF infinite();
QRect infinitePixels();
// Width or height of 2^30 or more.
bool isInfinite(const QRectF &extent);
// The pixels the extent touches (rounded outwards), within the infinite square.
QRect pixelsTouching(const QRectF &extent);
// The pixels whose centres lie inside the extent.
QRect pixelsCentredIn(const QRectF &extent);
// The nearest point of the rectangle, for each coordinate of the given one.
QRect clampedInto(const QRect &rect, const QRect &into);
// The pixels of a rectangle whose edges were worked out past what an int holds, within the
// infinite square.
QRect withinPlane(qint64 left, qint64 bottom, qint64 width, qint64 height);

} // namespace platform::fx::Extent
