#include "RQS-Kit/Effects/QSBlurCompositionFilter.h"

#include "RQS-Kit/Effects/FilterApplication.h"

#include <mutex>

using namespace platform::fx;

namespace {

const QString ClassName = QStringLiteral("QSBlurCompositionFilter");

Pixel compose(const KernelInvocation &k)
{
    const QPointF p = k.destCoord();
    const Vector r = k.vector(3);
    const bool sharp = p.x() >= r[0] && p.x() < r[0] + r[2] && p.y() >= r[1] && p.y() < r[1] + r[3];
    const Pixel picture = k.sample(0, p), under = k.sample(sharp ? 1 : 2, p);
    return picture + under * (1 - picture.a);
}

} // namespace

QSBlurCompositionFilter::QSBlurCompositionFilter()
    : QSFilter(ClassName, {{QStringLiteral("inputImage"), InputAttribute::Kind::Image},
                           {QStringLiteral("inputBackgroundImage"), InputAttribute::Kind::Image},
                           {QStringLiteral("inputRadius"), InputAttribute::Kind::Number, 10.0, {}, {}, 0.0, 50.0},
                           {QStringLiteral("inputMargin"), InputAttribute::Kind::Vector, QVariant::fromValue(Vector{{0, 0, 0, 0}, 4})}})
{
}

void QSBlurCompositionFilter::registerClass()
{
    static std::once_flag once;
    std::call_once(once, [] {
        KernelLibrary::add(ClassName, Kernel(QStringLiteral("blurComposition"), compose));
        registerInputKeys<QSBlurCompositionFilter>({QStringLiteral("inputImage"), QStringLiteral("inputBackgroundImage"),
                                                    QStringLiteral("inputRadius"), QStringLiteral("inputMargin"),
                                                    QStringLiteral("inputLayer")});
        registerForCopying<QSBlurCompositionFilter>({QStringLiteral("useDistortion")});
        registerFilterClass<QSBlurCompositionFilter>();
    });
}

QRectF QSBlurCompositionFilter::sharpRect() const
{
    const QRectF frame = m_layer ? m_layer->frame() : imageValue(QStringLiteral("inputImage")).extent();
    const Vector m = vectorValue(QStringLiteral("inputMargin"));
    return {frame.x() + m[0], frame.y() + m[1], frame.width() - (m[0] + m[2]), frame.height() - (m[1] + m[3])};
}

Image QSBlurCompositionFilter::outputImage() const
{
    const Image input = imageValue(QStringLiteral("inputImage"));
    const Image background = imageValue(QStringLiteral("inputBackgroundImage"));
    const std::optional<Kernel> body = kernel();
    if (input.isNull() || background.isNull() || !body)
        return input;
    const double radius = numberValue(QStringLiteral("inputRadius"));
    const Image soft =
        m_useDistortion
            ? rqs::applyFilter(QStringLiteral("CIDisplacementDistortion"),
                               {{QStringLiteral("inputImage"), rqs::imageValue(background)},
                                {QStringLiteral("inputDisplacementImage"), rqs::imageValue(Image::random())},
                                {QStringLiteral("inputScale"), radius}})
            : rqs::applyFilter(QStringLiteral("CIGaussianBlur"),
                               {{QStringLiteral("inputImage"), rqs::imageValue(background)},
                                {QStringLiteral("inputRadius"), radius}});
    if (soft.isNull())
        return input;
    return body->apply({arrayForRect(background.extent()), {}},
                       {Sampler{input}, Sampler{background}, Sampler{soft}, vectorForRect(sharpRect())});
}
