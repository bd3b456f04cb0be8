#include "RQS-Kit/Effects/KitFilters.h"
#include "platform/fx/Extent.h"
#include "platform/fx/FilterRegistry.h"
#include "platform/fx/FxTestImages.h"

#include <gtest/gtest.h>

using namespace platform::fx;

namespace {

// A picture with colour in every channel and a soft alpha edge, 40 × 30 from (0, 0).
Image picture()
{
    Buffer pixels(QRect(0, 0, 40, 30));
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            const float a = x < 3 ? 0.5f : 1.0f;
            pixels.row(y)[x] = Pixel{x / 40.0f, y / 30.0f, 0.6f, 1.0f} * a;
        }
    return Image::fromBuffer(std::move(pixels));
}

// Every input away from its default where the filter allows it: pictures for images, the last
// choice of a choice, red for colours, the middle of a slider's range.
void setNonDefaultInputs(Filter &filter)
{
    filter.setDefaults();
    for (const InputAttribute &input : filter.inputAttributes()) {
        switch (input.kind) {
        case InputAttribute::Kind::Image:
            filter.setValueForKey(input.key, QVariant::fromValue(picture()));
            break;
        case InputAttribute::Kind::String:
            if (!input.choices.isEmpty())
                filter.setValueForKey(input.key, input.choices.last());
            break;
        case InputAttribute::Kind::Color:
            filter.setValueForKey(input.key, QVariant::fromValue(Color{1, 0, 0, 1}));
            break;
        case InputAttribute::Kind::Number:
            if (input.sliderMinimum && input.sliderMaximum)
                filter.setValueForKey(input.key, (*input.sliderMinimum + *input.sliderMaximum) / 2);
            break;
        default:
            break;
        }
    }
}

} // namespace

class FilterCopy : public ::testing::TestWithParam<const char *>
{
};

TEST_P(FilterCopy, RendersAsItsOriginal)
{
    rqs::registerKitFilters();
    const std::unique_ptr<Filter> original = FilterRegistry::create(QString::fromLatin1(GetParam()));
    ASSERT_TRUE(original);
    setNonDefaultInputs(*original);
    const std::unique_ptr<Filter> copy = original->copy();
    ASSERT_TRUE(copy);
    const Image expected = original->outputImage();
    const Image actual = copy->outputImage();
    ASSERT_EQ(actual.isNull(), expected.isNull());
    if (expected.isNull())
        return;
    // Infinite outputs are compared round the picture.
    const QRectF extent = Extent::isInfinite(expected.extent()) ? QRectF(-10, -10, 60, 50) : expected.extent();
    ASSERT_EQ(Extent::isInfinite(actual.extent()), Extent::isInfinite(expected.extent()));
    if (!Extent::isInfinite(expected.extent())) {
        ASSERT_EQ(actual.extent(), expected.extent());
    }
    const QRect rect = Extent::pixelsTouching(extent);
    const auto want = Context().render(expected, rect);
    const auto got = Context().render(actual, rect);
    ASSERT_TRUE(want && got);
    int differing = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            differing += !fxtest::near(got->at(x, y), want->at(x, y), 1e-5f);
    EXPECT_EQ(differing, 0) << GetParam() << ": " << differing << " of " << rect.width() * rect.height() << " pixels";
}

INSTANTIATE_TEST_SUITE_P(
    EveryKitFilter, FilterCopy,
    ::testing::Values("QSAffineTransformFilter", "QSGaussianBlurFilter", "QSReflectionFilter", "QSDimmedBWFilter",
                      "QSKeepColorFilter", "QSReplaceColorFilter", "QSRotateColorFilter", "QSSRGBConversionFilter",
                      "QSColorMultiplyFilter", "QSGradientMapFilter", "QSGradientMultiplyFilter",
                      "QSSimpleShadowFilter", "QSMaskImageFilter", "QSPictureFrameFilter", "QSPictureShadowFilter",
                      "QSImageOverlayFilter", "QSInpaintingFilter", "QSBlurCompositionFilter", "QSWatermarkFilter",
                      "QSArtisticExtend", "QSTexturizeFilter", "QSTexturedFrameFilter", "QSShapedBorderFilter",
                      "QSAdjustableBlendFilter", "QSBlendWithMaskFilter", "QSCombineFilter", "QSCombineMaskFilter"));

TEST(FilterApplyingOrder, InputsComeAsDeclaredEachBeforeTheInputsItsSetterOverrides)
{
    rqs::registerKitFilters();
    const std::unique_ptr<Filter> frame = FilterRegistry::create(QStringLiteral("QSTexturedFrameFilter"));
    EXPECT_EQ(frame->applyingOrder({"inputColor", "inputFrameName", "inputTextureName", "inputWidth"}),
              QStringList({"inputFrameName", "inputTextureName", "inputWidth", "inputColor"}));
    EXPECT_EQ(frame->applyingOrder({"zLast", "inputColor", "aFirst", "inputWidth"}),
              QStringList({"inputWidth", "inputColor", "zLast", "aFirst"}));
}
