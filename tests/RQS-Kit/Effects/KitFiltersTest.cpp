#include "RQS-Kit/Effects/KitFilters.h"
#include "platform/foundation/KeyValue.h"
#include "platform/foundation/Log.h"
#include "platform/fx/Context.h"
#include "platform/fx/Extent.h"
#include "platform/fx/FilterRegistry.h"

#include <gtest/gtest.h>

using namespace platform::fx;

namespace {

Image output(const QString &name, const Image &input, const QVariantMap &inputs = {})
{
    rqs::registerKitFilters();
    std::unique_ptr<Filter> filter = FilterRegistry::create(name);
    EXPECT_TRUE(filter) << name.toStdString();
    if (!filter)
        return {};
    filter->setValueForKey(QStringLiteral("inputImage"), QVariant::fromValue(input));
    for (auto i = inputs.begin(); i != inputs.end(); ++i)
        EXPECT_TRUE(platform::KeyValue::setValue(filter.get(), i.key(), i.value())) << i.key().toStdString();
    return filter->outputImage();
}

Image plain(const Color &colour, const QRectF &rect = {0, 0, 2, 2})
{
    return Image::withColor(colour).cropped(rect);
}

Color colourAt(const Image &image, int x, int y)
{
    const std::optional<Buffer> pixels = Context().render(image, QRect(x, y, 1, 1));
    return pixels ? Color::fromPixel(pixels->at(x, y)) : Color{-1, -1, -1, -1};
}

void expectNear(const Color &actual, const Color &expected, const std::string &what)
{
    const float tolerance = 2.0f / 255;
    EXPECT_NEAR(actual.r, expected.r, tolerance) << what;
    EXPECT_NEAR(actual.g, expected.g, tolerance) << what;
    EXPECT_NEAR(actual.b, expected.b, tolerance) << what;
    EXPECT_NEAR(actual.a, expected.a, tolerance) << what;
}

QVariant v(const Color &c) { return QVariant::fromValue(c); }

} // namespace

TEST(KitFilters, ColourFiltersGiveHandWorkedColours)
{
    const QVariant blackToWhite = QVariant::fromValue(platform::Gradient(QList<QColor>{Qt::black, Qt::white}));
    const Color mid{0, 103 / 255.0f, 177 / 255.0f, 1};
    struct Row { const char *filter; QVariantMap inputs; Color in, out; };
    const Row rows[] = {
        {"QSGradientMapFilter", {}, {0, 0, 0, 1}, {0, 0, 0, 1}},
        {"QSGradientMapFilter", {}, {0.5f, 0.5f, 0.5f, 1}, mid},
        // Lightness 1: z = 1.34, so luma 0.25 is bent to 0.50125.
        {"QSGradientMapFilter", {{"inputColor", v({1, 1, 1, 1})}}, {0.25f, 0.25f, 0.25f, 1}, mid},
        // Full red tint at the looked-up colour's value.
        {"QSGradientMapFilter", {{"inputColor", v({1, 0, 0, 1})}}, {0.5f, 0.5f, 0.5f, 1}, {mid.b, 0, 0, 1}},
        {"QSGradientMapFilter", {{"inputGradient", blackToWhite}}, {0.25f, 0.25f, 0.25f, 0.5f}, {0.25f, 0.25f, 0.25f, 0.5f}},
        {"QSColorMultiplyFilter", {}, {0.5f, 0.5f, 0.5f, 1}, {0.275f, 0.35f, 0.5f, 1}},
        {"QSColorMultiplyFilter", {{"inputColor", v({1, 0.5f, 0, 0.5f})}}, {0.5f, 0.5f, 0.5f, 0.5f}, {0.5f, 0.25f, 0, 0.25f}},
        {"QSDimmedBWFilter", {}, {1, 0, 0, 1}, {0.12756f, 0.12756f, 0.12756f, 1}},
        {"QSRotateColorFilter", {}, {1, 0, 0, 1}, {0, 1, 1, 1}},
        {"QSSRGBConversionFilter", {}, {0.5f, 0.5f, 0.5f, 1}, {0.7354f, 0.7354f, 0.7354f, 1}},
        {"QSSRGBConversionFilter", {{"toRGB", true}}, {0.5f, 0.5f, 0.5f, 1}, {0.2140f, 0.2140f, 0.2140f, 1}},
        // Green is far from red: 0.4 of the way to its grey 0.7152.
        {"QSKeepColorFilter", {}, {0, 1, 0, 1}, {0.2861f, 0.8861f, 0.2861f, 1}},
        {"QSReplaceColorFilter", {}, {1, 0, 0, 1}, {0.6f, 0.4f, 0, 1}},
    };
    for (const Row &row : rows) {
        const Image out = output(row.filter, plain(row.in), row.inputs);
        EXPECT_EQ(out.extent(), QRectF(0, 0, 2, 2)) << row.filter;
        expectNear(colourAt(out, 1, 1), row.out, std::string(row.filter) + " " + row.in.text().toStdString());
    }
}

TEST(KitFilters, GradientMultiplyLaysTheGradientAlongTheAngle)
{
    // Black to white: pixel i of n along the gradient's direction is grey (i + 0.5) / n.
    struct Row { double angle; QSize size; bool alongWidth; };
    for (const Row row : {Row{0, {4, 2}, true}, Row{90, {2, 4}, false}}) {
        const Image out = output("QSGradientMultiplyFilter", plain({1, 1, 1, 1}, QRectF(QPointF(0, 0), row.size)),
                                 {{"inputAngle", row.angle}});
        for (int i = 0; i < 4; ++i) {
            // At 90 degrees the first colour is at the top.
            const Color c = row.alongWidth ? colourAt(out, i, 0) : colourAt(out, 0, 3 - i);
            expectNear(c, {(i + 0.5f) / 4, (i + 0.5f) / 4, (i + 0.5f) / 4, 1}, "angle " + std::to_string(row.angle));
        }
    }
}

