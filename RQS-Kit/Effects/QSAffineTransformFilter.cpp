#include "RQS-Kit/Effects/QSAffineTransformFilter.h"

#include "RQS-Kit/Effects/FilterInputs.h"
#include "platform/foundation/Log.h"
#include "platform/fx/Extent.h"

using namespace platform::fx;
using namespace rqs;

namespace {

const QString Transform = QStringLiteral("inputTransform");
const QString Scale = QStringLiteral("inputScale");
const QString Angle = QStringLiteral("inputAngle");
const QString Translation = QStringLiteral("inputTranslation");
const QString KeepExtent = QStringLiteral("inputKeepExtent");
const QString PreCrop = QStringLiteral("inputPreCropRect");
const QString Crop = QStringLiteral("inputCropRect");

Pixel insideRect(const KernelInvocation &k)
{
    const Vector o = k.vector(1);
    const QPointF p = k.destCoord();
    if (p.x() < o[0] || p.x() >= o[0] + o[2] || p.y() < o[1] || p.y() >= o[1] + o[3])
        return {};
    return k.sample(0, p);
}

} // namespace

QSAffineTransformFilter::QSAffineTransformFilter()
    : QSFilter(QStringLiteral("QSAffineTransformFilter"),
               {inputs::image(QStringLiteral("inputImage")),
                inputs::value(Transform, InputAttribute::Kind::Transform),
                inputs::value(Scale, InputAttribute::Kind::Vector, QVariant::fromValue(Vector{{1, 1}, 2})),
                inputs::value(Angle, InputAttribute::Kind::Number, 0.0),
                inputs::value(Translation, InputAttribute::Kind::Vector, QVariant::fromValue(Vector{{0, 0}, 2})),
                inputs::value(KeepExtent, InputAttribute::Kind::Boolean, false),
                inputs::value(PreCrop, InputAttribute::Kind::Rectangle, false),
                inputs::value(Crop, InputAttribute::Kind::Rectangle, false)})
{
}

void QSAffineTransformFilter::registerClass()
{
    KernelLibrary::add(QStringLiteral("QSAffineTransformFilter"), Kernel(QStringLiteral("affineTransform"), insideRect));
    registerInputKeys<QSAffineTransformFilter>({QStringLiteral("inputImage"), Transform, Scale, Angle, Translation, Crop});
    registerFilterClass<QSAffineTransformFilter>();
}

QPointF QSAffineTransformFilter::inputImageCenter() const
{
    const Image input = imageValue(QStringLiteral("inputImage"));
    if (input.isNull())
        return {};
    if (Extent::isInfinite(input.extent())) {
        platform::logWarning(QStringLiteral("inputImage extent is infinite when center Point is requested "));
        return {};
    }
    return input.extent().center();
}

QTransform QSAffineTransformFilter::inputTransform() const
{
    if (value(Transform).isValid())
        return transformValue(Transform);
    const QPointF c = inputImageCenter();
    const Vector scale = vectorValue(Scale), translation = vectorValue(Translation);
    return QTransform()
        .translate(translation[0] + c.x(), translation[1] + c.y())
        .scale(scale[0], scale[1])
        .rotate(numberValue(Angle))
        .translate(-c.x(), -c.y());
}

Image QSAffineTransformFilter::outputImage() const
{
    const Image input = imageValue(QStringLiteral("inputImage"));
    const std::optional<Kernel> transformKernel = kernel();
    if (input.isNull())
        return {};
    if (!transformKernel) {
        platform::logError(QStringLiteral("QSAffineTransformFilter has no kernel"));
        return {};
    }
    QTransform t = inputTransform();
    if (!t.isInvertible()) {
        platform::logWarning(QStringLiteral("QSAffineTransformFilter has a singular transform; its output is empty"));
        return Image::withColor({0, 0, 0, 0}).cropped(QRectF());
    }
    const QRectF r = rectValue(PreCrop).value_or(input.extent());
    QRectF o = rectValue(Crop).value_or(t.mapRect(r));
    if (!value(KeepExtent).toBool()) {
        t *= QTransform::fromTranslate(-o.x(), -o.y());
        o.moveTo(0, 0);
    }
    ApplyOptions options{arrayForRect(o), [](int, const QRectF &rect) { return rect; }};
    return transformKernel->apply(options, {Sampler{input.transformed(t), Wrap::Transparent, Filtering::Nearest}, vectorForRect(o)});
}
