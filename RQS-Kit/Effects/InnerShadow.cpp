#include "RQS-Kit/Effects/InnerShadow.h"

#include "RQS-Kit/Effects/FilterApplication.h"
#include "RQS-Kit/Effects/QSFilter.h"

#include <algorithm>

using namespace platform::fx;

namespace rqs {

Pixel innerMultiply(const KernelInvocation &k)
{
    // A multiply darkens the colour; the picture stays as opaque as it was.
    const Pixel picture = k.sample(0, k.destCoord());
    const float f = 1.0f - k.sample(1, k.destCoord()).a;
    return {picture.r * f, picture.g * f, picture.b * f, picture.a};
}

Image innerShadow(const Image &mask, const QRectF &picture, double width)
{
    if (!(width > 0) || mask.isNull())
        return {};
    const double radius = std::min(picture.width(), picture.height()) * width;
    return applyFilter(QStringLiteral("CIGaussianBlur"), {{QStringLiteral("inputImage"), imageValue(mask)},
                                                         {QStringLiteral("inputRadius"), radius}})
        .cropped(picture);
}

Image shadowed(const std::optional<Kernel> &multiply, const Image &picture, const Image &shadow)
{
    if (shadow.isNull() || !multiply)
        return picture;
    return multiply->apply({QSFilter::arrayForRect(picture.extent()), {}},
                           {Sampler{picture, Wrap::Transparent, Filtering::Nearest},
                            Sampler{shadow, Wrap::Transparent, Filtering::Nearest}});
}

} // namespace rqs
