#pragma once

#include "platform/fx/Color.h"
#include "platform/fx/Node.h"

#include <QMetaType>
#include <QRectF>
#include <QTransform>

class QImage;

namespace platform::fx {

// An image recipe: immutable, cheap to copy, shared between threads. Nothing is computed until a
// Context renders a rectangle of it. A default-made image is null; every operation on a null
// image answers null.
class Image
{
public:
    Image() = default;
    explicit Image(std::shared_ptr<const Node> node);

    // Pixel (0, 0) of the picture is its top left; the image has extent (0, 0, width, height),
    // so the top row lies at y = height - 1. Pictures in another colour space become sRGB.
    static Image fromQImage(const QImage &picture);
    // Null with an "Error: " line when the file cannot be read. A PNG of more than 32 MiB decoded
    // (8 megapixels) is read by rows each time it is rendered instead of being held decoded; its
    // damage, if any, fails the render that finds it.
    static Image fromFile(const QString &path);
    static Image fromBuffer(Buffer pixels);
    // Infinite.
    static Image withColor(const Color &color);
    // Infinite; see RandomNode for the numbers.
    static Image random();

    bool isNull() const { return !m_node; }
    // Empty for a null image.
    QRectF extent() const;
    const std::shared_ptr<const Node> &node() const { return m_node; }

    // The pixels whose centres lie in the rectangle; the extent is the rectangle cut by the
    // image's extent.
    Image cropped(const QRectF &rect) const;
    // Bilinear, as TransformNode says. Along an axis the transform shrinks below one half, 2×
    // box reductions come first, so that small previews do not alias; at most 30 along an axis,
    // which leave the whole plane one pixel wide. A singular transform gives null and a
    // "Warning: " line.
    Image transformed(const QTransform &transform) const;
    // Infinite: beyond its extent every pixel repeats the nearest edge pixel.
    Image clampedToExtent() const;
    // Infinite: the extent repeated.
    Image tiled() const;

private:
    std::shared_ptr<const Node> m_node;
};

} // namespace platform::fx

Q_DECLARE_METATYPE(platform::fx::Image)
