#include "RQS-Kit/Foundation/FxImageExtension.h"

#include "platform/foundation/Log.h"
#include "platform/fx/Accumulator.h"
#include "platform/fx/Context.h"
#include "platform/fx/Extent.h"

#include <QColorSpace>

#include <cmath>
#include <memory>
#include <mutex>

namespace rqs {

namespace {

// 64 MP: a float render of it already takes 1 GB.
constexpr double maxPixels = double(1 << 26);

// False, with a warning, for an image no bitmap can be made of at that size.
bool canMakeBitmap(const platform::fx::Image &image, double width, double height)
{
    const QRectF extent = image.extent();
    if (!image.isNull() && !platform::fx::Extent::isInfinite(extent) && width >= 1 && height >= 1 && width * height <= maxPixels)
        return true;
    platform::logWarning(QStringLiteral("Cannot make a bitmap of an image of extent %1 x %2").arg(extent.width()).arg(extent.height()));
    return false;
}

std::mutex unrenderedContextLock;
std::shared_ptr<const platform::fx::Context> unrenderedContext;

std::shared_ptr<const platform::fx::Context> sharedUnrenderedContext()
{
    const std::lock_guard<std::mutex> locked(unrenderedContextLock);
    if (!unrenderedContext)
        unrenderedContext = std::make_shared<const platform::fx::Context>();
    return unrenderedContext;
}

} // namespace

QImage newCGImage(const platform::fx::Image &image)
{
    const QRectF extent = image.extent();
    const double width = std::trunc(extent.width()), height = std::trunc(extent.height());
    if (!canMakeBitmap(image, width, height))
        return {};
    const QRect pixels(int(std::floor(extent.x())), int(std::floor(extent.y())), int(width), int(height));
    const std::optional<platform::fx::Buffer> rendered = platform::fx::Context().render(image, pixels);
    if (!rendered)
        return {};
    QImage bitmap = platform::fx::Context::toQImage(*rendered, QImage::Format_ARGB32_Premultiplied);
    bitmap.setColorSpace(QColorSpace::SRgb);
    return bitmap;
}

QImage newCGImageUnrendered(const platform::fx::Image &image)
{
    const QRect pixels = platform::fx::Extent::pixelsTouching(image.extent());
    if (!canMakeBitmap(image, pixels.width(), pixels.height()))
        return {};
    return sharedUnrenderedContext()->createImage(image, pixels, QImage::Format_RGBA8888_Premultiplied);
}

QImage newCGImageViaNSImage(const platform::fx::Image &image)
{
    const QRectF extent = image.extent();
    const double width = std::ceil(extent.width()), height = std::ceil(extent.height());
    if (!canMakeBitmap(image, width, height))
        return {};
    const platform::fx::Image atOrigin = std::abs(extent.x()) + std::abs(extent.y()) > 0
        ? image.transformed(QTransform::fromTranslate(-extent.x(), -extent.y()))
        : image;
    QImage bitmap = platform::fx::Context().createImage(atOrigin, QRectF(0, 0, width, height));
    bitmap.setColorSpace(QColorSpace::SRgb);
    return bitmap;
}

void createContext()
{
    auto made = std::make_shared<const platform::fx::Context>();
    const std::lock_guard<std::mutex> locked(unrenderedContextLock);
    unrenderedContext = std::move(made);
}

platform::fx::Image fixedImage(const platform::fx::Image &image)
{
    const QRectF extent = image.extent();
    if (extent.width() <= 0 || extent.height() <= 0 || platform::fx::Extent::isInfinite(extent))
        return image;
    platform::fx::Accumulator accumulator(extent, platform::fx::Accumulator::Format::ARGB8);
    return accumulator.setImage(image) ? accumulator.image() : image;
}

std::optional<platform::fx::Color> averageColor(const platform::fx::Image &image)
{
    std::optional<platform::fx::Color> mean = platform::fx::Context().averageColor(image);
    if (mean && mean->a < 0.001f) {
        const float scale = mean->a / 0.001f;
        mean = platform::fx::Color{mean->r * scale, mean->g * scale, mean->b * scale, mean->a};
    }
    return mean;
}

platform::fx::Sampler samplerWithNonNilImage(const platform::fx::Image &image, platform::fx::Wrap wrap,
                                             platform::fx::Filtering filtering)
{
    if (image.isNull())
        platform::logWarning(QStringLiteral("Trying to create Sampler with nil image"));
    return {image, wrap, filtering};
}

} // namespace rqs
