#include "RQS-Kit/Effects/QSRotateColorFilter.h"

#include "RQS-Kit/Effects/FilterInputs.h"
#include "RQS-Kit/Effects/KernelColor.h"
#include "RQS-Kit/Effects/PixelwiseKernel.h"

using namespace platform::fx;
using namespace rqs;
using namespace rqs::kernelcolor;

namespace {
const QString Angle = QStringLiteral("inputAngle");
}

QSRotateColorFilter::QSRotateColorFilter()
    : QSFilter(QStringLiteral("QSRotateColorFilter"),
               {inputs::image(QStringLiteral("inputImage")),
                inputs::bounded(Angle, 0.5, 0.0, 1.0)})
{
}

void QSRotateColorFilter::registerClass()
{
    KernelLibrary::add(QStringLiteral("QSRotateColorFilter"), Kernel(QStringLiteral("rotateColor"), [](const KernelInvocation &k) {
        const Straight colour = unpremultiplied(k.sample(0, k.destCoord()));
        Hsv turned = hsv(colour);
        turned.hue += float(k.number(1));
        return premultiplied(fromHsv(turned, colour.a));
    }));
    registerInputKeys<QSRotateColorFilter>({QStringLiteral("inputImage"), Angle});
    registerFilterClass<QSRotateColorFilter>();
}

Image QSRotateColorFilter::outputImage() const
{
    const Image input = imageValue(QStringLiteral("inputImage"));
    if (input.isNull())
        return {};
    return rqs::applyPixelwise(kernel(), input, {numberValue(Angle)});
}
