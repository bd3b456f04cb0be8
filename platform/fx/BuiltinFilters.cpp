#include "platform/fx/BuiltinFilters.h"

#include "platform/fx/Extent.h"
#include "platform/fx/Kernel.h"
#include "platform/fx/Nodes.h"

#include <cmath>

namespace platform::fx {

namespace {

using Kind = InputAttribute::Kind;
using Output = std::function<Image(const Filter &)>;

class BuiltinFilter : public Filter
{
public:
    BuiltinFilter(const QString &name, const QList<InputAttribute> &inputs, Output output)
        : Filter(name, inputs)
        , m_output(std::move(output))
    {
    }
    Image outputImage() const override { return m_output(*this); }

private:
    Output m_output;
};

const QString inputImage = QStringLiteral("inputImage");
const QString inputBackgroundImage = QStringLiteral("inputBackgroundImage");

InputAttribute image(const QString &key)
{
    return {key, Kind::Image, {}, {}, {}, {}, {}};
}

InputAttribute transform(const QString &key)
{
    return {key, Kind::Transform, QVariant::fromValue(QTransform()), {}, {}, {}, {}};
}

InputAttribute number(const QString &key, double defaultValue, std::optional<double> minimum,
                      std::optional<double> maximum, double sliderMinimum, double sliderMaximum)
{
    return {key, Kind::Number, defaultValue, minimum, maximum, sliderMinimum, sliderMaximum};
}

// Same-grid inputs read pixel for pixel: nearest sampling, the output rectangle as the region.
Image pointwise(const KernelBody &body, const QRectF &extent, std::vector<Argument> arguments)
{
    ApplyOptions options{extent, [](int, const QRectF &rect) { return rect; }};
    return Kernel(QStringLiteral("pointwise"), body).apply(options, std::move(arguments));
}

Sampler nearest(const Image &image)
{
    return Sampler{image, Wrap::Transparent, Filtering::Nearest};
}

// Past a certain width a blur of a finite image leaves every pixel under half an 8-bit step (for
// colours within 0..1), so wider ones mean nothing: the radius stops there. A Gaussian spreads the
// image's area A to a peak of at most A / (2πσ²); a box of 2r + 1 pixels along a line meets at
// most the diagonal d of it, so no pixel exceeds d / (2r + 1).
double meaningfulSigma(double sigma, const QRectF &extent)
{
    if (!(sigma > 0))
        return 0;
    if (Extent::isInfinite(extent))
        return sigma;
    const double widest = std::max(std::hypot(extent.width(), extent.height()),
                                   std::sqrt(255 * extent.width() * extent.height() / M_PI));
    return std::min(sigma, widest);
}

double meaningfulBoxRadius(double radius, const QRectF &extent)
{
    if (!(radius > 0))
        return 0;
    constexpr double longest = 1e6;
    if (Extent::isInfinite(extent))
        return std::min(radius, longest);
    return std::min({radius, 255 * std::hypot(extent.width(), extent.height()), longest});
}

Image gaussianBlur(const Filter &filter)
{
    const Image input = filter.imageValue(inputImage);
    const std::vector<int> radii = BoxBlurNode::gaussianRadii(meaningfulSigma(filter.numberValue(QStringLiteral("inputRadius")), input.extent()));
    if (input.isNull() || radii.empty())
        return input;
    return Image(std::make_shared<BoxBlurNode>(input.node(), radii, radii));
}

Image motionBlur(const Filter &filter)
{
    const Image input = filter.imageValue(inputImage);
    const double length = meaningfulBoxRadius(filter.numberValue(QStringLiteral("inputRadius")), input.extent());
    if (input.isNull() || !(length >= 0.5))
        return input;
    const int radius = int(std::lround(length));
    const double angle = filter.numberValue(QStringLiteral("inputAngle"));
    const double degrees = std::isfinite(angle) ? std::fmod(angle, 2 * M_PI) * 180.0 / M_PI : 0.0;
    const Image along = input.transformed(QTransform().rotate(-degrees));
    const Image blurred(std::make_shared<BoxBlurNode>(along.node(), std::vector<int>{radius}, std::vector<int>{}));
    return blurred.transformed(QTransform().rotate(degrees));
}

Image sourceOver(const Filter &filter)
{
    const Image source = filter.imageValue(inputImage), background = filter.imageValue(inputBackgroundImage);
    if (source.isNull() || background.isNull())
        return {};
    return pointwise(
        [](const KernelInvocation &k) {
            const Pixel s = k.sample(0, k.destCoord()), b = k.sample(1, k.destCoord());
            return s + b * (1 - s.a);
        },
        source.extent() | background.extent(), {nearest(source), nearest(background)});
}

Image blendWithMask(const Filter &filter)
{
    const Image source = filter.imageValue(inputImage), background = filter.imageValue(inputBackgroundImage);
    const Image mask = filter.imageValue(QStringLiteral("inputMaskImage"));
    if (source.isNull() || background.isNull() || mask.isNull())
        return {};
    return pointwise(
        [](const KernelInvocation &k) {
            const Pixel s = k.sample(0, k.destCoord()), b = k.sample(1, k.destCoord()), m = k.sample(2, k.destCoord());
            const float weight = 0.2126f * m.r + 0.7152f * m.g + 0.0722f * m.b;
            return b * (1 - weight) + s * weight;
        },
        source.extent() | background.extent(), {nearest(source), nearest(background), nearest(mask)});
}

Image colorInvert(const Filter &filter)
{
    const Image input = filter.imageValue(inputImage);
    if (input.isNull())
        return {};
    return pointwise(
        [](const KernelInvocation &k) {
            const Pixel p = k.sample(0, k.destCoord());
            return Pixel{p.a - p.r, p.a - p.g, p.a - p.b, p.a};
        },
        input.extent(), {nearest(input)});
}

Image displacement(const Filter &filter)
{
    const Image input = filter.imageValue(inputImage);
    const Image displacementImage = filter.imageValue(QStringLiteral("inputDisplacementImage"));
    const double scale = filter.numberValue(QStringLiteral("inputScale"));
    if (input.isNull() || displacementImage.isNull())
        return {};
    const double reach = std::abs(scale) / 2;
    const QRectF extent = Extent::isInfinite(input.extent()) ? input.extent()
                                                             : input.extent().adjusted(-reach, -reach, reach, reach);
    ApplyOptions options{extent, [reach](int argument, const QRectF &rect) {
                             return argument == 0 ? rect.adjusted(-reach - 1, -reach - 1, reach + 1, reach + 1) : rect;
                         }};
    const KernelBody body = [](const KernelInvocation &k) {
        const Pixel d = k.sample(1, k.destCoord());
        const double s = k.number(2);
        return k.sample(0, k.destCoord() + QPointF(s * (d.r - 0.5), s * (d.g - 0.5)));
    };
    return Kernel(QStringLiteral("displacement"), body)
        .apply(options, {Sampler{input}, nearest(displacementImage), scale});
}

Image areaAverage(const Filter &filter)
{
    const Image input = filter.imageValue(inputImage);
    const Vector area = filter.vectorValue(QStringLiteral("inputExtent"));
    if (input.isNull())
        return {};
    return Image(std::make_shared<AreaAverageNode>(input.node(), QRectF(area[0], area[1], area[2], area[3])));
}

} // namespace

std::vector<std::pair<QString, FilterRegistry::Factory>> BuiltinFilters::factories()
{
    auto factory = [](const QString &name, const QList<InputAttribute> &inputs, Output output) {
        return std::pair<QString, FilterRegistry::Factory>{
            name, [=] { return std::make_unique<BuiltinFilter>(name, inputs, output); }};
    };
    const InputAttribute radius = number(QStringLiteral("inputRadius"), 10, 0, {}, 0, 100);
    return {
        factory(QStringLiteral("CIGaussianBlur"), {image(inputImage), radius}, gaussianBlur),
        factory(QStringLiteral("CIMotionBlur"),
                {image(inputImage), number(QStringLiteral("inputRadius"), 20, 0, {}, 0, 100),
                 number(QStringLiteral("inputAngle"), 0, {}, {}, -M_PI, M_PI)},
                motionBlur),
        factory(QStringLiteral("CIAffineClamp"), {image(inputImage), transform(QStringLiteral("inputTransform"))},
                [](const Filter &f) {
                    return f.imageValue(inputImage).clampedToExtent().transformed(f.transformValue(QStringLiteral("inputTransform")));
                }),
        factory(QStringLiteral("CIAffineTile"), {image(inputImage), transform(QStringLiteral("inputTransform"))},
                [](const Filter &f) {
                    return f.imageValue(inputImage).tiled().transformed(f.transformValue(QStringLiteral("inputTransform")));
                }),
        factory(QStringLiteral("CISourceOverCompositing"), {image(inputImage), image(inputBackgroundImage)}, sourceOver),
        factory(QStringLiteral("CIBlendWithMask"),
                {image(inputImage), image(inputBackgroundImage), image(QStringLiteral("inputMaskImage"))}, blendWithMask),
        factory(QStringLiteral("CIColorInvert"), {image(inputImage)}, colorInvert),
        factory(QStringLiteral("CIDisplacementDistortion"),
                {image(inputImage), image(QStringLiteral("inputDisplacementImage")),
                 number(QStringLiteral("inputScale"), 50, 0, {}, 0, 200)},
                displacement),
        factory(QStringLiteral("CIConstantColorGenerator"),
                {{QStringLiteral("inputColor"), Kind::Color, QVariant::fromValue(Color{0, 0, 0, 1}), {}, {}, {}, {}}},
                [](const Filter &f) { return Image::withColor(f.colorValue(QStringLiteral("inputColor"))); }),
        factory(QStringLiteral("CIRandomGenerator"), {}, [](const Filter &) { return Image::random(); }),
        factory(QStringLiteral("CIAreaAverage"),
                {image(inputImage), {QStringLiteral("inputExtent"), Kind::Vector,
                                     QVariant::fromValue(Vector{{0, 0, 640, 80}, 4}), {}, {}, {}, {}}},
                areaAverage),
    };
}

} // namespace platform::fx
