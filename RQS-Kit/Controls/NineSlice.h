#pragma once

#include <QImage>
#include <QRectF>

namespace platform {
class GraphicsContext;
}

namespace rqs {

// Draws the picture into the target as a grid of nine slices: the stretch rectangle (in the
// picture's points, y-up) takes what the target adds, the parts around it keep their size. When
// the target is smaller than those fixed parts, they shrink together and the middle disappears.
void drawNineSlice(platform::GraphicsContext &context, const QImage &image, const QRectF &stretchRect,
                   const QRectF &target, double opacity);

} // namespace rqs
