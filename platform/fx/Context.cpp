#include "platform/fx/Context.h"

#include "platform/foundation/Log.h"
#include "platform/fx/Extent.h"
#include "platform/fx/Nodes.h"
#include "platform/fx/Parallel.h"
#include "platform/graphics/GraphicsContext.h"

#include <algorithm>
#include <cstring>

namespace platform::fx {

std::optional<Buffer> Context::render(const Image &image, RenderStats *stats) const
{
    if (Extent::isInfinite(image.extent())) {
        logError(QStringLiteral("Cannot render an image of infinite extent without a finite rectangle"));
        return std::nullopt;
    }
    return render(image, Extent::pixelsTouching(image.extent()), stats);
}

bool Context::canRender(const Image &image, const QRect &rect)
{
    if (image.isNull()) {
        logError(QStringLiteral("Cannot render a missing image"));
        return false;
    }
    if (rect.isEmpty() || Extent::isInfinite(QRectF(rect))) {
        logError(QStringLiteral("Cannot render an empty or infinite rectangle"));
        return false;
    }
    return true;
}

std::optional<Buffer> Context::render(const Image &image, const QRect &rect, RenderStats *stats,
                                      const RenderControl &control) const
{
    if (!canRender(image, rect))
        return std::nullopt;
    return RenderGraph::render(*image.node(), rect, stats, control);
}

QImage Context::toQImage(const Buffer &pixels, QImage::Format format)
{
    const QRect &rect = pixels.rect();
    QImage picture(rect.size(), QImage::Format_RGBA32FPx4_Premultiplied);
    if (picture.isNull())
        return {};
    QImage converted = format == picture.format() ? QImage() : QImage(rect.size(), format);
    if (format != picture.format() && converted.isNull())
        return {};
    // Rows in bands across the cores: clamped, then each band converted by Qt on its own.
    forEachBand(rect.height(), [&](int begin, int end) {
        for (int y = begin; y < end; ++y) {
            const Pixel *from = pixels.row(rect.bottom() - y) + rect.left();
            auto *to = reinterpret_cast<Pixel *>(picture.scanLine(y));
            for (int x = 0; x < rect.width(); ++x) {
                const float a = std::clamp(from[x].a, 0.0f, 1.0f);
                to[x] = {std::clamp(from[x].r, 0.0f, a), std::clamp(from[x].g, 0.0f, a), std::clamp(from[x].b, 0.0f, a), a};
            }
        }
        if (converted.isNull())
            return;
        const QImage band(picture.constScanLine(begin), rect.width(), end - begin, picture.bytesPerLine(), picture.format());
        const QImage part = band.convertToFormat(format);
        for (int y = begin; y < end; ++y)
            std::memcpy(converted.scanLine(y), part.constScanLine(y - begin), std::size_t(converted.bytesPerLine()));
    });
    return converted.isNull() ? picture : converted;
}

namespace {

// What one band of a picture may hold at once; bands stay whole when thinner ones would compute
// their margins over and over.
constexpr qint64 bandBytes = qint64(48) << 20;
constexpr double marginShare = 1.5;

} // namespace

int Context::bandRows(const Image &image, const QRect &rect, qint64 bytes)
{
    if (image.isNull() || rect.isEmpty())
        return 1;
    const Node &root = *image.node();
    const RenderGraph::Cost whole = RenderGraph::cost(root, rect);
    int rows = rect.height();
    if (whole.peakBytes <= bytes)
        return rows;
    const double perRow = double(whole.computedPixels) / rows;
    while (rows > 1) {
        const int half = (rows + 1) / 2;
        const QRect band(rect.left(), rect.top() + (rect.height() - half) / 2, rect.width(), half);
        const RenderGraph::Cost cost = RenderGraph::cost(root, band);
        if (double(cost.computedPixels) / half > marginShare * perRow)
            break;
        rows = half;
        if (cost.peakBytes <= bytes)
            break;
    }
    return rows;
}

namespace {

int bandCount(const QRect &rect, int rows)
{
    return (rect.height() + rows - 1) / rows;
}

// Band number band of the rectangle, counted from its top, rows tall but for the last.
QRect bandOf(const QRect &rect, int rows, int band)
{
    const int top = rect.bottom() + 1 - band * rows;
    const int bottom = std::max(rect.top(), top - rows);
    return QRect(rect.left(), bottom, rect.width(), top - bottom);
}

// Bands each within the budgets could still add up to a render that runs for many minutes: the
// whole render counts, its steps and the pass that turns every pixel of the result into the
// picture. In bands the steps compute the margins that bands share again in each: when the render
// fits without them, every band counts, until the render is over the budget.
QString refusalInBands(const Image &image, const QRect &rect, int rows)
{
    const Node &root = *image.node();
    RenderGraph::Cost cost = RenderGraph::cost(root, rect);
    const qint64 picture = qint64(rect.width()) * rect.height();
    cost.computedPixels = RenderGraph::sum(cost.computedPixels, picture);
    if (rows < rect.height() && cost.computedPixels <= RenderGraph::maxComputedPixels) {
        cost.computedPixels = picture;
        for (int band = 0; band < bandCount(rect, rows) && cost.computedPixels <= RenderGraph::maxComputedPixels; ++band)
            cost.computedPixels =
                RenderGraph::sum(cost.computedPixels, RenderGraph::cost(root, bandOf(rect, rows, band)).computedPixels);
    }
    return RenderGraph::overBudget(cost, rect.size(), rows == rect.height());
}

} // namespace

QString Context::budgetRefusal(const Image &image, const QRect &rect)
{
    if (image.isNull() || rect.isEmpty())
        return {};
    return refusalInBands(image, rect, bandRows(image, rect, bandBytes));
}

QImage Context::createImage(const Image &image, const QRectF &from, QImage::Format format, const RenderControl &control) const
{
    const QRect rect = Extent::pixelsTouching(from);
    if (!canRender(image, rect))
        return {};
    const int rows = bandRows(image, rect, bandBytes);
    if (const QString refusal = refusalInBands(image, rect, rows); !refusal.isEmpty()) {
        logError(refusal);
        return {};
    }
    if (rows == rect.height()) {
        const std::optional<Buffer> pixels = RenderGraph::render(*image.node(), rect, nullptr, control);
        return pixels ? toQImage(*pixels, format) : QImage();
    }
    // Top band first, so that a picture read by rows from its file is read once, from its start;
    // each band is copied out as soon as it is rendered, so that only one band's buffers live.
    const qint64 pictureBytes = qint64(rect.width()) * rect.height() * QImage::toPixelFormat(format).bitsPerPixel() / 8;
    if (pictureBytes + RenderGraph::cost(*image.node(), QRect(rect.topLeft(), QSize(rect.width(), rows))).peakBytes
        > RenderGraph::maxBytes) {
        logError(QStringLiteral("A picture of %1 × %2 pixels would need more than the %3 MiB a render may use")
                     .arg(rect.width())
                     .arg(rect.height())
                     .arg(RenderGraph::maxBytes >> 20));
        return {};
    }
    QImage picture(rect.size(), format);
    if (picture.isNull()) {
        logError(QStringLiteral("Could not allocate a picture of %1 × %2 pixels").arg(rect.width()).arg(rect.height()));
        return {};
    }
    const int bands = bandCount(rect, rows);
    for (int done = 0; done < bands; ++done) {
        RenderControl bandControl{control.stop, {}};
        if (control.progress)
            bandControl.progress = [&control, done, bands](double share) { control.progress((done + share) / bands); };
        const std::optional<Buffer> pixels = RenderGraph::render(*image.node(), bandOf(rect, rows, done), nullptr, bandControl);
        if (!pixels)
            return {};
        const QImage band = toQImage(*pixels, format);
        if (band.isNull())
            return {};
        const int first = done * rows;
        for (int y = 0; y < band.height(); ++y)
            std::memcpy(picture.scanLine(first + y), band.constScanLine(y), std::size_t(band.bytesPerLine()));
    }
    return picture;
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
