#include "FxTestImages.h"

#include "platform/foundation/Log.h"
#include "platform/fx/Extent.h"
#include "platform/fx/FilterRegistry.h"
#include "platform/fx/Kernel.h"
#include "platform/fx/Numbers.h"
#include "platform/fx/RenderGraph.h"
#include "platform/graphics/AlphaBlur.h"

#include <QImage>

#include <cmath>
#include <limits>

using namespace fxtest;
using platform::fx::Context;
using platform::fx::FilterRegistry;

namespace {

constexpr double infinity = std::numeric_limits<double>::infinity();
const double notANumber = std::nan("");

Image filtered(const QString &name, const QVariantMap &inputs)
{
    auto filter = FilterRegistry::create(name);
    filter->setDefaults();
    for (auto input = inputs.begin(); input != inputs.end(); ++input)
        filter->setValueForKey(input.key(), input.value());
    return filter->outputImage();
}

bool allFinite(const Buffer &pixels)
{
    for (int y = pixels.rect().top(); y <= pixels.rect().bottom(); ++y)
        for (int x = pixels.rect().left(); x <= pixels.rect().right(); ++x) {
            const Pixel p = pixels.at(x, y);
            if (!std::isfinite(p.r) || !std::isfinite(p.g) || !std::isfinite(p.b) || !std::isfinite(p.a))
                return false;
        }
    return true;
}

struct BlurCase
{
    const char *name;
    QString filter;
    double radius;
    double angle;
};

class HostileBlur : public ::testing::TestWithParam<BlurCase>
{
};

// Radii from stored settings reach the blurs as they are: each gives a picture of bounded size
// with finite pixels, where before a radius of 1e8 overflowed into a scratch buffer of 6e8 × 6e8.
TEST_P(HostileBlur, RendersAPictureOfBoundedSize)
{
    const BlurCase &c = GetParam();
    QVariantMap inputs{{"inputImage", QVariant::fromValue(filled(QRect(0, 0, 16, 12), {0.5f, 0, 0, 0.5f}))},
                       {"inputRadius", c.radius}};
    if (c.filter == "CIMotionBlur")
        inputs.insert("inputAngle", c.angle);
    const Image blurred = filtered(c.filter, inputs);
    ASSERT_FALSE(blurred.isNull());
    EXPECT_LT(blurred.extent().width(), 200000);
    const auto pixels = Context().render(blurred, QRect(0, 0, 16, 12));
    ASSERT_TRUE(pixels.has_value());
    EXPECT_TRUE(allFinite(*pixels));
    EXPECT_LE(pixels->at(8, 6).a, 0.5f + 1e-5f);
}

INSTANTIATE_TEST_SUITE_P(Fx, HostileBlur,
                         ::testing::Values(BlurCase{"GaussianHuge", "CIGaussianBlur", 1e8, 0},
                                           BlurCase{"GaussianInfinite", "CIGaussianBlur", infinity, 0},
                                           BlurCase{"GaussianNaN", "CIGaussianBlur", notANumber, 0},
                                           BlurCase{"MotionHuge", "CIMotionBlur", 1e12, 0},
                                           BlurCase{"MotionNaNAngle", "CIMotionBlur", 5, notANumber},
                                           BlurCase{"MotionInfiniteAngle", "CIMotionBlur", 5, infinity}),
                         [](const auto &info) { return std::string(info.param.name); });

// The box half widths stay within int whatever the deviation; nothing for NaN.
TEST(FxHostileInputs, BoxRadiiStayInRange)
{
    for (const double sigma : {1e8, 1e30, infinity}) {
        for (const int radius : platform::AlphaBlur::boxRadii(sigma)) {
            EXPECT_GT(radius, 0) << sigma;
            EXPECT_LE(radius, 1 << 20) << sigma;
        }
    }
    EXPECT_EQ(platform::AlphaBlur::boxRadii(notANumber), (std::array<int, 3>{}));
    QImage mask(8, 8, QImage::Format_Alpha8);
    mask.fill(255);
    platform::AlphaBlur::blur(mask, 1e30);
    // Spread far and thin: what is left is the same faint value everywhere.
    EXPECT_EQ(mask.pixelColor(0, 0).alpha(), mask.pixelColor(4, 4).alpha());
    EXPECT_LT(mask.pixelColor(4, 4).alpha(), 8);
}

// The mean of a 4 × 4 picture over a 1e9 × 1e9 area (cut where the engine's plane ends, at
// 2^29): its pixels only, divided by the area, in no time (the whole area was walked before).
TEST(FxHostileInputs, AreaAverageOfAHugeExtent)
{
    const Image mean = filtered("CIAreaAverage", {{"inputImage", QVariant::fromValue(filled(QRect(0, 0, 4, 4), {1, 1, 1, 1}))},
                                                  {"inputExtent", QVariant::fromValue(platform::fx::Vector{{0, 0, 1e9, 1e9}, 4})}});
    const Pixel pixel = renderedPixel(mean, 0, 0);
    EXPECT_NEAR(pixel.a, 16 / std::ldexp(1.0, 58), 1e-22);
}

struct BudgetCase
{
    const char *name;
    Image image;
    QRect rect;
};

class OverBudget : public ::testing::TestWithParam<BudgetCase>
{
};

// Refused with one "Error: " line before anything is allocated.
TEST_P(OverBudget, IsRefusedBeforeAllocating)
{
    platform::LogCapture log;
    EXPECT_FALSE(Context().render(GetParam().image, GetParam().rect).has_value());
    ASSERT_EQ(log.lines().size(), 1);
    EXPECT_TRUE(log.lines().first().startsWith("Error: ")) << log.lines().first().toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Fx, OverBudget,
    ::testing::Values(
        // The result itself: 16000² float pixels are 4 GB, where the 4 × 4 picture is all there is.
        BudgetCase{"Result", filled(QRect(0, 0, 4, 4), {1, 0, 0, 1}), QRect(0, 0, 16000, 16000)},
        // The blur's own scratch: an infinite picture blurred far reads rows millions of pixels away.
        BudgetCase{"BlurScratch",
                   filtered("CIGaussianBlur", {{"inputImage", QVariant::fromValue(Image::withColor({1, 0, 0, 1}))},
                                               {"inputRadius", 1e8}}),
                   QRect(0, 0, 16, 12)},
        // Steps that fit one by one but not together: three 8000² buffers of 1 GB each.
        BudgetCase{"AllSteps",
                   filtered("CISourceOverCompositing",
                            {{"inputImage", QVariant::fromValue(Image::withColor({0, 1, 0, 0.5f}).cropped(QRectF(0, 0, 8000, 8000)))},
                             {"inputBackgroundImage", QVariant::fromValue(Image::random())}}),
                   QRect(0, 0, 8000, 8000)}),
    [](const auto &info) { return std::string(info.param.name); });

// Recipes far longer than the stack is deep render and are dropped without recursion.
TEST(FxHostileInputs, ChainOfAQuarterMillionSteps)
{
    Image image = filled(QRect(0, 0, 2, 1), {0.25f, 0.5f, 0.75f, 1});
    for (int i = 0; i < 250000; ++i)
        image = image.cropped(QRectF(0, 0, 2, 1));
    EXPECT_TRUE(near(renderedPixel(image, 1, 0), {0.25f, 0.5f, 0.75f, 1}));
    image = Image();
}

} // namespace

