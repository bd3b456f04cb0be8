#include "RQS-Kit/Controls/NineSlice.h"

#include "platform/graphics/GraphicsContext.h"

#include <QSizeF>

#include <algorithm>
#include <array>
#include <cmath>

namespace rqs {

namespace {

int whole(double extent) { return int(std::max(0.0, std::trunc(extent))); }

// The three extents along one axis, in the picture and in the target.
struct Slices
{
    std::array<int, 3> source, target;
};

Slices slicesAlong(double imageExtent, double stretchOrigin, double stretchExtent, double targetExtent)
{
    const std::array<int, 3> source{whole(stretchOrigin), whole(stretchExtent), whole(imageExtent - stretchExtent - stretchOrigin)};
    const double fixed = source[0] + source[2];
    if (targetExtent >= fixed)
        return {source, {source[0], whole(targetExtent - fixed), source[2]}};
    const double shrink = targetExtent / fixed;
    return {source, {whole(source[0] * shrink), 0, whole(source[2] * shrink)}};
}

} // namespace

void drawNineSlice(platform::GraphicsContext &context, const QImage &image, const QRectF &stretchRect,
                   const QRectF &target, double opacity)
{
    const QSizeF size = image.deviceIndependentSize();
    const double scale = image.devicePixelRatio();
    const Slices columns = slicesAlong(size.width(), stretchRect.x(), stretchRect.width(), target.width());
    const Slices rows = slicesAlong(size.height(), stretchRect.y(), stretchRect.height(), target.height());
    double sourceX = 0, targetX = target.x();
    for (int column = 0; column < 3; ++column) {
        double sourceY = 0, targetY = target.y();
        for (int row = 0; row < 3; ++row) {
            const QRectF from(sourceX, sourceY, columns.source[column], rows.source[row]);
            const QRectF to(targetX, targetY, columns.target[column], rows.target[row]);
            if (!from.isEmpty() && !to.isEmpty())
                context.drawImage(image, to, QRectF(from.topLeft() * scale, from.size() * scale), opacity);
            sourceY += rows.source[row];
            targetY += rows.target[row];
        }
        sourceX += columns.source[column];
        targetX += columns.target[column];
    }
}

} // namespace rqs
