#include "RQS-Kit/Effects/QSGradientMapFilter.h"

#include "RQS-Kit/Effects/FilterInputs.h"
#include "RQS-Kit/Effects/GradientPicture.h"
#include "RQS-Kit/Effects/KernelColor.h"
#include "RQS-Kit/Effects/PixelwiseKernel.h"
#include "RQS-Kit/Foundation/FxColorExtension.h"

#include <algorithm>

using namespace platform::fx;
using namespace rqs;
using namespace rqs::kernelcolor;

namespace {

const QString ColorKey = QStringLiteral("inputColor");
const QString GradientKey = QStringLiteral("inputGradient");

Pixel mapTone(const KernelInvocation &k)
{
    const Straight colour = unpremultiplied(k.sample(0, k.destCoord()));
    const Vector tint = k.vector(2);
    const float t = std::clamp(luma(colour), 0.0f, 1.0f);
    const float bent = std::clamp(float(tint[3]) * t + float(tint[2]) * t * (2 - t), 0.0f, 1.0f);
    const Straight looked = unpremultiplied(k.sample(1, QPointF(bent * 1023 + 0.5, 0.5)));
    const Straight tinted = fromHsv({float(tint[0]), float(tint[1]), hsv(looked).value}, looked.a);
    Straight mapped = mix(looked, tinted, float(tint[1]));
    mapped.a = looked.a * colour.a;
    return premultiplied(mapped);
}

} // namespace

QSGradientMapFilter::QSGradientMapFilter()
    : QSFilter(QStringLiteral("QSGradientMapFilter"),
               {inputs::image(QStringLiteral("inputImage")),
                inputs::value(ColorKey, InputAttribute::Kind::Color, QVariant::fromValue(Color{0.5f, 0.5f, 0.5f, 1})),
                inputs::value(GradientKey, InputAttribute::Kind::Gradient,
                              QVariant::fromValue(platform::Gradient(QList<QColor>{
                                  Qt::black, QColor::fromRgbF(0, 103 / 255.0f, 177 / 255.0f), Qt::white})))})
{
}

void QSGradientMapFilter::registerClass()
{
    KernelLibrary::add(QStringLiteral("QSGradientMapFilter"), Kernel(QStringLiteral("gradientMap"), mapTone));
    registerInputKeys<QSGradientMapFilter>({QStringLiteral("inputImage"), ColorKey, GradientKey});
    registerFilterClass<QSGradientMapFilter>();
}

Image QSGradientMapFilter::outputImage() const
{
    const Image input = imageValue(QStringLiteral("inputImage"));
    const Image picture = rqs::gradientPicture(gradientValue(GradientKey));
    if (input.isNull() || picture.isNull())
        return input;
    const Color colour = colorValue(ColorKey);
    const QSColor::Hsv hsv = rqs::hsv(colour);
    const double lightness = rqs::hsl(colour).value;
    const double z = ((1 - lightness) * 0.67 + 0.165) * -4.0 + 2.0;
    const QRectF pictureExtent = picture.extent();
    return rqs::applyPixelwise(kernel(), input,
                               {Sampler{picture, Wrap::Clamp, Filtering::Nearest}, Vector{{hsv.hue, hsv.saturation, z, 1 - z}, 4}},
                               [pictureExtent](int, const QRectF &) { return pictureExtent; });
}
