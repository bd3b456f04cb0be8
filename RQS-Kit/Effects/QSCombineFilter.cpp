#include "RQS-Kit/Effects/QSCombineFilter.h"

#include "RQS-Kit/Effects/FilterInputs.h"
#include "RQS-Kit/Effects/BlendFormulas.h"
#include "platform/foundation/Log.h"

#include <mutex>

using namespace platform::fx;

namespace {

const QString ClassName = QStringLiteral("QSCombineFilter");

const QStringList &combinableModes()
{
    static const QStringList modes{"sourceOver", "multiply", "negativeMultiply"};
    return modes;
}

} // namespace

QSCombineFilter::QSCombineFilter()
    : QSFilter(ClassName, {rqs::inputs::image(QStringLiteral("inputImage")),
                           rqs::inputs::image(QStringLiteral("inputBackgroundImage")),
                           rqs::inputs::number(QStringLiteral("inputBackgroundIntensity")),
                           rqs::inputs::number(QStringLiteral("inputIntensity")),
                           rqs::inputs::text(QStringLiteral("blendMode"))})
{
    initializeClass();
}

void QSCombineFilter::initializeClass()
{
    static std::once_flag once;
    std::call_once(once, [] {
        registerInputKeys<QSCombineFilter>(
            {"inputImage", "inputBackgroundImage", "inputBackgroundIntensity", "inputIntensity", "blendMode"});
        for (const QString &name : combinableModes()) {
            const rqs::blend::Function function = *rqs::blend::modeNamed(name);
            KernelLibrary::add(ClassName, Kernel(name, [function](const KernelInvocation &k) {
                                   const Pixel background = k.sample(0, k.destCoord()) * float(k.number(2));
                                   const Pixel image = k.sample(1, k.destCoord()) * float(k.number(3));
                                   return rqs::blend::composite(function, image, background, 1);
                               }));
        }
    });
}

bool QSCombineFilter::isCombinableBlendMode(const QString &name)
{
    return combinableModes().contains(name);
}

Image QSCombineFilter::outputImage() const
{
    const Image image = imageValue(QStringLiteral("inputImage"));
    const Image background = imageValue(QStringLiteral("inputBackgroundImage"));
    if (background.isNull()) {
        platform::logWarning(QStringLiteral("Combine has no background image, so no output"));
        return {};
    }
    if (image.isNull()) {
        platform::logWarning(QStringLiteral("Combine has no image, so it answers the background"));
        return background;
    }
    const std::optional<Kernel> kernel = kernelWithName(value(QStringLiteral("blendMode")).toString());
    if (!kernel)
        return {};
    return kernel->apply({arrayForRect(background.extent()), {}},
                         {Sampler{background}, Sampler{image}, numberValue(QStringLiteral("inputBackgroundIntensity")),
                          numberValue(QStringLiteral("inputIntensity"))});
}