// Extents far past the engine's square become its edge, never an int that wrapped round.
TEST(FxHostileInputs, HugeExtentsMeetTheInfiniteSquareWithoutWrapping)
{
    namespace Extent = platform::fx::Extent;
    const QRect square = Extent::infinitePixels();
    const struct {
        QRectF extent;
        QRect pixels;
    } cases[] = {
        {QRectF(-3e9, 0, 10, 10), QRect()},
        {QRectF(2e9, -2e9, 10, 10), QRect()},
        {QRectF(-1e300, 0, 1e8, 10), QRect()},
        {QRectF(square.left() - 100.0, 0, 300, 10), QRect(square.left(), 0, 200, 10)},
        {QRectF(0, square.bottom() - 9.5, 10, 100), QRect(0, square.bottom() - 10, 10, 11)},
        {QRectF(0, 0, 10, 3e9), square},
        {QRectF(notANumber, 0, 10, 10), QRect()},
        {QRectF(0, 0, notANumber, 10), QRect()},
        {QRectF(0.5, 0.5, 2, 2), QRect(0, 0, 2, 2)},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(QString("%1 %2 %3 %4").arg(c.extent.x()).arg(c.extent.y()).arg(c.extent.width()).arg(c.extent.height()).toStdString());
        EXPECT_EQ(Extent::pixelsCentredIn(c.extent), c.pixels);
    }
    EXPECT_EQ(Extent::pixelsTouching(QRectF(notANumber, 0, 10, 10)), QRect());
    EXPECT_EQ(Extent::pixelsTouching(QRectF(0, -3e9, 10, 10)), QRect());
}

