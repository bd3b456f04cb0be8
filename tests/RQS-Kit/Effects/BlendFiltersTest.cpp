#include "RQS-Kit/Effects/KitFilters.h"
#include "RQS-Kit/Effects/QSAdjustableBlendFilter.h"
#include "RQS-Kit/Effects/QSCombineFilter.h"
#include "platform/foundation/Log.h"
#include "platform/fx/FxTestImages.h"

using namespace platform::fx;
using fxtest::filled;
using fxtest::near;
using fxtest::renderedPixel;

namespace {

const QRect Square(0, 0, 2, 2);
const Pixel Orange{0.8f, 0.4f, 0.2f, 1}, Lilac{0.5f, 0.25f, 0.75f, 1}, HalfOrange{0.4f, 0.2f, 0.1f, 0.5f};

std::unique_ptr<Filter> kitFilter(const QString &name, const QVariantMap &inputs)
{
    rqs::registerKitFilters();
    std::unique_ptr<Filter> filter = FilterRegistry::create(name);
    filter->setDefaults();
    for (auto input = inputs.begin(); input != inputs.end(); ++input)
        EXPECT_TRUE(filter->setValueForKey(input.key(), input.value())) << input.key().toStdString();
    return filter;
}

QVariant image(const QRect &rect, const Pixel &pixel)
{
    return QVariant::fromValue(filled(rect, pixel));
}

} // namespace

// Worked by hand from the formulas in BlendFormulas.h: backdrop Cb = (0.5, 0.25, 0.75), source
// Cs = (0.8, 0.4, 0.2), both opaque, so that at intensity 1 the result is B(Cb, Cs) itself.
TEST(QSAdjustableBlendFilter, EveryModeMatchesHandWorkedPixels)
{
    struct Row
    {
        const char *mode;
        Pixel source, backdrop;
        double intensity;
        Pixel expected;
    } rows[] = {
        {"sourceOver", Orange, Lilac, 1, {0.8f, 0.4f, 0.2f, 1}},
        {"colorBlend", Orange, Lilac, 1, {0.682f, 0.282f, 0.082f, 1}},
        {"luminosityBlend", Orange, Lilac, 1, {0.618f, 0.368f, 0.868f, 1}},
        {"multiply", Orange, Lilac, 1, {0.4f, 0.1f, 0.15f, 1}},
        {"colorBurn", Orange, Lilac, 1, {0.375f, 0, 0, 1}},
        {"linearBurn", Orange, Lilac, 1, {0.3f, 0, 0, 1}},
        {"negativeMultiply", Orange, Lilac, 1, {0.9f, 0.55f, 0.8f, 1}},
        {"colorDodge", Orange, Lilac, 1, {1, 0.416667f, 0.9375f, 1}},
        {"linearDodge", Orange, Lilac, 1, {1, 0.65f, 0.95f, 1}},
        {"overlay", Orange, Lilac, 1, {0.8f, 0.2f, 0.6f, 1}},
        {"softLight", Orange, Lilac, 1, {0.624264f, 0.2125f, 0.6375f, 1}},
        {"hardLight", Orange, Lilac, 1, {0.8f, 0.2f, 0.3f, 1}},
        {"vividLight", Orange, Lilac, 1, {1, 0.0625f, 0.375f, 1}},
        {"linearLight", Orange, Lilac, 1, {1, 0.05f, 0.15f, 1}},
        {"hardMix", Orange, Lilac, 1, {1, 0, 0, 1}},
        // Intensity i gives b + i·(B − b).
        {"colorBurn", Orange, Lilac, 0.5, {0.4375f, 0.125f, 0.375f, 1}},
        {"negativeMultiply", Orange, Lilac, 0.25, {0.6f, 0.325f, 0.7625f, 1}},
        {"overlay", Orange, Lilac, 0, Lilac},
        // Half-transparent source: cb·(1 − as) + as·ab·B.
        {"multiply", HalfOrange, Lilac, 1, {0.45f, 0.175f, 0.45f, 1}},
        // Over nothing, any mode leaves the source at its intensity.
        {"hardMix", HalfOrange, {}, 0.5, {0.2f, 0.1f, 0.05f, 0.25f}},
        // Red given the luminosity 0.11 of blue: below 0 before ClipColor.
        {"colorBlend", {1, 0, 0, 1}, {0, 0, 1, 1}, 1, {0.366667f, 0, 0, 1}},
    };
    for (const Row &row : rows) {
        const auto blend = kitFilter("QSAdjustableBlendFilter",
                                     {{"inputImage", image(Square, row.source)}, {"inputBackgroundImage", image(Square, row.backdrop)},
                                      {"inputBlendName", row.mode}, {"inputIntensity", row.intensity}});
        EXPECT_TRUE(near(renderedPixel(blend->outputImage(), 1, 1), row.expected)) << row.mode << " at " << row.intensity;
    }
}

