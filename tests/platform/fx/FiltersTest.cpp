#include "FxTestImages.h"

#include "platform/foundation/Log.h"
#include "platform/fx/Accumulator.h"
#include "platform/fx/FilterRegistry.h"
#include "platform/fx/Nodes.h"

using namespace fxtest;
using platform::fx::Color;
using platform::fx::FilterRegistry;

namespace {

Image filtered(const QString &name, const QVariantMap &inputs)
{
    auto filter = FilterRegistry::create(name);
    if (!filter)
        return {};
    filter->setDefaults();
    for (auto input = inputs.begin(); input != inputs.end(); ++input)
        EXPECT_TRUE(filter->setValueForKey(input.key(), input.value())) << input.key().toStdString();
    return filter->outputImage();
}

QVariant v(const Image &image)
{
    return QVariant::fromValue(image);
}

struct PixelCase
{
    const char *name;
    QString filter;
    QVariantMap inputs;
    QPoint at;
    Pixel expected;
};

class BuiltinPixels : public ::testing::TestWithParam<PixelCase>
{
};

TEST_P(BuiltinPixels, MatchHandWorkedValues)
{
    const PixelCase &c = GetParam();
    EXPECT_TRUE(near(renderedPixel(filtered(c.filter, c.inputs), c.at.x(), c.at.y()), c.expected));
}

const Image halfRed = filled(QRect(0, 0, 2, 2), {0.5f, 0, 0, 0.5f});
const Image blue = filled(QRect(0, 0, 4, 4), {0, 0, 1, 1});
const Image quarterGrey = filled(QRect(0, 0, 4, 4), {0.25f, 0.25f, 0.25f, 1});

INSTANTIATE_TEST_SUITE_P(
    Fx, BuiltinPixels,
    ::testing::Values(
        // Half-transparent red over blue: 0.5 red + blue × 0.5.
        PixelCase{"SourceOver", "CISourceOverCompositing", {{"inputImage", v(halfRed)}, {"inputBackgroundImage", v(blue)}},
                  {1, 1}, {0.5f, 0, 0.5f, 1}},
        PixelCase{"SourceOverBackgroundOnly", "CISourceOverCompositing",
                  {{"inputImage", v(halfRed)}, {"inputBackgroundImage", v(blue)}}, {3, 3}, {0, 0, 1, 1}},
        // A mask of luminance 0.25: a quarter of the image, three quarters of the background.
        PixelCase{"BlendWithMask", "CIBlendWithMask",
                  {{"inputImage", v(halfRed)}, {"inputBackgroundImage", v(blue)}, {"inputMaskImage", v(quarterGrey)}},
                  {0, 0}, {0.125f, 0, 0.75f, 0.875f}},
        PixelCase{"InvertOpaque", "CIColorInvert", {{"inputImage", v(filled(QRect(0, 0, 1, 1), {0.2f, 0.4f, 0.6f, 1}))}},
                  {0, 0}, {0.8f, 0.6f, 0.4f, 1}},
        // Straight (0.2, 0.4, 0.6) at alpha 0.5 inverts to straight (0.8, 0.6, 0.4).
        PixelCase{"InvertHalfAlpha", "CIColorInvert",
                  {{"inputImage", v(filled(QRect(0, 0, 1, 1), {0.1f, 0.2f, 0.3f, 0.5f}))}}, {0, 0}, {0.4f, 0.3f, 0.2f, 0.5f}},
        PixelCase{"ConstantFarAway", "CIConstantColorGenerator", {{"inputColor", QVariant::fromValue(Color{1, 0.5f, 0, 0.5f})}},
                  {-300000, 200000}, {0.5f, 0.25f, 0, 0.5f}},
        PixelCase{"ConstantDefaultIsBlack", "CIConstantColorGenerator", {}, {0, 0}, {0, 0, 0, 1}},
        // The mean of red 0, 0.1, 0.2 in row 0 and green 0 / 0.1 over rows 0 and 1.
        PixelCase{"AreaAverage", "CIAreaAverage",
                  {{"inputImage", v(ramp(4, 3))}, {"inputExtent", QVariant::fromValue(platform::fx::Vector{{0, 0, 3, 2}, 4})}},
                  {0, 0}, {0.1f, 0.05f, 0, 1}},
        PixelCase{"AffineClampTurned", "CIAffineClamp",
                  {{"inputImage", v(ramp(4, 3))}, {"inputTransform", QVariant::fromValue(QTransform(-1, 0, 0, -1, 4, 3))}},
                  {-5, 1}, rampPixel(3, 1)},
        // Centre (-2.5, 1.5) reads (-1.25, 0.75) of the tiles, which is (2.75, 0.75): mixed as (2.25, 0.25).
        PixelCase{"AffineTileScaled", "CIAffineTile",
                  {{"inputImage", v(ramp(4, 3))}, {"inputTransform", QVariant::fromValue(QTransform::fromScale(2, 2))}},
                  {-3, 1}, rampPixel(2.25, 0.25)},
        // Radius 1 at angle 0: the mean of three pixels in the row.
        PixelCase{"MotionBlurRow", "CIMotionBlur", {{"inputImage", v(ramp(4, 3))}, {"inputRadius", 1.0}}, {0, 1},
                  {0.1f / 3, 0.2f / 3, 0, 2.0f / 3}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(FxFilters, RandomGeneratorIsReproducible)
{
    const Image random = filtered("CIRandomGenerator", {});
    // The documented hash, worked out independently.
    EXPECT_TRUE(near(renderedPixel(random, 0, 0), {0.88331079f, 0.56656152f, 0.59118968f, 0.11345029f}, 1e-7f));
    EXPECT_TRUE(near(renderedPixel(random, -3, 7), {0.84129179f, 0.63745153f, 0.26206905f, 0.28377062f}, 1e-7f));
    const auto wide = platform::fx::Context().render(random, QRect(-10, 0, 20, 10));
    ASSERT_TRUE(wide.has_value());
    EXPECT_EQ(wide->at(-3, 7), renderedPixel(random, -3, 7));
}

TEST(FxFilters, DisplacementOfHalfGreyMovesNothing)
{
    const Image grey = Image::withColor({0.5f, 0.5f, 0.5f, 1});
    const Image moved = filtered("CIDisplacementDistortion", {{"inputImage", v(ramp(4, 3))}, {"inputDisplacementImage", v(grey)}});
    EXPECT_EQ(moved.extent(), QRectF(-25, -25, 54, 53));
    EXPECT_TRUE(near(renderedPixel(moved, 2, 1), rampPixel(2, 1)));
}

// Three boxes approximate the Gaussian: an impulse blurred at sigma 6 stays within 7 % of the
// direct Gaussian's peak everywhere (6.7 % measured, at the centre) and keeps its mass.
TEST(FxFilters, GaussianBlurIsNearADirectGaussian)
{
    const double sigma = 6;
    const Image impulse = filled(QRect(0, 0, 1, 1), {1, 1, 1, 1});
    const auto blurred = platform::fx::Context().render(filtered("CIGaussianBlur", {{"inputImage", v(impulse)}, {"inputRadius", sigma}}));
    ASSERT_TRUE(blurred.has_value());
    const double peak = 1 / (2 * M_PI * sigma * sigma);
    double worst = 0, total = 0;
    for (int y = blurred->rect().top(); y <= blurred->rect().bottom(); ++y) {
        for (int x = blurred->rect().left(); x <= blurred->rect().right(); ++x) {
            const double gaussian = peak * std::exp(-(x * x + y * y) / (2 * sigma * sigma));
            worst = std::max(worst, std::abs(blurred->at(x, y).a - gaussian));
            total += blurred->at(x, y).a;
        }
    }
    EXPECT_LT(worst, 0.07 * peak);
    EXPECT_NEAR(total, 1.0, 1e-4);
}

TEST(FxFilters, RenderingACropOfABigBlurComputesOnlyWhatItNeeds)
{
    const Image big = Image::withColor({1, 0, 0, 1}).cropped(QRectF(0, 0, 20000, 20000));
    const Image blurred = filtered("CIGaussianBlur", {{"inputImage", v(big)}, {"inputRadius", 10.0}});
    platform::fx::RenderStats stats;
    ASSERT_TRUE(platform::fx::Context().render(blurred, QRect(5000, 5000, 10, 10), &stats).has_value());
    // Radius 10 blurs with boxes of radius 9, 9 and 10: 28 pixels each way.
    ASSERT_EQ(stats.nodes.size(), 3);
    EXPECT_EQ(stats.nodes.first().kind, "constant");
    EXPECT_EQ(stats.nodes.first().pixels, 66 * 66);
}

TEST(FxFilters, AttributesDefaultsAndUnknownKeys)
{
    auto blur = FilterRegistry::create("CIGaussianBlur");
    ASSERT_TRUE(blur);
    const QVariantMap radius = blur->attributes().value("inputRadius").toMap();
    EXPECT_EQ(radius.value("CIAttributeDefault").toDouble(), 10.0);
    EXPECT_EQ(radius.value("CIAttributeMin").toDouble(), 0.0);
    EXPECT_EQ(radius.value("CIAttributeSliderMax").toDouble(), 100.0);
    EXPECT_EQ(blur->inputKeys(), QStringList({"inputImage", "inputRadius"}));
    EXPECT_EQ(blur->outputKeys(), QStringList{"outputImage"});

    platform::LogCapture log;
    EXPECT_FALSE(blur->setValueForKey("inputAngle", 1.0));
    EXPECT_FALSE(blur->setValueForKey("inputRadius", QStringLiteral("wide")));
    EXPECT_FALSE(FilterRegistry::create("CINoSuchFilter"));
    EXPECT_EQ(log.lines().size(), 3);
    EXPECT_TRUE(blur->valueForKey("outputImage").isNull());

    blur->setValueForKey("inputRadius", 3.0);
    EXPECT_EQ(blur->copy()->numberValue("inputRadius"), 3.0);
}

TEST(FxFilters, AverageColourAndEightBitAccumulator)
{
    platform::fx::Context context;
    EXPECT_EQ(context.averageColor(filled(QRect(0, 0, 2, 1), {})), (Color{0, 0, 0, 0}));
    // Premultiplied mean (0.25, 0, 0, 0.5) is straight red at alpha 0.5.
    const auto mean = context.averageColor(filled(QRect(0, 0, 1, 1), {0.5f, 0, 0, 1}).cropped(QRectF(0, 0, 1, 1)));
    EXPECT_EQ(mean, (Color{0.5f, 0, 0, 1}));

    platform::fx::Accumulator accumulator(QRectF(0, 0, 1, 1), platform::fx::Accumulator::Format::ARGB8);
    ASSERT_TRUE(accumulator.setImage(filled(QRect(0, 0, 1, 1), {0.3f, 0, 0, 1})));
    EXPECT_TRUE(near(renderedPixel(accumulator.image(), 0, 0), {77 / 255.0f, 0, 0, 1}));
}

} // namespace
