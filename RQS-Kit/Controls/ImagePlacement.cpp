#include "RQS-Kit/Controls/ImagePlacement.h"

namespace rqs {

namespace {

QRectF covering(const QSizeF &image, const QRectF &bounds)
{
    if (bounds.width() / bounds.height() > image.width() / image.height()) {
        const double height = image.height() * bounds.width() / image.width();
        return {bounds.x(), bounds.y() + (bounds.height() - height) * 0.5, bounds.width(), height};
    }
    const double width = image.width() * bounds.height() / image.height();
    return {bounds.x() + (bounds.width() - width) * 0.5, bounds.y(), width, bounds.height()};
}

QSizeF fitting(const QSizeF &image, const QSizeF &bounds)
{
    if (image.width() / image.height() > bounds.width() / bounds.height())
        return {bounds.width(), image.height() * bounds.width() / image.width()};
    return {image.width() * bounds.height() / image.height(), bounds.height()};
}

} // namespace

QRectF placedImageRect(const QSizeF &image, const QRectF &bounds, const ImagePlacement &placement)
{
    if (placement.gravity == FillGravity)
        return placement.aspectFit ? covering(image, bounds) : bounds;
    QSizeF size = placement.aspectFit ? fitting(image, bounds.size()) : image;
    double y = placement.gravity & TopGravity ? bounds.height() - size.height() : (bounds.height() - size.height()) * 0.5;
    double x = placement.gravity & RightGravity  ? bounds.width() - size.width()
               : placement.gravity & LeftGravity ? 0
                                                 : (bounds.width() - size.width()) * 0.5;
    if (placement.upscaleIfNeeded && size.width() < bounds.width()) {
        size.setWidth(bounds.width());
        x = 0;
    }
    if (placement.upscaleIfNeeded && size.height() < bounds.height()) {
        size.setHeight(bounds.height());
        y = 0;
    }
    return {bounds.x() + x, bounds.y() + y, size.width(), size.height()};
}

} // namespace rqs
