#include "platform/foundation/EdgeInsets.h"
#include "platform/foundation/Log.h"
#include "platform/graphics/BitmapGraphicsContext.h"
#include "platform/graphics/Gradient.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/PdfGraphicsContext.h"

#include "support/PixelProbe.h"

#include <gtest/gtest.h>

#include <QBuffer>

using platform::GraphicsContext;

namespace {

// y-up probes of a 40 × 40 picture.
QColor at(const QImage &image, int x, int y) { return image.pixelColor(x, image.height() - 1 - y); }

// Red top row over a blue rest, so that upside-down tiles show.
QImage tile()
{
    QImage image(4, 4, QImage::Format_ARGB32);
    image.fill(Qt::blue);
    for (int x = 0; x < 4; ++x)
        image.setPixelColor(x, 0, Qt::red);
    return image;
}

} // namespace

TEST(GraphicsContext, TilesUprightFromTheTileAndClipsToAMasksAlphaAndBlends)
{
    const QImage tiled = platform::BitmapGraphicsContext::drawnImage({40, 40}, 1, [](GraphicsContext &c) {
        c.drawTiledImage(tile(), QRectF(1, 2, 4, 4));
    });
    EXPECT_EQ(at(tiled, 1, 5), QColor(Qt::red)) << "the tile's top row lies at its top";
    EXPECT_EQ(at(tiled, 1, 4), QColor(Qt::blue));
    EXPECT_EQ(at(tiled, 1, 1), QColor(Qt::red)) << "tiles repeat below the tile too";

    QImage mask(2, 1, QImage::Format_ARGB32);
    mask.setPixelColor(0, 0, Qt::transparent);
    mask.setPixelColor(1, 0, Qt::black);
    const QImage masked = platform::BitmapGraphicsContext::drawnImage({40, 40}, 1, [&](GraphicsContext &c) {
        c.clipToMask(mask, QRectF(0, 0, 40, 20));
        c.setFill(Qt::green);
        c.fillRect(QRectF(0, 0, 40, 40));
    });
    EXPECT_EQ(at(masked, 5, 5).alpha(), 0) << "the mask's clear half";
    EXPECT_EQ(at(masked, 35, 5), QColor(Qt::green));
    EXPECT_EQ(at(masked, 35, 30).alpha(), 0) << "outside the mask's rectangle";

    const QImage blended = platform::BitmapGraphicsContext::drawnImage({40, 40}, 1, [](GraphicsContext &c) {
        c.setFill(QColor(100, 100, 100));
        c.fillRect(QRectF(0, 0, 40, 40));
        c.setBlendMode(QPainter::CompositionMode_Multiply);
        c.setFill(QColor(128, 255, 255));
        c.fillRect(QRectF(0, 0, 20, 40));
    });
    EXPECT_TRUE(PixelProbe::isNear(blended, {5, 5}, QColor(50, 100, 100), 3)) << PixelProbe::describe(blended, {5, 5}).toStdString();
}

TEST(PdfGraphicsContext, WarnsThatItDrawsBlendsNormallyAndMasksAsPictures)
{
    platform::LogCapture log;
    platform::PdfGraphicsContext context;
    context.beginPage({40, 40});
    context.setBlendMode(QPainter::CompositionMode_Overlay);
    context.fillRect(QRectF(0, 0, 10, 10));
    context.clipToMask(tile(), QRectF(0, 0, 10, 10));
    context.fillRect(QRectF(0, 0, 10, 10));
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(context.write(buffer));
    EXPECT_TRUE(log.contains("Warning: PDF output cannot blend drawings; they are drawn normally"));
    EXPECT_TRUE(log.contains("Warning: PDF output gets drawing clipped to an image's mask as a picture"));
}

TEST(Gradient, AnswersTheColourBetweenItsStopsAndDrawsRadiallyFromARelativeCentre)
{
    const platform::Gradient gradient(QGradientStops{{0.2, QColor(0, 0, 0)}, {0.6, QColor(200, 100, 0, 0)}});
    EXPECT_EQ(gradient.interpolatedColorAtLocation(0.1), QColor(0, 0, 0));
    EXPECT_EQ(gradient.interpolatedColorAtLocation(0.5).rgba(), qRgba(150, 75, 0, 64));
    EXPECT_FALSE(platform::Gradient().interpolatedColorAtLocation(0.5).isValid());

    const QImage radial = platform::BitmapGraphicsContext::drawnImage({40, 40}, 1, [](GraphicsContext &) {
        QPainterPath box;
        box.addRect(0, 0, 40, 40);
        platform::Gradient({QColor(Qt::white), QColor(Qt::black)}).drawInPath(box, QPointF(1, 1));
    });
    EXPECT_GT(at(radial, 39, 39).red(), 240) << "the first colour at the upper-right corner";
    EXPECT_LT(at(radial, 0, 0).red(), 15) << "the last at the farthest corner";
}

TEST(EdgeInsets, ReadsBottomLeftTopRightWithMissingNumbersZero)
{
    EXPECT_EQ(platform::EdgeInsets::fromString("1 2"), (platform::EdgeInsets{0, 2, 1, 0}));
    EXPECT_EQ(platform::EdgeInsets::fromString(" 1  2 3 4 "), (platform::EdgeInsets{3, 2, 1, 4}));
    platform::LogCapture log;
    EXPECT_EQ(platform::EdgeInsets::fromString("x 2 3 4 5"), (platform::EdgeInsets{3, 2, 0, 4}));
    EXPECT_EQ(log.lines().size(), 2);
}
