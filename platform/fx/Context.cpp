#include "platform/fx/Context.h"

#include "platform/foundation/Log.h"
#include "platform/fx/Extent.h"
#include "platform/fx/Nodes.h"
#include "platform/graphics/GraphicsContext.h"

#include <algorithm>

namespace platform::fx {

std::optional<Buffer> Context::render(const Image &image, RenderStats *stats) const
{
    if (Extent::isInfinite(image.extent())) {
        logError(QStringLiteral("Cannot render an image of infinite extent without a finite rectangle"));
        return std::nullopt;
    }
    return render(image, Extent::pixelsTouching(image.extent()), stats);
}

std::optional<Buffer> Context::render(const Image &image, const QRect &rect, RenderStats *stats) const
{
    if (image.isNull()) {
        logError(QStringLiteral("Cannot render a missing image"));
        return std::nullopt;
    }
    if (rect.isEmpty() || Extent::isInfinite(QRectF(rect))) {
        logError(QStringLiteral("Cannot render an empty or infinite rectangle"));
        return std::nullopt;
    }
    return RenderGraph::render(*image.node(), rect, stats);
}

QImage Context::toQImage(const Buffer &pixels, QImage::Format format)
{
    const QRect &rect = pixels.rect();
    QImage picture(rect.size(), QImage::Format_RGBA32FPx4_Premultiplied);
    if (picture.isNull())
        return {};
    for (int y = 0; y < rect.height(); ++y) {
        const Pixel *from = pixels.row(rect.bottom() - y) + rect.left();
        auto *to = reinterpret_cast<Pixel *>(picture.scanLine(y));
        for (int x = 0; x < rect.width(); ++x) {
            const float a = std::clamp(from[x].a, 0.0f, 1.0f);
            to[x] = {std::clamp(from[x].r, 0.0f, a), std::clamp(from[x].g, 0.0f, a), std::clamp(from[x].b, 0.0f, a), a};
        }
    }
    return picture.convertToFormat(format);
}

QImage Context::createImage(const Image &image, const QRectF &from, QImage::Format format) const
{
    const std::optional<Buffer> pixels = render(image, Extent::pixelsTouching(from));
    return pixels ? toQImage(*pixels, format) : QImage();
}

bool Context::draw(const Image &image, const QRectF &in, const QRectF &from) const
{
    GraphicsContext *target = GraphicsContext::current();
    if (!target) {
        logError(QStringLiteral("Cannot draw an image without a current graphics context"));
        return false;
    }
    const QRect pixels = Extent::pixelsTouching(from);
    const QImage picture = createImage(image, from, QImage::Format_RGBA32FPx4_Premultiplied);
    if (picture.isNull())
        return false;
    target->drawImage(picture, in, from.translated(-pixels.topLeft()));
    return true;
}

std::optional<Color> Context::averageColor(const Image &image) const
{
    if (image.isNull() || Extent::isInfinite(image.extent())) {
        logError(QStringLiteral("Cannot average a missing or infinite image"));
        return std::nullopt;
    }
    const Image average(std::make_shared<AreaAverageNode>(image.node(), image.extent()));
    const std::optional<Buffer> pixel = render(average, QRect(0, 0, 1, 1));
    if (!pixel)
        return std::nullopt;
    return Color::fromPixel(pixel->at(0, 0));
}

} // namespace platform::fx
