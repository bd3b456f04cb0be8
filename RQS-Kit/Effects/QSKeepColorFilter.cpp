#include "RQS-Kit/Effects/QSKeepColorFilter.h"

#include "RQS-Kit/Effects/FilterInputs.h"
#include "RQS-Kit/Effects/KernelColor.h"
#include "RQS-Kit/Effects/PixelwiseKernel.h"
#include "RQS-Kit/Foundation/FxColorExtension.h"

using namespace platform::fx;
using namespace rqs;
using namespace rqs::kernelcolor;

namespace {
const QString ColorKey = QStringLiteral("inputColor");
const QString Intensity = QStringLiteral("inputIntensity");
} // namespace

QSKeepColorFilter::QSKeepColorFilter()
    : QSFilter(QStringLiteral("QSKeepColorFilter"),
               {inputs::image(QStringLiteral("inputImage")),
                inputs::value(ColorKey, InputAttribute::Kind::Color, QVariant::fromValue(Color{1, 0, 0, 1})),
                inputs::bounded(Intensity, 0.4, 0.0, 1.0)})
{
}

void QSKeepColorFilter::registerClass()
{
    KernelLibrary::add(QStringLiteral("QSKeepColorFilter"), Kernel(QStringLiteral("keepColor"), [](const KernelInvocation &k) {
        const Straight colour = unpremultiplied(k.sample(0, k.destCoord()));
        const float grey = luma(colour);
        const float greying = float(k.number(2)) * (1 - hueNearness(hsv(colour).hue, float(k.number(1))));
        return premultiplied(mix(colour, {grey, grey, grey, colour.a}, greying));
    }));
    registerInputKeys<QSKeepColorFilter>({QStringLiteral("inputImage"), ColorKey, Intensity});
    registerFilterClass<QSKeepColorFilter>();
}

Image QSKeepColorFilter::outputImage() const
{
    const Image input = imageValue(QStringLiteral("inputImage"));
    if (input.isNull())
        return {};
    return rqs::applyPixelwise(kernel(), input, {rqs::hsv(colorValue(ColorKey)).hue, numberValue(Intensity)});
}
