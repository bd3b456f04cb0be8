#include "RQS-Kit/Effects/QSColorMultiplyFilter.h"

#include "RQS-Kit/Effects/FilterInputs.h"
#include "RQS-Kit/Effects/PixelwiseKernel.h"

using namespace platform::fx;
using namespace rqs;

namespace {
const QString ColorKey = QStringLiteral("inputColor");
}

QSColorMultiplyFilter::QSColorMultiplyFilter()
    : QSFilter(QStringLiteral("QSColorMultiplyFilter"),
               {inputs::image(QStringLiteral("inputImage")),
                inputs::value(ColorKey, InputAttribute::Kind::Color, QVariant::fromValue(Color{0.55f, 0.7f, 1.0f, 1.0f}))})
{
}

void QSColorMultiplyFilter::registerClass()
{
    KernelLibrary::add(QStringLiteral("QSColorMultiplyFilter"), Kernel(QStringLiteral("colorMultiply"), [](const KernelInvocation &k) {
        const Pixel p = k.sample(0, k.destCoord()), c = k.color(1).premultiplied();
        return Pixel{p.r * c.r, p.g * c.g, p.b * c.b, p.a * c.a};
    }));
    registerInputKeys<QSColorMultiplyFilter>({QStringLiteral("inputImage"), ColorKey});
    registerFilterClass<QSColorMultiplyFilter>();
}

Image QSColorMultiplyFilter::outputImage() const
{
    const Image input = imageValue(QStringLiteral("inputImage"));
    if (input.isNull())
        return {};
    return rqs::applyPixelwise(kernel(), input, {colorValue(ColorKey)});
}