TEST(QSAdjustableBlendFilter, OutputRectangleSwapAndStretch)
{
    const QRect lower(1, 1, 3, 3);
    for (const auto &[useExtent, extent] : {std::pair{0, QRectF(0, 0, 2, 2)}, {1, QRectF(1, 1, 3, 3)}, {2, QRectF(0, 0, 4, 4)}}) {
        const auto blend = kitFilter("QSAdjustableBlendFilter", {{"inputImage", image(Square, Orange)},
                                                                 {"inputBackgroundImage", image(lower, Lilac)},
                                                                 {"inputUseExtent", useExtent}});
        EXPECT_EQ(blend->outputImage().extent(), extent) << useExtent;
    }

    // Swapped, the half-transparent blue lies over red; the extent stays the image's.
    const auto swapped = kitFilter("QSAdjustableBlendFilter", {{"inputImage", image(Square, {1, 0, 0, 1})},
                                                               {"inputBackgroundImage", image(Square, {0, 0, 0.5f, 0.5f})},
                                                               {"inputSwitchImages", true}});
    EXPECT_TRUE(near(renderedPixel(swapped->outputImage(), 0, 0), {0.5f, 0, 0.5f, 1}));

    // A 2 × 2 image at (10, 10) stretched onto the 4 × 4 background at the origin: it must land on
    // the background, not at (20, 20) as scaling about the origin alone would put it.
    const auto stretched = kitFilter("QSAdjustableBlendFilter", {{"inputImage", image({10, 10, 2, 2}, Orange)},
                                                                 {"inputBackgroundImage", image({0, 0, 4, 4}, Lilac)},
                                                                 {"inputBlendName", "multiply"},
                                                                 {"inputUseExtent", 1},
                                                                 {"inputStretchToFit", true}});
    EXPECT_EQ(stretched->outputImage().extent(), QRectF(0, 0, 4, 4));
    EXPECT_TRUE(near(renderedPixel(stretched->outputImage(), 1, 2), {0.4f, 0.1f, 0.15f, 1}));
}

TEST(QSAdjustableBlendFilter, NamesDefaultsAndMissingImages)
{
    EXPECT_EQ(QSAdjustableBlendFilter::blendModeNames().size(), 15);
    EXPECT_EQ(QSAdjustableBlendFilter().settingsForKey("inputBlendName").toMap().value("choices"),
              QSAdjustableBlendFilter::blendModeNames());
    for (const auto &[name, verified] : {std::pair{"", "sourceOver"}, {"Multiply", "sourceOver"}, {"hardMix", "hardMix"}})
        EXPECT_EQ(QSAdjustableBlendFilter::verifiedBlendMode(name), verified);

    const Image orange = filled(Square, Orange);
    EXPECT_EQ(kitFilter("QSAdjustableBlendFilter", {{"inputImage", QVariant::fromValue(orange)}})->outputImage().node(), orange.node());

    platform::LogCapture log;
    const auto unknown = kitFilter("QSAdjustableBlendFilter", {{"inputImage", image(Square, HalfOrange)},
                                                               {"inputBackgroundImage", image(Square, Lilac)},
                                                               {"inputBlendName", "dissolve"}});
    EXPECT_TRUE(near(renderedPixel(unknown->outputImage(), 0, 0), {0.65f, 0.325f, 0.475f, 1}));
    EXPECT_TRUE(log.contains("Warning: Adjustable Blend could not find blend 'dissolve'"));
}

TEST(QSCombineFilter, WeightedModesAndMissingImages)
{
    struct Row
    {
        const char *mode;
        Pixel background, image;
        double backgroundIntensity, intensity;
        Pixel expected;
    } rows[] = {
        {"sourceOver", {0.2f, 0.4f, 0.6f, 1}, {1, 0, 0, 1}, 0.5, 0.5, {0.55f, 0.1f, 0.15f, 0.75f}},
        {"multiply", {0.5f, 0.5f, 0.5f, 1}, {0.4f, 0.8f, 1, 1}, 1, 1, {0.2f, 0.4f, 0.5f, 1}},
        {"negativeMultiply", {0.5f, 0.5f, 0.5f, 1}, {0.4f, 0.8f, 1, 1}, 1, 0.5, {0.6f, 0.7f, 0.75f, 1}},
    };
    for (const Row &row : rows) {
        const auto combine = kitFilter("QSCombineFilter", {{"inputBackgroundImage", image(Square, row.background)},
                                                           {"inputImage", image(Square, row.image)},
                                                           {"inputBackgroundIntensity", row.backgroundIntensity},
                                                           {"inputIntensity", row.intensity},
                                                           {"blendMode", row.mode}});
        EXPECT_TRUE(near(renderedPixel(combine->outputImage(), 0, 0), row.expected)) << row.mode;
    }
    EXPECT_TRUE(QSCombineFilter::isCombinableBlendMode("multiply"));
    EXPECT_FALSE(QSCombineFilter::isCombinableBlendMode("overlay"));

    platform::LogCapture log;
    const Image background = filled(Square, Lilac);
    auto combine = kitFilter("QSCombineFilter", {{"inputBackgroundImage", QVariant::fromValue(background)}, {"blendMode", "multiply"}});
    EXPECT_EQ(combine->outputImage().node(), background.node());
    EXPECT_TRUE(log.contains("Warning: Combine has no image, so it answers the background"));
    combine = kitFilter("QSCombineFilter", {{"inputImage", QVariant::fromValue(background)}, {"blendMode", "multiply"}});
    EXPECT_TRUE(combine->outputImage().isNull());
    EXPECT_TRUE(log.contains("Warning: Combine has no background image, so no output"));
}
