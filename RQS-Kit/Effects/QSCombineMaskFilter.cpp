#include "RQS-Kit/Effects/QSCombineMaskFilter.h"

#include "RQS-Kit/Effects/FilterInputs.h"
#include "platform/foundation/Log.h"

#include <algorithm>
#include <mutex>

using namespace platform::fx;

namespace {

const QString ClassName = QStringLiteral("QSCombineMaskFilter");

// One axis: u in the external span [e0, e1] to the internal span [i0, i1].
double toInternal(double u, double e0, double e1, double i0, double i1, double corner, double scale)
{
    const double outer = std::min(corner * scale, (e1 - e0) / 2);
    const double inner = outer / scale;
    if (u - e0 < outer)
        return i0 + (u - e0) / scale;
    if (e1 - u < outer)
        return i1 - (e1 - u) / scale;
    const double middle = e1 - e0 - 2 * outer;
    if (middle <= 0)
        return (i0 + i1) / 2;
    return i0 + inner + (u - e0 - outer) / middle * (i1 - i0 - 2 * inner);
}

} // namespace

QSCombineMaskFilter::QSCombineMaskFilter()
    : QSFilter(ClassName, {rqs::inputs::image(QStringLiteral("inputImage")),
                           rqs::inputs::image(QStringLiteral("inputBackgroundImage")),
                           rqs::inputs::vector(QStringLiteral("inputCornerRadius"), Vector{{0, 0}, 2}),
                           rqs::inputs::number(QStringLiteral("inputScale"), 1.0)})
{
    initializeClass();
}

void QSCombineMaskFilter::initializeClass()
{
    static std::once_flag once;
    std::call_once(once, [] {
        registerInputKeys<QSCombineMaskFilter>({"inputImage", "inputBackgroundImage", "inputCornerRadius", "inputScale"});
        KernelLibrary::add(ClassName, Kernel(QStringLiteral("combineMask"), [](const KernelInvocation &k) {
                               const QPointF p = k.destCoord();
                               const QRectF e = k.samplerExtent(0), i = k.samplerExtent(1);
                               const Vector corner = k.vector(2);
                               const double scale = k.number(3);
                               const QPointF q(toInternal(p.x(), e.left(), e.right(), i.left(), i.right(), corner[0], scale),
                                               toInternal(p.y(), e.top(), e.bottom(), i.top(), i.bottom(), corner[1], scale));
                               return k.sample(0, p) * k.sample(1, q).a;
                           }));
    });
}

Image QSCombineMaskFilter::outputImage() const
{
    const Image internal = imageValue(QStringLiteral("inputImage"));
    const Image external = imageValue(QStringLiteral("inputBackgroundImage"));
    if (internal.isNull() || external.isNull())
        return internal;
    const double scale = numberValue(QStringLiteral("inputScale"));
    if (scale <= 0) {
        platform::logWarning(QStringLiteral("Combine mask cannot scale by %1; the internal mask stays alone").arg(scale));
        return internal;
    }
    const QRectF internalExtent = internal.extent();
    const ApplyOptions options{arrayForRect(external.extent()), [internalExtent](int argument, const QRectF &rect) {
                                   return argument == 1 ? internalExtent : rect.adjusted(-1, -1, 1, 1);
                               }};
    return kernel()->apply(options, {Sampler{external}, Sampler{internal, Wrap::Clamp},
                                     vectorValue(QStringLiteral("inputCornerRadius")), scale});
}
