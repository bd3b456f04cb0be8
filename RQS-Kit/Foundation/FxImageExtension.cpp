#include "RQS-Kit/Foundation/FxImageExtension.h"

#include "platform/foundation/Log.h"
#include "platform/fx/Accumulator.h"
#include "platform/fx/Context.h"
#include "platform/fx/Extent.h"

#include <QColorSpace>

#include <cmath>

namespace rqs {

namespace {

// 64 MP: a float render of it already takes 1 GB.
constexpr double maxPixels = double(1 << 26);

} // namespace

QImage newCGImage(const platform::fx::Image &image)
{
    const QRectF extent = image.extent();
    const double width = std::trunc(extent.width()), height = std::trunc(extent.height());
    if (image.isNull() || platform::fx::Extent::isInfinite(extent) || width < 1 || height < 1
        || width * height > maxPixels) {
        platform::logWarning(QStringLiteral("Cannot make a bitmap of an image of extent %1 x %2")
                                 .arg(extent.width())
                                 .arg(extent.height()));
        return {};
    }
    const QRect pixels(int(std::floor(extent.x())), int(std::floor(extent.y())), int(width), int(height));
    const std::optional<platform::fx::Buffer> rendered = platform::fx::Context().render(image, pixels);
    if (!rendered)
        return {};
    QImage bitmap = platform::fx::Context::toQImage(*rendered, QImage::Format_ARGB32_Premultiplied);
    bitmap.setColorSpace(QColorSpace::SRgb);
    return bitmap;
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
