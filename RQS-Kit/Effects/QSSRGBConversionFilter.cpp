#include "RQS-Kit/Effects/QSSRGBConversionFilter.h"

#include "RQS-Kit/Effects/FilterInputs.h"
#include "RQS-Kit/Effects/KernelColor.h"
#include "RQS-Kit/Effects/PixelwiseKernel.h"

#include <cmath>

using namespace platform::fx;
using namespace rqs;
using namespace rqs::kernelcolor;

namespace {

float toLinear(float c)
{
    return c <= 0.04045f ? c / 12.92f : std::pow((c + 0.055f) / 1.055f, 2.4f);
}

float toSRGB(float c)
{
    return c <= 0.0031308f ? c * 12.92f : 1.055f * std::pow(c, 1 / 2.4f) - 0.055f;
}

Kernel curveKernel(const QString &name, float (*curve)(float))
{
    return Kernel(name, [curve](const KernelInvocation &k) {
        const Straight c = unpremultiplied(k.sample(0, k.destCoord()));
        return premultiplied({curve(c.r), curve(c.g), curve(c.b), c.a});
    });
}

} // namespace

QSSRGBConversionFilter::QSSRGBConversionFilter()
    : QSFilter(QStringLiteral("QSSRGBConversionFilter"), {inputs::image(QStringLiteral("inputImage"))})
{
}

void QSSRGBConversionFilter::registerClass()
{
    KernelLibrary::add(QStringLiteral("QSSRGBConversionFilter"), curveKernel(QStringLiteral("sRGB2RGBAlpha"), toLinear));
    KernelLibrary::add(QStringLiteral("QSSRGBConversionFilter"), curveKernel(QStringLiteral("RGB2sRGBAlpha"), toSRGB));
    registerInputKeys<QSSRGBConversionFilter>({QStringLiteral("inputImage")});
    registerForCopying<QSSRGBConversionFilter>({QStringLiteral("toRGB")});
    registerFilterClass<QSSRGBConversionFilter>();
}

Image QSSRGBConversionFilter::outputImage() const
{
    const Image input = imageValue(QStringLiteral("inputImage"));
    if (input.isNull())
        return {};
    return rqs::applyPixelwise(kernelWithName(m_toRGB ? QStringLiteral("sRGB2RGBAlpha") : QStringLiteral("RGB2sRGBAlpha")),
                               input, {});
}
