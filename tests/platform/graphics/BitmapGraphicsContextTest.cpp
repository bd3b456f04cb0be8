#include "platform/foundation/Log.h"
#include "platform/graphics/BitmapGraphicsContext.h"
#include "platform/graphics/GraphicsContext.h"

#include "support/PdfFixture.h"
#include "support/PixelProbe.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using platform::BitmapGraphicsContext;
using platform::GraphicsContext;

TEST(BitmapGraphicsContext, DrawsYUpAtItsScaleAndRecordsTheResolution)
{
    GraphicsContext *seen = nullptr;
    const QImage image = BitmapGraphicsContext::drawnImage({50, 20.2}, 2, [&](GraphicsContext &context) {
        seen = GraphicsContext::current();
        EXPECT_EQ(seen, &context);
        context.setFill(Qt::red);
        context.fillRect(QRectF(0, 0, 10, 10));
    });
    EXPECT_NE(seen, nullptr);
    EXPECT_EQ(GraphicsContext::current(), nullptr);
    ASSERT_EQ(image.size(), QSize(100, 41));
    EXPECT_EQ(image.dotsPerMeterX(), 5669);
    // Bottom-left 20 x 20 pixels red, the rest transparent.
    EXPECT_EQ(PixelProbe::mismatches(image, {{{0, 40}, Qt::red}, {{19, 21}, Qt::red}, {{20, 21}, Qt::transparent},
                                             {{19, 20}, Qt::transparent}}), QStringList());
    // Read back as a page, the picture keeps its size in points.
    const std::optional<platform::PdfPage> page = platform::PdfPage::fromImage(image);
    ASSERT_TRUE(page);
    EXPECT_NEAR(page->cropBox().width(), 50, 0.1);
}

TEST(BitmapGraphicsContext, DrawsPdfPagesAtThePictureResolution)
{
    const platform::PdfPage page = PdfFixture::pdfPages(PdfFixture::pages(PdfFixture::numbered(1))).at(0);
    const QImage image = BitmapGraphicsContext::drawnImage(page.visibleSize(), 3, [&](GraphicsContext &context) {
        context.drawPdfPage(page);
    });
    ASSERT_EQ(image.size(), QSize(600, 900));
    // The 50-point marker is 150 pixels wide at the lower-left corner.
    EXPECT_EQ(PixelProbe::mismatches(image, {{{145, 755}, Qt::red}, {{155, 745}, PdfFixture::colourOf(1)}}), QStringList());
}

TEST(BitmapGraphicsContext, RefusesAnEmptyPicture)
{
    platform::LogCapture log;
    bool drew = false;
    EXPECT_TRUE(BitmapGraphicsContext::drawnImage({0, 10}, 1, [&](GraphicsContext &) { drew = true; }).isNull());
    EXPECT_TRUE(BitmapGraphicsContext::drawnImage({10, 10}, 0, [&](GraphicsContext &) { drew = true; }).isNull());
    EXPECT_FALSE(drew);
    EXPECT_EQ(log.lines().size(), 2);
    EXPECT_TRUE(log.lines().first().startsWith(QStringLiteral("Warning: No picture drawn at 0 x 10 points")));
}