// A value read passes as it is while its numbers lie within the plane, its type too (a boolean
// stays one, as a property list writes it); one holding a number that is not finite is refused,
// one beyond the plane kept to it, each with one warning naming what was read.
TEST(FxHostileInputs, NumbersAreCheckedAsTheyAreRead)
{
    namespace Numbers = platform::fx::Numbers;
    using platform::fx::Vector;
    const double side = Numbers::largest;
    const struct {
        const char *name;
        QVariant given;
        std::optional<QVariant> kept;
    } cases[] = {
        {"boolean", true, true},
        {"integer", 3, 3},
        {"text", QStringLiteral("1e308"), QStringLiteral("1e308")},
        {"rectangle within", QRectF(0, 0, 1e9, 1), QRectF(0, 0, 1e9, 1)},
        {"vector within", QVariant::fromValue(Vector{{1, -2}, 2}), QVariant::fromValue(Vector{{1, -2}, 2})},
        {"huge", 1e308, side},
        {"huge integer", qint64(1) << 40, side},
        {"far transform", QVariant::fromValue(QTransform(1, 0, 0, 1, -1e20, 2)), QVariant::fromValue(QTransform(1, 0, 0, 1, -side, 2))},
        {"vector with NaN", QVariant::fromValue(Vector{{1, notANumber}, 2}), std::nullopt},
        {"infinite colour", QVariant::fromValue(platform::fx::Color{1, std::numeric_limits<float>::infinity(), 0, 1}), std::nullopt},
        {"NaN", notANumber, std::nullopt},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        platform::LogCapture log;
        const std::optional<QVariant> kept = Numbers::checked(c.given, [] { return QStringLiteral("The value"); });
        ASSERT_EQ(kept.has_value(), c.kept.has_value());
        if (kept) {
            EXPECT_EQ(kept->metaType(), c.kept->metaType());
            EXPECT_EQ(*kept, *c.kept);
        }
        const bool changed = !kept || *kept != c.given;
        ASSERT_EQ(log.lines().size(), changed ? 1 : 0);
        if (changed) {
            EXPECT_TRUE(log.lines().first().startsWith("Warning: The value ")) << log.lines().first().toStdString();
        }
    }
}

// Doubles that pixel arithmetic makes become ints through one conversion: NaN gives 0, and
// numbers past the plane stop beyond its edge, where a neighbour's index still fits an int.
TEST(FxHostileInputs, PixelArithmeticBecomesIntsWithinThePlane)
{
    namespace Numbers = platform::fx::Numbers;
    const int side = 1 << 30;
    const struct {
        double given;
        int made;
    } cases[] = {{notANumber, 0}, {infinity, side}, {-infinity, -side}, {1e300, side}, {-1e300, -side},
                 {std::ldexp(1.0, 31), side}, {2.9, 2}, {-3.7, -3}, {-side - 0.5, -side}};
    for (const auto &c : cases)
        EXPECT_EQ(Numbers::toInt(c.given), c.made) << c.given;
}

