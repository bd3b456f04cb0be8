#include "app/booklet/VXStyleKit.h"

#include "platform/graphics/BitmapGraphicsContext.h"

#include <gtest/gtest.h>

namespace {

QImage drawn(QSizeF size, const std::function<void()> &drawing)
{
    return platform::BitmapGraphicsContext::drawnImage(size, 1, [&](platform::GraphicsContext &) { drawing(); });
}

} // namespace

TEST(VXStyleKit, DisabledPaperFaceIsTheNormalOneWithADashedFold)
{
    // The dashed fold sits 51 points in on a width of 100.
    const QImage normal = drawn({100, 40}, [] { VXStyleKit::drawingNamed("drawPaperPreviewWithSize")({100, 40}); });
    EXPECT_EQ(drawn({100, 40}, [] { VXStyleKit::drawPaperPreviewDisabledWithSize({100, 40}); }), normal);
    EXPECT_LT(qGray(normal.pixel(51, 39)), qGray(normal.pixel(50, 39)));
    EXPECT_LT(qGray(normal.pixel(51, 39)), qGray(normal.pixel(52, 39)));
}

TEST(VXStyleKit, FoldShadowDarkensTowardsTheFold)
{
    const QImage shadow = drawn({200, 10}, [] { VXStyleKit::drawPageSelfShadowsWithSize({200, 10}, 40, 60); });
    EXPECT_NEAR(qAlpha(shadow.pixel(99, 5)), 0.313 * 255, 8);
    EXPECT_EQ(qAlpha(shadow.pixel(59, 5)), 0) << "left of the left shadow";
    EXPECT_GT(qAlpha(shadow.pixel(130, 5)), qAlpha(shadow.pixel(150, 5)));
}
