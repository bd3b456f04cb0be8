#include "platform/foundation/Log.h"
#include "platform/graphics/AlphaBlur.h"
#include "platform/graphics/BitmapGraphicsContext.h"
#include "platform/graphics/GraphicsContextScope.h"
#include "platform/graphics/PainterGraphicsContext.h"

#include "support/PdfFixture.h"
#include "support/PixelProbe.h"
#include "support/QtPrinters.h"

#include <QLinearGradient>
#include <QPainter>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <thread>

using platform::AlphaBlur;
using platform::BitmapGraphicsContext;
using platform::GraphicsContext;
using platform::PainterGraphicsContext;
using platform::PdfPage;

namespace {

const QColor marker(255, 0, 0);

PdfPage fixturePage() { return PdfFixture::pdfPages(PdfFixture::pages(PdfFixture::numbered(1))).at(0); }

QImage drawn(const QSize &size, const std::function<void(GraphicsContext &)> &draw)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    PainterGraphicsContext context(&painter, size.height());
    draw(context);
    return image;
}

using Probes = QList<std::pair<QPoint, QColor>>;
const QStringList none;

// The smallest rectangle, in the image's y-down pixels, holding every pixel that is not white.
QRect inked(const QImage &image)
{
    QRect ink;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y) != QColor(Qt::white))
                ink |= QRect(x, y, 1, 1);
        }
    }
    return ink;
}

} // namespace

