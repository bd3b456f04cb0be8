#include "RQS-Kit/Effects/QSAdjustableBlendFilter.h"

#include "RQS-Kit/Effects/FilterInputs.h"
#include "RQS-Kit/Effects/BlendFormulas.h"
#include "platform/foundation/Log.h"
#include "platform/fx/Extent.h"
#include "platform/fx/Numbers.h"

#include <mutex>

using namespace platform::fx;

namespace {

const QString ClassName = QStringLiteral("QSAdjustableBlendFilter");

Kernel blendKernel(const QString &name, rqs::blend::Function function)
{
    return Kernel(name, [function](const KernelInvocation &k) {
        return rqs::blend::composite(function, k.sample(0, k.destCoord()), k.sample(1, k.destCoord()),
                                     float(k.number(2)));
    });
}

// Scale, then move: scaling alone about the origin would leave an extent that does not start at
// (0, 0) beside the target.
Image stretchedOnto(const Image &image, const QRectF &target)
{
    const QRectF extent = image.extent();
    if (extent == target || Extent::isInfinite(extent) || Extent::isInfinite(target) || extent.isEmpty())
        return image;
    const double sx = target.width() / extent.width(), sy = target.height() / extent.height();
    return image.transformed(QTransform(sx, 0, 0, sy, target.x() - extent.x() * sx, target.y() - extent.y() * sy));
}

} // namespace

QSAdjustableBlendFilter::QSAdjustableBlendFilter()
    : QSFilter(ClassName, {rqs::inputs::image(QStringLiteral("inputImage")),
                           rqs::inputs::image(QStringLiteral("inputBackgroundImage")),
                           rqs::inputs::number(QStringLiteral("inputIntensity"), 1.0, 0.0, 0.0, 1.0),
                           rqs::inputs::text(QStringLiteral("inputBlendName"), QStringLiteral("sourceOver"), blendModeNames()),
                           rqs::inputs::flag(QStringLiteral("inputSwitchImages"), false),
                           rqs::inputs::flag(QStringLiteral("inputStretchToFit"), false),
                           rqs::inputs::number(QStringLiteral("inputUseExtent"), 0)})
{
    initializeClass();
}

void QSAdjustableBlendFilter::initializeClass()
{
    static std::once_flag once;
    std::call_once(once, [] {
        registerInputKeys<QSAdjustableBlendFilter>({"inputImage", "inputBackgroundImage", "inputIntensity",
                                                    "inputBlendName", "inputSwitchImages", "inputStretchToFit"});
        for (const QString &name : rqs::blend::modeNames())
            KernelLibrary::add(ClassName, blendKernel(name, *rqs::blend::modeNamed(name)));
        KernelLibrary::add(ClassName, blendKernel(QStringLiteral("blend"), *rqs::blend::modeNamed("sourceOver")));
    });
}

QStringList QSAdjustableBlendFilter::blendModeNames()
{
    initializeClass();
    return rqs::blend::modeNames();
}

QString QSAdjustableBlendFilter::verifiedBlendMode(const QString &name)
{
    initializeClass();
    return KernelLibrary::find(ClassName, name) ? name : QStringLiteral("sourceOver");
}

Image QSAdjustableBlendFilter::outputImage() const
{
    Image image = imageValue(QStringLiteral("inputImage"));
    Image background = imageValue(QStringLiteral("inputBackgroundImage"));
    if (image.isNull() || background.isNull())
        return image;
    const int useExtent = platform::fx::Numbers::toInt(numberValue(QStringLiteral("inputUseExtent")));
    const QRectF output = useExtent == 0 ? image.extent()
        : useExtent == 1                 ? background.extent()
                                         : image.extent().united(background.extent());
    if (value(QStringLiteral("inputStretchToFit")).toBool()) {
        image = stretchedOnto(image, output);
        background = stretchedOnto(background, output);
    }
    Sampler first{image}, second{background};
    if (value(QStringLiteral("inputSwitchImages")).toBool())
        std::swap(first, second);
    const QString name = value(QStringLiteral("inputBlendName")).toString();
    std::optional<Kernel> kernel = kernelWithName(name);
    if (!kernel) {
        platform::logWarning(QStringLiteral("Adjustable Blend could not find blend '%1'").arg(name));
        kernel = kernelWithName(QStringLiteral("blend"));
    }
    return kernel->apply({arrayForRect(output), {}}, {first, second, numberValue(QStringLiteral("inputIntensity"))});
}
