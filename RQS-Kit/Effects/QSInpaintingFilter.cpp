#include "RQS-Kit/Effects/QSInpaintingFilter.h"

#include "RQS-Kit/Effects/FilterApplication.h"
#include "platform/foundation/Log.h"

#include <cmath>
#include <mutex>

using namespace platform::fx;

namespace {

const QString ClassName = QStringLiteral("QSInpaintingFilter");
constexpr double MaximumRadius = 200.0;
// Keeps "divide" finite where the fill image is black.
constexpr float Epsilon = 1e-4f;

// A pixel is in a hole wherever the mask has any grey at all, so that coarse levels, where the
// hole's edge is blurred, still treat it as unknown.
bool inHole(const Pixel &mask)
{
    return 0.2126f * mask.r + 0.7152f * mask.g + 0.0722f * mask.b > 0;
}

Pixel bwMask(const KernelInvocation &k)
{
    const float v = inHole(k.sample(0, k.destCoord())) ? 1 : 0;
    return {v, v, v, 1};
}

// The mean of the four neighbours inside holes. Hole pixels start transparent, so dividing by
// the mean's alpha leaves out the neighbours that are still unknown.
Pixel laplaceSmooth(const KernelInvocation &k)
{
    const QPointF p = k.destCoord();
    if (!inHole(k.sample(1, p)))
        return k.sample(0, p);
    const Pixel mean = (k.sample(0, p + QPointF(1, 0)) + k.sample(0, p - QPointF(1, 0)) + k.sample(0, p + QPointF(0, 1))
                        + k.sample(0, p - QPointF(0, 1)))
                       * 0.25f;
    return mean.a > Epsilon ? mean * (1 / mean.a) : mean;
}

Pixel multiply(const KernelInvocation &k)
{
    const Pixel i = k.sample(0, k.destCoord()), f = k.sample(1, k.destCoord());
    return {i.r * f.r, i.g * f.g, i.b * f.b, i.a};
}

Pixel divide(const KernelInvocation &k)
{
    const Pixel g = k.sample(0, k.destCoord()), f = k.sample(1, k.destCoord());
    return {g.r / std::max(f.r, Epsilon), g.g / std::max(f.g, Epsilon), g.b / std::max(f.b, Epsilon), g.a};
}

Sampler clamped(const Image &image)
{
    return Sampler{image, Wrap::Clamp, Filtering::Nearest};
}

} // namespace

QSInpaintingFilter::QSInpaintingFilter()
    : QSFilter(ClassName, {{QStringLiteral("inputImage"), InputAttribute::Kind::Image},
                           {QStringLiteral("inputMaskImage"), InputAttribute::Kind::Image},
                           {QStringLiteral("inputFillImage"), InputAttribute::Kind::Image},
                           {QStringLiteral("inputRadius"), InputAttribute::Kind::Number, 20.0, {}, {}, 0.0, MaximumRadius}})
{
}

void QSInpaintingFilter::registerClass()
{
    static std::once_flag once;
    std::call_once(once, [] {
        KernelLibrary::add(ClassName, Kernel(QStringLiteral("bwMask"), bwMask));
        KernelLibrary::add(ClassName, Kernel(QStringLiteral("laplaceSmooth"), laplaceSmooth));
        KernelLibrary::add(ClassName, Kernel(QStringLiteral("multiply"), multiply));
        KernelLibrary::add(ClassName, Kernel(QStringLiteral("divide"), divide));
        registerInputKeys<QSInpaintingFilter>({QStringLiteral("inputImage"), QStringLiteral("inputMaskImage"),
                                               QStringLiteral("inputFillImage"), QStringLiteral("inputRadius")});
        registerFilterClass<QSInpaintingFilter>();
    });
}

Image QSInpaintingFilter::kernelOutput(const QString &name, const QRectF &extent, std::vector<Argument> arguments) const
{
    const std::optional<Kernel> body = kernelWithName(name);
    return body ? body->apply({arrayForRect(extent), {}}, std::move(arguments)) : Image();
}

Image QSInpaintingFilter::inpaintImage(const Image &picture, const Image &mask, double scale, double limit) const
{
    const QRectF extent = picture.extent();
    const double step = m_previewQuality ? scale / limit : 0.5;
    Image result = picture;
    // The pyramid ends at the limit, or where a smaller level would be under one pixel.
    if (limit > 2 * scale && extent.width() * step >= 1 && extent.height() * step >= 1) {
        const QTransform down = QTransform::fromScale(step, step);
        const Image coarse = inpaintImage(picture.transformed(down), mask.transformed(down), scale / step, limit);
        const Image holes = kernelOutput(QStringLiteral("bwMask"), extent, {Sampler{mask}});
        result = rqs::applyFilter(QStringLiteral("CIBlendWithMask"),
                                  {{QStringLiteral("inputImage"), rqs::imageValue(coarse.transformed(down.inverted()))},
                                   {QStringLiteral("inputBackgroundImage"), rqs::imageValue(picture)},
                                   {QStringLiteral("inputMaskImage"), rqs::imageValue(holes)}})
                     .cropped(extent);
    }
    if (m_previewQuality && scale <= 1.0)
        return result;
    const int passes = int(std::ceil(m_previewQuality ? 1.0 : scale));
    for (int pass = 0; pass < passes && !result.isNull(); ++pass)
        result = kernelOutput(QStringLiteral("laplaceSmooth"), extent, {clamped(result), clamped(mask)});
    return result;
}

Image QSInpaintingFilter::outputImage() const
{
    const Image input = imageValue(QStringLiteral("inputImage"));
    const Image mask = imageValue(QStringLiteral("inputMaskImage"));
    if (input.isNull() || mask.isNull())
        return input;
    double radius = numberValue(QStringLiteral("inputRadius"));
    if (!(radius <= MaximumRadius)) {
        platform::logWarning(QStringLiteral("Inpainting radius %1 is above %2; %2 is used").arg(radius).arg(MaximumRadius));
        radius = MaximumRadius;
    }
    const QRectF extent = input.extent();
    Image fill = imageValue(QStringLiteral("inputFillImage"));
    if (!fill.isNull() && !fill.extent().isEmpty()
        && (fill.extent().width() < extent.width() || fill.extent().height() < extent.height()))
        fill = rqs::applyFilter(QStringLiteral("CIAffineTile"), {{QStringLiteral("inputImage"), rqs::imageValue(fill)}});
    const bool guided = !fill.isNull();
    const Image guide = guided ? kernelOutput(QStringLiteral("multiply"), extent, {Sampler{input}, Sampler{fill}}) : input;

    // The holes' own pixels are unknown: clear them so that no level averages them in.
    const Image holes = kernelOutput(QStringLiteral("bwMask"), extent, {Sampler{mask}});
    const Image known = rqs::applyFilter(QStringLiteral("CIBlendWithMask"),
                                         {{QStringLiteral("inputImage"), rqs::imageValue(Image::withColor({0, 0, 0, 0}))},
                                          {QStringLiteral("inputBackgroundImage"), rqs::imageValue(guide)},
                                          {QStringLiteral("inputMaskImage"), rqs::imageValue(holes)}})
                            .cropped(extent);
    const Image painted = inpaintImage(known, mask, 1.0, radius * 0.5);
    return guided ? kernelOutput(QStringLiteral("divide"), extent, {Sampler{painted}, Sampler{fill}}) : painted;
}
