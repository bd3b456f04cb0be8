#include "RQS-Kit/Effects/QSReflectionFilter.h"

#include "RQS-Kit/Effects/FilterInputs.h"
#include "platform/foundation/Log.h"

#include <algorithm>
#include <cmath>

using namespace platform::fx;
using namespace rqs;

namespace {

const QString Intensity = QStringLiteral("inputIntensity");
const QString Height = QStringLiteral("inputHeight");
const QString Distance = QStringLiteral("inputDistance");
const QString Proportion = QStringLiteral("inputProportion");

Pixel reflect(const KernelInvocation &k)
{
    const QPointF p = k.destCoord();
    const double bottom = k.number(1), mirrorHeight = k.number(3), gap = k.number(4);
    if (p.y() >= bottom)
        return k.sample(0, p);
    const double mirrorTop = bottom - gap;
    if (p.y() >= mirrorTop || p.y() < mirrorTop - mirrorHeight)
        return {};
    return k.sample(0, QPointF(p.x(), 2 * bottom - gap - p.y())) * float(k.number(2));
}

} // namespace

QSReflectionFilter::QSReflectionFilter()
    : QSFilter(QStringLiteral("QSReflectionFilter"),
               {inputs::image(QStringLiteral("inputImage")),
                inputs::slider(Intensity, 0.4, 0.0, 1.0),
                inputs::slider(Height, 0.5, 0.0, 1.0),
                inputs::slider(Distance, 0.0, 0.0, 1.0),
                inputs::value(Proportion, InputAttribute::Kind::Number, 1.0)})
{
}

void QSReflectionFilter::registerClass()
{
    KernelLibrary::add(QStringLiteral("QSReflectionFilter"), Kernel(QStringLiteral("reflection"), reflect));
    registerInputKeys<QSReflectionFilter>({QStringLiteral("inputImage"), Intensity, Height, Distance, Proportion});
    registerFilterClass<QSReflectionFilter>();
}

QRectF QSReflectionFilter::reflectionROI(const QRectF &d, double b, double g)
{
    if (d.y() >= b)
        return d;
    if (d.y() + d.height() <= b)
        return QRectF(d.x(), 2 * b - (d.y() + d.height() + g), d.width(), d.height());
    return QRectF(d.x(), b, d.width(), std::max(std::abs((b - d.y()) - g), std::abs((d.y() + d.height()) - b)));
}

Image QSReflectionFilter::outputImage() const
{
    const Image input = imageValue(QStringLiteral("inputImage"));
    const std::optional<Kernel> reflection = kernel();
    if (input.isNull())
        return {};
    if (!reflection) {
        platform::logError(QStringLiteral("QSReflectionFilter has no kernel"));
        return {};
    }
    const QRectF e = input.extent();
    const double gap = numberValue(Distance) * numberValue(Proportion);
    const double mirrorHeight = numberValue(Height) * e.height();
    const QRectF out(e.x(), e.y() - (gap + mirrorHeight), e.width(), e.height() + gap + mirrorHeight);
    const double bottom = e.y();
    // One pixel more on every side for the linear sampling.
    ApplyOptions options{arrayForRect(out), [bottom, gap](int, const QRectF &rect) {
                             return reflectionROI(rect, bottom, gap).adjusted(-1, -1, 1, 1);
                         }};
    return reflection->apply(options, {Sampler{input}, bottom, numberValue(Intensity), mirrorHeight, gap});
}