// Kernels that sample far beyond the plane, or at points that are no numbers, read nothing there
// (or the clamped edge) instead of an int that overflowed; a nearly singular transform, which
// brings far points back, renders finite pixels.
TEST(FxHostileInputs, SamplingFarBeyondThePlaneReadsNothingOrTheEdge)
{
    using platform::fx::Filtering;
    using platform::fx::Wrap;
    const Image picture = ramp(4, 3);
    const struct {
        QPointF point;
        Wrap wrap;
        Pixel read;
    } cases[] = {
        {{1e300, 1.5}, Wrap::Transparent, {}},
        {{1e300, 1.5}, Wrap::Clamp, rampPixel(3, 1)},
        {{-1e300, 1.5}, Wrap::Clamp, rampPixel(0, 1)},
        {{1.5, -infinity}, Wrap::Transparent, {}},
        {{notANumber, 1.5}, Wrap::Clamp, {}},
        {{1.5, notANumber}, Wrap::Transparent, {}},
    };
    for (const auto &c : cases) {
        for (const Filtering filtering : {Filtering::Linear, Filtering::Nearest}) {
            SCOPED_TRACE(QStringLiteral("(%1, %2), %3, %4")
                             .arg(c.point.x())
                             .arg(c.point.y())
                             .arg(c.wrap == Wrap::Clamp ? "clamped" : "transparent", filtering == Filtering::Linear ? "linear" : "nearest")
                             .toStdString());
            const QPointF point = c.point;
            const platform::fx::Kernel far(QStringLiteral("far"), [point](const platform::fx::KernelInvocation &k) { return k.sample(0, point); });
            const Image sampled = far.apply({QRectF(0, 0, 1, 1), [](int, const QRectF &) { return QRectF(0, 0, 4, 3); }},
                                            {platform::fx::Sampler{picture, c.wrap, filtering}});
            EXPECT_TRUE(near(renderedPixel(sampled, 0, 0), c.read));
        }
    }
    const Image sheared = picture.transformed(QTransform(1, 1, 1, 1 + 1e-12, 0, 0));
    ASSERT_FALSE(sheared.isNull());
    const auto pixels = Context().render(sheared, QRect(0, 0, 8, 6));
    ASSERT_TRUE(pixels.has_value());
    EXPECT_TRUE(allFinite(*pixels));
}

// A crop 3.4e38 tall of an endless colour, one pixel wide, is a picture 2^29 pixels tall, where
// the plane ends. Its two steps alone came to the render budget exactly, and making the picture a
// band at a time ran for minutes (far longer under the sanitizers). The whole render counts, the
// picture made of the bands too: it is refused before it starts, with the reason.
TEST(FxHostileInputs, ACropThreeTimesTenToTheThirtyEighthTallIsRefusedBeforeItStarts)
{
    const Image strip = Image::withColor({1, 0, 0, 1}).cropped(QRectF(0, 0, 1, 3.4e38));
    const QRect rect = platform::fx::Extent::pixelsTouching(strip.extent());
    ASSERT_EQ(rect, QRect(0, 0, 1, 1 << 29));
    const QString refusal = Context::budgetRefusal(strip, rect);
    ASSERT_EQ(refusal.toStdString(), "Rendering 1 × 536870912 pixels would compute 1610 million pixels on its way, more than "
                                     "the 1073 million a render may compute");
    platform::LogCapture log;
    EXPECT_TRUE(Context().createImage(strip, QRectF(rect)).isNull());
    EXPECT_EQ(log.lines(), QStringList{"Error: " + refusal});
}
