#include "RQS-Kit/Effects/QSBlendWithMaskFilter.h"

#include "RQS-Kit/Effects/FilterInputs.h"
#include <mutex>

using namespace platform::fx;

namespace {

const QString ClassName = QStringLiteral("QSBlendWithMaskFilter");

} // namespace

QSBlendWithMaskFilter::QSBlendWithMaskFilter()
    : QSFilter(ClassName, {rqs::inputs::image(QStringLiteral("inputImage")),
                           rqs::inputs::image(QStringLiteral("inputBackgroundImage")),
                           rqs::inputs::image(QStringLiteral("inputMaskImage"))})
{
    initializeClass();
}

void QSBlendWithMaskFilter::initializeClass()
{
    static std::once_flag once;
    std::call_once(once, [] {
        registerInputKeys<QSBlendWithMaskFilter>({"inputImage", "inputBackgroundImage", "inputMaskImage"});
        KernelLibrary::add(ClassName, Kernel(QStringLiteral("blendWithMask"), [](const KernelInvocation &k) {
                               const QPointF p = k.destCoord();
                               const Vector bounds = k.vector(3);
                               if (p.x() < bounds[0] || p.y() < bounds[1] || p.x() > bounds[2] || p.y() > bounds[3])
                                   return Pixel{};
                               const Pixel background = k.sample(0, p);
                               const Pixel image = k.sample(1, p);
                               const float mask = k.sample(2, p).a;
                               return background * (1 - mask) + image * mask;
                           }));
    });
}

Image QSBlendWithMaskFilter::outputImage() const
{
    const Image image = imageValue(QStringLiteral("inputImage"));
    const Image background = imageValue(QStringLiteral("inputBackgroundImage"));
    const Image mask = imageValue(QStringLiteral("inputMaskImage"));
    if (image.isNull() || background.isNull() || mask.isNull())
        return image;
    const QRectF r = background.extent().united(image.extent().united(mask.extent()));
    return kernel()->apply({r, {}}, {Sampler{background}, Sampler{image}, Sampler{mask},
                                     Vector{{r.left(), r.top(), r.right(), r.bottom()}, 4}});
}
