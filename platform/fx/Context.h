#pragma once

#include "platform/fx/Image.h"
#include "platform/fx/RenderGraph.h"

#include <QImage>

#include <optional>

namespace platform::fx {

// Renders recipes. Holds nothing between calls, so one context serves any thread. Every failure
// (null image, an infinite or empty rectangle, too many pixels) answers nullopt or a null picture
// with an "Error: " line.
class Context
{
public:
    // Over the image's extent (its pixels touched, rounded outwards), which must be finite.
    std::optional<Buffer> render(const Image &image, RenderStats *stats = nullptr) const;
    std::optional<Buffer> render(const Image &image, const QRect &rect, RenderStats *stats = nullptr,
                                 const RenderControl &control = {}) const;
    // The pixels of the rectangle (rounded outwards) as a picture, rows top to bottom; colours
    // clamped to 0..alpha, alpha to 0..1. A large picture is rendered in bands, so that its
    // float pixels are never all held at once.
    QImage createImage(const Image &image, const QRectF &from, QImage::Format format = QImage::Format_ARGB32_Premultiplied,
                       const RenderControl &control = {}) const;
    // Why createImage cannot make the picture of the rectangle within the render budgets, before
    // it starts; empty when it can. The whole render counts: the steps of every band it is made
    // in, and the picture made of them.
    static QString budgetRefusal(const Image &image, const QRect &rect);
    // The rows of a band of the rectangle's picture that holds no more than the bytes given while
    // it is rendered, unless bands that thin would compute their margins over and over; at least 1.
    static int bandRows(const Image &image, const QRect &rect, qint64 bytes);
    // Draws the part from of the image into the rectangle in of the current graphics context.
    bool draw(const Image &image, const QRectF &in, const QRectF &from) const;
    // The mean colour over the image's extent, not premultiplied; a fully transparent image gives
    // (0, 0, 0, 0).
    std::optional<Color> averageColor(const Image &image) const;

    static QImage toQImage(const Buffer &pixels, QImage::Format format);

private:
    // False after an "Error: " line.
    static bool canRender(const Image &image, const QRect &rect);
};

} // namespace platform::fx
