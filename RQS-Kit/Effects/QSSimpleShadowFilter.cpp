#include "RQS-Kit/Effects/QSSimpleShadowFilter.h"

#include "RQS-Kit/Effects/FilterApplication.h"

#include <cmath>
#include <mutex>

using namespace platform::fx;

namespace {

const QString ClassName = QStringLiteral("QSSimpleShadowFilter");

// The picture's coverage in the colour given as a straight (r, g, b, a) vector.
Pixel silhouette(const KernelInvocation &k)
{
    const float coverage = k.sample(0, k.destCoord()).a;
    const Vector c = k.vector(1);
    const auto alpha = float(c[3]) * coverage;
    return {float(c[0]) * alpha, float(c[1]) * alpha, float(c[2]) * alpha, alpha};
}

} // namespace

QSSimpleShadowFilter::QSSimpleShadowFilter()
    : QSFilter(ClassName,
               {{QStringLiteral("inputImage"), InputAttribute::Kind::Image},
                {QStringLiteral("inputRadius"), InputAttribute::Kind::Number, 5.0, 0.0},
                {QStringLiteral("inputDistance"), InputAttribute::Kind::Number, 2.0, {}, {}, 0.0, 100.0},
                {QStringLiteral("inputDirection"), InputAttribute::Kind::Number, 135.0, {}, {}, 0.0, 360.0},
                {QStringLiteral("inputColor"), InputAttribute::Kind::Color, QVariant::fromValue(Color{0, 0, 0, 0.75f})}})
{
}

void QSSimpleShadowFilter::registerClass()
{
    static std::once_flag once;
    std::call_once(once, [] {
        KernelLibrary::add(ClassName, Kernel(QStringLiteral("silhouette"), silhouette));
        registerInputKeys<QSSimpleShadowFilter>({QStringLiteral("inputImage"), QStringLiteral("inputRadius"),
                                                 QStringLiteral("inputDistance"), QStringLiteral("inputDirection"),
                                                 QStringLiteral("inputColor")});
        registerFilterClass<QSSimpleShadowFilter>();
    });
}

Image QSSimpleShadowFilter::outputImage() const
{
    const Image input = imageValue(QStringLiteral("inputImage"));
    const std::optional<Kernel> body = kernel();
    if (input.isNull() || !body)
        return {};
    const double r = numberValue(QStringLiteral("inputRadius"));
    const double d = numberValue(QStringLiteral("inputDistance"));
    const double theta = (numberValue(QStringLiteral("inputDirection")) - 90.0) / -180.0 * M_PI;
    const Color c = colorValue(QStringLiteral("inputColor"));

    const Image shape = body->apply({arrayForRect(input.extent()), {}}, {Sampler{input}, Vector{{c.r, c.g, c.b, c.a}, 4}});
    const QRectF reach = shape.extent().adjusted(-3 * r, -3 * r, 3 * r, 3 * r);
    const Image blurred = rqs::applyFilter(QStringLiteral("CIGaussianBlur"),
                                           {{QStringLiteral("inputImage"), rqs::imageValue(shape)},
                                            {QStringLiteral("inputRadius"), r}})
                              .cropped(reach);
    const Image moved = blurred.transformed(QTransform::fromTranslate(std::cos(theta) * d, std::sin(theta) * d));
    return rqs::applyFilter(QStringLiteral("CISourceOverCompositing"),
                            {{QStringLiteral("inputImage"), rqs::imageValue(input)},
                             {QStringLiteral("inputBackgroundImage"), rqs::imageValue(moved)}})
        .cropped(moved.extent() | input.extent());
}