TEST(PainterGraphicsContext, DrawsThePageInTheUserSpaceWithItsLowerLeftCornerAtTheOrigin)
{
    const PdfPage page = fixturePage();
    const QColor fill = PdfFixture::colourOf(1);
    struct Case { const char *name; QSize size; std::function<void(GraphicsContext &)> transform; Probes probes; };
    const QList<Case> cases{
        {"as it is", {200, 300}, [](GraphicsContext &) {}, {{{5, 295}, marker}, {{55, 245}, fill}, {{195, 5}, fill}}},
        {"counter-clockwise quarter turn", {300, 200},
         [](GraphicsContext &c) {
             c.translate(300, 0);
             c.rotate(M_PI / 2);
         },
         {{{295, 195}, marker}, {{5, 5}, fill}}},
        // Fifty times enlarged the whole page would be 10000 x 15000 pixels; only 100 x 100 are seen.
        {"enlarged marker", {100, 100},
         [](GraphicsContext &c) {
             c.scale(50, 50);
             c.translate(-1, -1);
         },
         {{{0, 0}, marker}, {{99, 99}, marker}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QImage image = drawn(c.size, [&](GraphicsContext &context) {
            c.transform(context);
            context.drawPdfPage(page);
        });
        EXPECT_EQ(PixelProbe::mismatches(image, c.probes), none);
    }
}

TEST(PainterGraphicsContext, GivesThePainterItsStateBack)
{
    QImage image(10, 10, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    painter.translate(3, 4);
    const QTransform before = painter.transform();
    platform::LogCapture log;
    {
        PainterGraphicsContext context(&painter, 10);
        context.saveGState();
        context.scale(2, 2);
        context.restoreGState();
        context.restoreGState();
        context.saveGState();
        context.rotate(1);
    }
    EXPECT_EQ(painter.transform(), before);
    EXPECT_EQ(log.lines(), QStringList{"Warning: Graphics state restored more often than saved"});
}

TEST(PainterGraphicsContext, FillsInTheYUpSpaceWithConcatenationsBeforeTheCurrentTransform)
{
    const QImage image = drawn({100, 100}, [](GraphicsContext &c) {
        c.translate(50, 0);
        c.concat(QTransform::fromScale(2, 3));
        c.setFill(marker);
        c.fillRect(QRectF(0, 0, 10, 10));
    });
    EXPECT_EQ(inked(image), QRect(50, 70, 20, 30));
}

TEST(PainterGraphicsContext, ClipsUnderTheTransformTheyWereMadeUnderUntilRestored)
{
    QPainterPath circle;
    circle.addEllipse(QPointF(50, 50), 20, 20);
    const QImage image = drawn({100, 100}, [&](GraphicsContext &c) {
        c.saveGState();
        c.translate(30, 0);
        c.clipToRect(QRectF(0, 0, 20, 100));
        c.translate(-30, 0);
        c.clipToPath(circle);
        c.scale(10, 10);
        c.setFill(marker);
        c.fillRect(QRectF(0, 0, 10, 10));
        c.restoreGState();
        c.setFill(Qt::blue);
        c.fillRect(QRectF(90, 90, 10, 10));
    });
    // The circle's left half only, x 30 to 50; the restored state draws unclipped again.
    EXPECT_EQ(PixelProbe::mismatches(image, {{{40, 50}, marker}, {{60, 50}, Qt::white}, {{95, 5}, Qt::blue}}), none);
    EXPECT_EQ(inked(image).left(), 30);
}

TEST(PainterGraphicsContext, GradientsStrokesAndPicturesLandWhereDrawnInUserSpace)
{
    QImage picture(2, 2, QImage::Format_ARGB32);
    picture.fill(Qt::red);
    picture.setPixelColor(0, 1, Qt::blue);
    picture.setPixelColor(1, 1, Qt::blue);
    const struct { const char *name; std::function<void(GraphicsContext &)> draw; Probes probes; } cases[] = {
        {"linear gradient", [](GraphicsContext &c) {
             QLinearGradient gradient(QPointF(10, 0), QPointF(90, 0));
             gradient.setColorAt(0, Qt::red);
             gradient.setColorAt(1, Qt::blue);
             c.setFill(gradient);
             c.fillRect(QRectF(0, 0, 100, 10));
         }, {{{10, 95}, Qt::red}, {{90, 95}, Qt::blue}, {{50, 95}, QColor(128, 0, 127)}, {{50, 85}, Qt::white}}},
        // Dashes are given in units, not in line widths.
        {"dashes", [](GraphicsContext &c) {
             c.setStroke(marker);
             c.setLineWidth(4);
             c.setLineDash({10, 10});
             QPainterPath line(QPointF(0, 90));
             line.lineTo(100, 90);
             c.strokePath(line);
         }, {{{5, 10}, marker}, {{15, 10}, Qt::white}, {{25, 10}, marker}, {{5, 13}, Qt::white}}},
        {"pictures upright, with opacity and a y-up source", [&](GraphicsContext &c) {
             c.drawImage(picture, QRectF(0, 50, 40, 40), 0.5);
             c.drawImage(picture, QRectF(50, 50, 40, 40), QRectF(0, 0, 2, 1));
         }, {{{10, 15}, QColor(255, 128, 128)}, {{10, 45}, QColor(128, 128, 255)}, {{60, 15}, Qt::blue}, {{60, 45}, Qt::blue}}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(PixelProbe::mismatches(drawn({100, 100}, c.draw), c.probes), none);
    }
}

TEST(PainterGraphicsContext, ShadowIsOffsetUpwardsAndBlurredWhateverTheUserTransformation)
{
    const QImage image = drawn({100, 100}, [&](GraphicsContext &c) {
        c.setShadow(platform::Shadow{Qt::black, QSizeF(20, 20), 4});
        c.setFill(marker);
        c.fillRect(QRectF(20, 20, 30, 30));
    });
    // The shape over its shadow, which lies up and to the right (y-down 30 to 60, x 40 to 70).
    EXPECT_EQ(PixelProbe::mismatches(image, {{{35, 65}, marker}, {{60, 40}, Qt::black}}), none);
    // Soft across the shadow's top edge.
    const int edge = qGray(image.pixel(60, 30));
    EXPECT_GT(edge, 60);
    EXPECT_LT(edge, 200);

    const QImage scaled = drawn({100, 100}, [&](GraphicsContext &c) {
        c.scale(3, 3);
        c.setShadow(platform::Shadow{Qt::black, QSizeF(20, 0), 0});
        c.setFill(marker);
        c.fillRect(QRectF(0, 0, 10, 10));
    });
    EXPECT_EQ(inked(scaled), QRect(0, 70, 50, 30)) << "20 points across, not 60";
}

TEST(PainterGraphicsContext, DrawsTextAtItsBaselineInsideItsMeasuredBoxOrAlignedAndCutOffInARectangle)
{
    const platform::TextAttributes attributes{QFont(QStringLiteral("DejaVu Sans"), 20), Qt::black};
    const QRectF box = GraphicsContext::boundingRect(QStringLiteral("Hg"), attributes);
    // One unit a point: DejaVu Sans lines are about 1.16 em high, its descent about a quarter em.
    EXPECT_NEAR(box.height(), 23.2, 2.0);
    EXPECT_TRUE(GraphicsContext::boundingRect(QString(), attributes).isNull());
    const QImage image = drawn({100, 100}, [&](GraphicsContext &c) {
        c.drawText(QStringLiteral("Hg"), QPointF(20, 30), attributes);
    });
    // The box's y-up rectangle at the baseline point, as y-down pixels.
    const QRectF expected(20 + box.left(), 100 - (30 + box.bottom()), box.width(), box.height());
    const QRect ink = inked(image);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_TRUE(expected.adjusted(-1, -1, 1, 1).contains(QRectF(ink))) << ink.x() << "," << ink.y() << " " << ink.width();
    // Ink above the baseline (H) and below it (the g's descender).
    EXPECT_LT(ink.top(), 70 - 10);
    EXPECT_GT(ink.bottom(), 70);
    // Set in its measured box, the text lands where it was measured.
    const QImage inBox = drawn({100, 100}, [&](GraphicsContext &c) {
        c.drawText(QStringLiteral("Hg"), box.translated(20, 30), attributes);
    });
    EXPECT_EQ(inBox, image);

    // In a rectangle: centred lines, the box (y-down 40 to 60) holding only what fits.
    const platform::TextAttributes centred{QFont(QStringLiteral("DejaVu Sans"), 12), Qt::black, Qt::AlignHCenter};
    const QRect cut = inked(drawn({200, 100}, [&](GraphicsContext &c) {
        c.drawText(QStringLiteral("one two three four five six seven"), QRectF(40, 40, 120, 20), centred);
    }));
    ASSERT_FALSE(cut.isEmpty());
    EXPECT_NEAR(cut.center().x(), 100, 2);
    EXPECT_TRUE(QRect(40, 40, 120, 20).contains(cut));
}

TEST(BitmapGraphicsContext, DrawsYUpAtItsScaleAsTheCurrentContextOfItsThreadAndRecordsTheResolution)
{
    GraphicsContext *elsewhere = nullptr;
    const QImage image = BitmapGraphicsContext::drawnImage({50, 20.2}, 2, [&](GraphicsContext &context) {
        BitmapGraphicsContext::drawnImage({1, 1}, 1, [](GraphicsContext &) {});
        EXPECT_EQ(GraphicsContext::current(), &context) << "again after a picture drawn inside";
        elsewhere = &context;
        std::thread([&] { elsewhere = GraphicsContext::current(); }).join();
        context.setFill(Qt::red);
        context.fillRect(QRectF(0, 0, 10, 10));
    });
    EXPECT_EQ(elsewhere, nullptr);
    EXPECT_EQ(GraphicsContext::current(), nullptr);
    ASSERT_EQ(image.size(), QSize(100, 41));
    EXPECT_EQ(image.dotsPerMeterX(), 5669);
    // Bottom-left 20 x 20 pixels red, the rest transparent.
    EXPECT_EQ(PixelProbe::mismatches(image, {{{0, 40}, Qt::red}, {{19, 21}, Qt::red}, {{20, 21}, Qt::transparent},
                                             {{19, 20}, Qt::transparent}}), none);
}

TEST(BitmapGraphicsContext, RefusesAnEmptyPicture)
{
    platform::LogCapture log;
    bool drew = false;
    EXPECT_TRUE(BitmapGraphicsContext::drawnImage({0, 10}, 1, [&](GraphicsContext &) { drew = true; }).isNull());
    EXPECT_FALSE(drew);
    EXPECT_EQ(log.lines(), QStringList{"Warning: No picture drawn at 0 x 10 points, scale 1"});
}

TEST(AlphaBlur, SpreadsAnEdgeLikeAGaussianAndLeavesSmallDeviationsAlone)
{
    // Opaque left of column 100, transparent from it on.
    QImage mask(200, 200, QImage::Format_Alpha8);
    mask.fill(0);
    for (int y = 0; y < mask.height(); ++y)
        std::fill_n(mask.scanLine(y), 100, uchar(255));
    const QImage sharp = mask;
    AlphaBlur::blur(mask, 0.2);
    EXPECT_EQ(mask, sharp);

    const double sigma = 5;
    AlphaBlur::blur(mask, sigma);
    const uchar *line = mask.constScanLine(100);
    // The share of the opaque side that a Gaussian blur carries, by distance from the edge.
    for (int x : {100, 105, 110}) {
        SCOPED_TRACE(x);
        EXPECT_NEAR(line[x], 255 * 0.5 * std::erfc((x + 0.5 - 100) / sigma / std::sqrt(2.0)), 8);
        EXPECT_NEAR(line[x] + line[199 - x], 255, 3);
    }
}
