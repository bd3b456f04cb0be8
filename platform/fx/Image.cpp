#include "platform/fx/Image.h"

#include "platform/foundation/Log.h"
#include "platform/foundation/PictureFileReader.h"
#include "platform/fx/Nodes.h"

#include <QColorSpace>
#include <QImage>

#include <cmath>
#include <cstring>

namespace platform::fx {

namespace {

// Decoded, a picture above this (8 megapixels of 8-bit RGBA) costs more memory than reading its
// rows as the bands of a render ask for them.
constexpr qint64 streamedBytes = qint64(32) << 20;

// Halvings that make the engine's plane, 2^30 pixels wide, a single pixel.
constexpr int mostHalvings = 30;

} // namespace

Image::Image(std::shared_ptr<const Node> node)
    : m_node(std::move(node))
{
}

Image Image::fromQImage(const QImage &picture)
{
    if (picture.isNull())
        return {};
    const bool sRgb = !picture.colorSpace().isValid() || picture.colorSpace() == QColorSpace::SRgb;
    if (sRgb && PictureNode::formatIsKept(picture.format()))
        return Image(std::make_shared<PictureNode>(picture));
    if (sRgb && picture.depth() <= 8 * 4 && picture.pixelFormat().redSize() <= 8 && picture.format() != QImage::Format_Grayscale16)
        return Image(std::make_shared<PictureNode>(
            picture.convertToFormat(picture.hasAlphaChannel() ? QImage::Format_RGBA8888 : QImage::Format_RGB888)));
    QImage converted = picture.convertToFormat(QImage::Format_RGBA32FPx4_Premultiplied);
    if (converted.colorSpace().isValid() && converted.colorSpace() != QColorSpace::SRgb)
        converted.convertToColorSpace(QColorSpace::SRgb);
    Buffer pixels(QRect(0, 0, converted.width(), converted.height()));
    for (int y = 0; y < converted.height(); ++y)
        std::memcpy(pixels.row(converted.height() - 1 - y), converted.constScanLine(y),
                    sizeof(Pixel) * std::size_t(converted.width()));
    return fromBuffer(std::move(pixels));
}

Image Image::fromFile(const QString &path)
{
    // A picture larger than a band of a render holds is read by rows as it is rendered.
    if (std::unique_ptr<PngReader> rows = PngReader::open(path)) {
        if (qint64(rows->size().width()) * rows->size().height() * 4 > streamedBytes)
            return Image(std::make_shared<StreamedPictureNode>(path, std::move(rows)));
    }
    PictureFileReader reader(path);
    reader.reader().setAutoTransform(true);
    const QImage picture = reader.reader().read();
    if (picture.isNull()) {
        logError(QStringLiteral("Could not read the picture %1, because %2").arg(path, reader.errorString()));
        return {};
    }
    return fromQImage(picture);
}

Image Image::fromBuffer(Buffer pixels)
{
    return Image(std::make_shared<BufferNode>(std::move(pixels)));
}

Image Image::withColor(const Color &color)
{
    return Image(std::make_shared<ConstantNode>(color));
}

Image Image::random()
{
    return Image(std::make_shared<RandomNode>());
}

QRectF Image::extent() const
{
    return m_node ? m_node->extent() : QRectF();
}

Image Image::cropped(const QRectF &rect) const
{
    return m_node ? Image(std::make_shared<CropNode>(m_node, rect)) : Image();
}

Image Image::transformed(const QTransform &transform) const
{
    if (!m_node)
        return {};
    const bool finite = std::isfinite(transform.m11()) && std::isfinite(transform.m12()) && std::isfinite(transform.m21())
        && std::isfinite(transform.m22()) && std::isfinite(transform.dx()) && std::isfinite(transform.dy());
    if (!finite || !transform.isInvertible() || !transform.isAffine()) {
        logWarning(QStringLiteral("Cannot transform an image by a singular or projective transform"));
        return {};
    }
    std::shared_ptr<const Node> node = m_node;
    QTransform rest = transform;
    int halvingsX = 0, halvingsY = 0;
    for (;;) {
        // How long the unit steps along the input's x and y become. A step shorter still than
        // the plane is wide is as good as none: what remains lies within one pixel.
        const int factorX = std::hypot(rest.m11(), rest.m12()) < 0.5 && halvingsX < mostHalvings ? 2 : 1;
        const int factorY = std::hypot(rest.m21(), rest.m22()) < 0.5 && halvingsY < mostHalvings ? 2 : 1;
        if (factorX == 1 && factorY == 1)
            break;
        halvingsX += factorX / 2;
        halvingsY += factorY / 2;
        node = std::make_shared<ReduceNode>(node, factorX, factorY);
        rest = QTransform::fromScale(factorX, factorY) * rest;
    }
    if (rest.isIdentity())
        return Image(node);
    return Image(std::make_shared<TransformNode>(node, rest));
}

Image Image::clampedToExtent() const
{
    return m_node ? Image(std::make_shared<ClampNode>(m_node)) : Image();
}

Image Image::tiled() const
{
    return m_node ? Image(std::make_shared<TileNode>(m_node)) : Image();
}

} // namespace platform::fx