TEST(KitFilters, AffineTransformExtents)
{
    const QVariant rect = QVariant::fromValue(QRectF(0, 0, 2, 2));
    struct Row { QRectF in; QVariantMap inputs; QRectF extent; };
    const Row rows[] = {
        {{3, 5, 4, 2}, {}, {0, 0, 4, 2}},
        // The defaults NO of the rectangles count as unset.
        {{3, 5, 4, 2}, {{"inputCropRect", false}, {"inputPreCropRect", false}}, {0, 0, 4, 2}},
        {{0, 0, 4, 2}, {{"inputAngle", 90.0}}, {0, 0, 2, 4}},
        {{0, 0, 4, 2}, {{"inputAngle", 90.0}, {"inputKeepExtent", true}}, {1, -1, 2, 4}},
        {{0, 0, 4, 2}, {{"inputCropRect", QRectF(1, 1, 2, 1)}, {"inputKeepExtent", true}}, {1, 1, 2, 1}},
        {{0, 0, 4, 2}, {{"inputPreCropRect", rect}, {"inputScale", QVariant::fromValue(Vector{{2, 2}, 2})}, {"inputKeepExtent", true}},
         {-2, -1, 4, 4}},
    };
    for (const Row &row : rows)
        EXPECT_EQ(output("QSAffineTransformFilter", plain({1, 0, 0, 1}, row.in), row.inputs).extent(), row.extent);
}

TEST(KitFilters, AffineQuarterTurnMovesEveryPixel)
{
    Buffer pixels(QRect(0, 0, 4, 2));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            pixels.row(y)[x] = {x / 4.0f, y / 2.0f, 0, 1};
    const Image turned = output("QSAffineTransformFilter", Image::fromBuffer(pixels), {{"inputAngle", 90.0}});
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            expectNear(colourAt(turned, 1 - y, x), {x / 4.0f, y / 2.0f, 0, 1}, "from " + std::to_string(x) + "," + std::to_string(y));
}

TEST(KitFilters, ZeroScaleGivesAnEmptyOutput)
{
    platform::LogCapture log;
    const Image out = output("QSAffineTransformFilter", plain({1, 0, 0, 1}), {{"inputScale", QVariant::fromValue(Vector{{0, 1}, 2})}});
    EXPECT_FALSE(out.isNull());
    EXPECT_TRUE(out.extent().isEmpty());
    EXPECT_TRUE(log.contains("Warning: QSAffineTransformFilter has a singular transform; its output is empty"));
}

TEST(KitFilters, ReflectionDrawsTheMirrorBelow)
{
    Buffer pixels(QRect(0, 0, 2, 2));
    for (int x = 0; x < 2; ++x) {
        pixels.row(0)[x] = {1, 0, 0, 1};
        pixels.row(1)[x] = {0, 0, 1, 1};
    }
    const Color red{1, 0, 0, 1}, blue{0, 0, 1, 1}, clear{0, 0, 0, 0};
    struct Row { QVariantMap inputs; QRectF extent; std::vector<Color> columnFromBottom; };
    const Row rows[] = {
        {{}, {0, -1, 2, 3}, {{1, 0, 0, 0.4f}, red, blue}},
        {{{"inputIntensity", 1.0}, {"inputHeight", 1.0}, {"inputDistance", 0.5}, {"inputProportion", 2.0}},
         {0, -3, 2, 5}, {blue, red, clear, red, blue}},
    };
    for (const Row &row : rows) {
        const Image out = output("QSReflectionFilter", Image::fromBuffer(pixels), row.inputs);
        EXPECT_EQ(out.extent(), row.extent);
        for (std::size_t i = 0; i < row.columnFromBottom.size(); ++i)
            expectNear(colourAt(out, 1, int(row.extent.y()) + int(i)), row.columnFromBottom[i], "row " + std::to_string(i));
    }
}

TEST(KitFilters, BlurCropsAsItsEdgesAsk)
{
    const Color colour{0.2f, 0.4f, 0.6f, 1};
    const Image inside = output("QSGaussianBlurFilter", plain(colour, {0, 0, 40, 40}), {{"inputRadius", 2.0}, {"forceInside", true}});
    EXPECT_EQ(inside.extent(), QRectF(0, 0, 40, 40));
    expectNear(colourAt(inside, 0, 0), colour, "clamped edges do not fade");

    const Image grown = output("QSGaussianBlurFilter", plain(colour, {0, 0, 40, 40}), {{"inputRadius", 2.0}});
    const double margin = -grown.extent().x();
    EXPECT_GT(margin, 0);
    EXPECT_EQ(grown.extent(), QRectF(0, 0, 40, 40).adjusted(-margin, -margin, margin, margin));
    EXPECT_LT(colourAt(grown, 0, 0).a, 0.9f);
    expectNear(colourAt(grown, 20, 20), colour, "the inside keeps its colour");

    platform::LogCapture log;
    const Image unbounded = output("QSGaussianBlurFilter", Image::withColor(colour), {{"inputRadius", 2.0}});
    EXPECT_TRUE(Extent::isInfinite(unbounded.extent()));
    EXPECT_FALSE(Context().render(unbounded));
    EXPECT_FALSE(log.lines().filter("Error: ").isEmpty());
}
