#include "RQS-Kit/Effects/QSImageOverlayFilter.h"

#include "RQS-Kit/Effects/FilterApplication.h"

#include <mutex>

using namespace platform::fx;

namespace {

const QString ClassName = QStringLiteral("QSImageOverlayFilter");

Pixel tileOver(const KernelInvocation &k)
{
    const Pixel background = k.sample(0, k.destCoord()), tile = k.sample(1, k.destCoord());
    return tile + background * (1 - tile.a);
}

} // namespace

QSImageOverlayFilter::QSImageOverlayFilter()
    : QSFilter(ClassName, {{QStringLiteral("inputImage"), InputAttribute::Kind::Image},
                           {QStringLiteral("inputBackgroundImage"), InputAttribute::Kind::Image},
                           {QStringLiteral("inputRotation"), InputAttribute::Kind::Number, 0.0}})
{
}

void QSImageOverlayFilter::registerClass()
{
    static std::once_flag once;
    std::call_once(once, [] {
        KernelLibrary::add(ClassName, Kernel(QStringLiteral("tileOver"), tileOver));
        registerInputKeys<QSImageOverlayFilter>({QStringLiteral("inputImage"), QStringLiteral("inputBackgroundImage"),
                                                 QStringLiteral("inputRotation")});
        registerFilterClass<QSImageOverlayFilter>();
    });
}

Image QSImageOverlayFilter::outputImage() const
{
    const Image input = imageValue(QStringLiteral("inputImage"));
    const Image background = imageValue(QStringLiteral("inputBackgroundImage"));
    const std::optional<Kernel> body = kernel();
    if (input.isNull() || background.isNull() || !body)
        return input;
    const Image tiling = rqs::applyFilter(
        QStringLiteral("CIAffineTile"),
        {{QStringLiteral("inputImage"), rqs::imageValue(input)},
         {QStringLiteral("inputTransform"), QVariant::fromValue(QTransform().rotate(numberValue(QStringLiteral("inputRotation"))))}});
    if (tiling.isNull())
        return input;
    return body->apply({arrayForRect(background.extent()), {}}, {Sampler{background}, Sampler{tiling}});
}
