#include "RQS-Kit/Effects/QSGradientMultiplyFilter.h"

#include "RQS-Kit/Effects/FilterInputs.h"
#include "RQS-Kit/Effects/GradientPicture.h"
#include "RQS-Kit/Effects/PixelwiseKernel.h"

#include <algorithm>
#include <cmath>
#include <numbers>

using namespace platform::fx;
using namespace rqs;

namespace {
const QString GradientKey = QStringLiteral("inputGradient");
const QString Angle = QStringLiteral("inputAngle");
} // namespace

QSGradientMultiplyFilter::QSGradientMultiplyFilter()
    : QSFilter(QStringLiteral("QSGradientMultiplyFilter"),
               {inputs::image(QStringLiteral("inputImage")),
                inputs::value(GradientKey, InputAttribute::Kind::Gradient,
                              QVariant::fromValue(platform::Gradient(QList<QColor>{Qt::black, Qt::white}))),
                inputs::slider(Angle, 0.0, -90.0, 270.0)})
{
}

void QSGradientMultiplyFilter::registerClass()
{
    KernelLibrary::add(QStringLiteral("QSGradientMultiplyFilter"),
                       Kernel(QStringLiteral("gradientMultiply"), [](const KernelInvocation &k) {
                           const Pixel p = k.sample(0, k.destCoord()), g = k.sample(1, k.destCoord());
                           return Pixel{p.r * g.r, p.g * g.g, p.b * g.b, p.a * g.a};
                       }));
    registerInputKeys<QSGradientMultiplyFilter>({QStringLiteral("inputImage"), GradientKey, Angle});
    registerFilterClass<QSGradientMultiplyFilter>();
}

Image QSGradientMultiplyFilter::outputImage() const
{
    const Image input = imageValue(QStringLiteral("inputImage"));
    const Image picture = rqs::gradientPicture(gradientValue(GradientKey));
    const std::unique_ptr<Filter> clamp = FilterRegistry::create(QStringLiteral("CIAffineClamp"));
    if (input.isNull() || picture.isNull() || !clamp)
        return input;
    const QRectF e = input.extent();
    const double degrees = numberValue(Angle);
    const double t = (90 - degrees) / 180 * std::numbers::pi;
    const double length = std::max(std::abs(-e.width() * std::sin(t) + e.height() * std::cos(t)),
                                   std::abs(-e.width() * std::sin(t) - e.height() * std::cos(t)));
    const double scale = length * 0.0009765625;
    const QTransform placed = QTransform()
                                  .translate(e.x() + e.width() * 0.5, e.y() + e.height() * 0.5)
                                  .scale(scale, scale)
                                  .rotate(-degrees)
                                  .translate(-512.0, -0.5);
    clamp->setValueForKey(QStringLiteral("inputImage"), QVariant::fromValue(picture));
    clamp->setValueForKey(QStringLiteral("inputTransform"), QVariant::fromValue(placed));
    const Image laid = clamp->outputImage();
    if (laid.isNull())
        return {};
    return rqs::applyPixelwise(kernel(), input, {Sampler{laid, Wrap::Transparent, Filtering::Nearest}});
}
