#include "platform/fx/Accumulator.h"

#include "platform/foundation/Log.h"
#include "platform/fx/Context.h"
#include "platform/fx/Extent.h"

#include <algorithm>
#include <cmath>

namespace platform::fx {

namespace {

float toEightBits(float value)
{
    return std::round(std::clamp(value, 0.0f, 1.0f) * 255.0f) / 255.0f;
}

} // namespace

Accumulator::Accumulator(const QRectF &extent, Format format)
    : m_extent(extent)
    , m_format(format)
{
}

bool Accumulator::setImage(const Image &image)
{
    if (m_extent.isEmpty() || Extent::isInfinite(m_extent)) {
        logError(QStringLiteral("An accumulator needs a finite, non-empty extent"));
        return false;
    }
    // Every pixel the extent touches, whole, as a render shows it: a crop to a fractional extent
    // would drop the partly covered pixels along two of its edges.
    const QRect touched = Extent::pixelsTouching(m_extent);
    std::optional<Buffer> pixels = Context().render(image.cropped(QRectF(touched)), touched);
    if (!pixels)
        return false;
    if (m_format == Format::ARGB8) {
        const QRect &rect = pixels->rect();
        for (int y = rect.top(); y <= rect.bottom(); ++y) {
            Pixel *row = pixels->row(y);
            for (int x = rect.left(); x <= rect.right(); ++x) {
                const float a = toEightBits(row[x].a);
                row[x] = {std::min(toEightBits(row[x].r), a), std::min(toEightBits(row[x].g), a),
                          std::min(toEightBits(row[x].b), a), a};
            }
        }
    }
    m_image = Image::fromBuffer(std::move(*pixels));
    return true;
}

} // namespace platform::fx
