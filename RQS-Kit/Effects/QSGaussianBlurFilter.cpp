#include "RQS-Kit/Effects/QSGaussianBlurFilter.h"

#include "platform/fx/Extent.h"

using namespace platform::fx;

namespace {

const QString InputImage = QStringLiteral("inputImage");
const QString Radius = QStringLiteral("inputRadius");
const QString Blur = QStringLiteral("CIGaussianBlur");

QList<InputAttribute> blurInputs()
{
    const std::unique_ptr<Filter> blur = FilterRegistry::create(Blur);
    return blur ? blur->inputAttributes() : QList<InputAttribute>{};
}

} // namespace

QSGaussianBlurFilter::QSGaussianBlurFilter()
    : QSFilter(QStringLiteral("QSGaussianBlurFilter"), blurInputs())
{
}

void QSGaussianBlurFilter::registerClass()
{
    registerInputKeys<QSGaussianBlurFilter>({InputImage, Radius});
    registerFilterClass<QSGaussianBlurFilter>();
}

Image QSGaussianBlurFilter::outputImage() const
{
    const Image input = imageValue(InputImage);
    const std::unique_ptr<Filter> blur = FilterRegistry::create(Blur);
    if (input.isNull() || !blur)
        return {};
    const double radius = numberValue(Radius);
    blur->setValueForKey(Radius, radius);
    if (m_forceInside) {
        const std::unique_ptr<Filter> clamp = FilterRegistry::create(QStringLiteral("CIAffineClamp"));
        if (!clamp)
            return {};
        clamp->setDefaults();
        clamp->setValueForKey(InputImage, QVariant::fromValue(input));
        blur->setValueForKey(InputImage, QVariant::fromValue(clamp->outputImage()));
        return blur->outputImage().cropped(input.extent());
    }
    blur->setValueForKey(InputImage, QVariant::fromValue(input));
    const Image out = blur->outputImage();
    const QRectF e = out.extent();
    // Cropping an unbounded input to its own extent grown would leave it unbounded anyway.
    if (e.width() + e.height() < 100000.0 || Extent::isInfinite(input.extent()))
        return out;
    return out.cropped(input.extent().adjusted(-3 * radius, -3 * radius, 3 * radius, 3 * radius));
}
