#include "RQS-Kit/Effects/QSReplaceColorFilter.h"

#include "RQS-Kit/Effects/FilterInputs.h"
#include "RQS-Kit/Effects/KernelColor.h"
#include "RQS-Kit/Effects/PixelwiseKernel.h"
#include "RQS-Kit/Foundation/FxColorExtension.h"

#include <algorithm>

using namespace platform::fx;
using namespace rqs;
using namespace rqs::kernelcolor;

namespace {
const QString ColorKey = QStringLiteral("inputColor");
const QString Target = QStringLiteral("inputTargetColor");
const QString Intensity = QStringLiteral("inputIntensity");
} // namespace

QSReplaceColorFilter::QSReplaceColorFilter()
    : QSFilter(QStringLiteral("QSReplaceColorFilter"),
               {inputs::image(QStringLiteral("inputImage")),
                inputs::value(ColorKey, InputAttribute::Kind::Color, QVariant::fromValue(Color{1, 0, 0, 1})),
                inputs::value(Target, InputAttribute::Kind::Color, QVariant::fromValue(Color{0, 1, 0, 1})),
                inputs::bounded(Intensity, 0.4, 0.0, 1.0)})
{
}

void QSReplaceColorFilter::registerClass()
{
    KernelLibrary::add(QStringLiteral("QSReplaceColorFilter"), Kernel(QStringLiteral("replaceColor"), [](const KernelInvocation &k) {
        const Straight colour = unpremultiplied(k.sample(0, k.destCoord()));
        const Hsv from = hsv(colour);
        const Vector ratios = k.vector(4);
        const Hsv to{float(k.number(2)), std::clamp(from.saturation * float(ratios[0]), 0.0f, 1.0f),
                     std::clamp(from.value * float(ratios[1]), 0.0f, 1.0f)};
        const float weight = float(k.number(5)) * hueNearness(from.hue, float(k.number(1)));
        return premultiplied(mix(colour, fromHsv(to, colour.a * float(k.number(3))), weight));
    }));
    registerInputKeys<QSReplaceColorFilter>({QStringLiteral("inputImage"), ColorKey, Target, Intensity});
    registerFilterClass<QSReplaceColorFilter>();
}

Image QSReplaceColorFilter::outputImage() const
{
    const Image input = imageValue(QStringLiteral("inputImage"));
    if (input.isNull())
        return {};
    const QSColor::Hsv from = rqs::hsv(colorValue(ColorKey)), to = rqs::hsv(colorValue(Target));
    // A grey or black source colour must not divide by zero.
    const Vector ratios{{to.saturation / std::max(from.saturation, 0.01), to.value / std::max(from.value, 0.01)}, 2};
    return rqs::applyPixelwise(kernel(), input,
                               {from.hue, to.hue, double(colorValue(Target).a), ratios, numberValue(Intensity)});
}
