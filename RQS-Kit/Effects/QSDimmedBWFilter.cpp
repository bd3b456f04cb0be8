#include "RQS-Kit/Effects/QSDimmedBWFilter.h"

#include "RQS-Kit/Effects/FilterInputs.h"
#include "RQS-Kit/Effects/KernelColor.h"
#include "RQS-Kit/Effects/PixelwiseKernel.h"

using namespace platform::fx;
using namespace rqs;
using namespace rqs::kernelcolor;

namespace {
const QString Brightness = QStringLiteral("inputBrightness");
}

QSDimmedBWFilter::QSDimmedBWFilter()
    : QSFilter(QStringLiteral("QSDimmedBWFilter"),
               {inputs::image(QStringLiteral("inputImage")),
                inputs::bounded(Brightness, 0.6, 0.0, 1.0)})
{
}

void QSDimmedBWFilter::registerClass()
{
    KernelLibrary::add(QStringLiteral("QSDimmedBWFilter"), Kernel(QStringLiteral("dimmedBW"), [](const KernelInvocation &k) {
        const Straight colour = unpremultiplied(k.sample(0, k.destCoord()));
        const float grey = luma(colour) * float(k.number(1));
        return premultiplied({grey, grey, grey, colour.a});
    }));
    registerInputKeys<QSDimmedBWFilter>({QStringLiteral("inputImage"), Brightness});
    registerFilterClass<QSDimmedBWFilter>();
}

QSDimmedBWFilter &QSDimmedBWFilter::sharedDimmedBWFilter()
{
    static QSDimmedBWFilter *shared = [] {
        auto *made = new QSDimmedBWFilter;
        made->setDefaults();
        return made;
    }();
    return *shared;
}

Image QSDimmedBWFilter::outputImage() const
{
    const Image input = imageValue(QStringLiteral("inputImage"));
    if (input.isNull())
        return {};
    return rqs::applyPixelwise(kernel(), input, {numberValue(Brightness)});
}
