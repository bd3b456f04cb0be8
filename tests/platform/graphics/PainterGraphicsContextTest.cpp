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
#include <QRadialGradient>

#include <gtest/gtest.h>

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

PdfPage fixturePage(int rotate = 0)
{
    QList<PdfFixturePage> pages = PdfFixture::numbered(1);
    pages[0].rotate = rotate;
    return PdfFixture::pdfPages(PdfFixture::pages(pages)).at(0);
}

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

QPainterPath circle(QPointF centre, double radius)
{
    QPainterPath path;
    path.addEllipse(centre, radius, radius);
    return path;
}

QPainterPath line(QPointF from, QPointF to)
{
    QPainterPath path(from);
    path.lineTo(to);
    return path;
}

// A mask opaque left of the edge column, transparent from it on.
QImage halfPlane(int width, int edge)
{
    QImage mask(width, 200, QImage::Format_Alpha8);
    for (int y = 0; y < mask.height(); ++y) {
        uchar *row = mask.scanLine(y);
        for (int x = 0; x < width; ++x)
            row[x] = x < edge ? 255 : 0;
    }
    return mask;
}

double gaussianTail(double deviations) { return 0.5 * std::erfc(deviations / std::sqrt(2.0)); }

} // namespace

TEST(PainterGraphicsContext, DrawsThePageInTheUserSpaceWithItsLowerLeftCornerAtTheOrigin)
{
    const PdfPage page = fixturePage();
    const PdfPage turned = fixturePage(90);
    const QColor fill = PdfFixture::colourOf(1);
    const auto asItIs = [](GraphicsContext &) {};
    struct Case { const char *name; QSize size; const PdfPage *page; std::function<void(GraphicsContext &)> transform;
                  Probes probes; };
    const QList<Case> cases{
        {"as it is", {200, 300}, &page, asItIs, {{{5, 295}, marker}, {{45, 255}, marker}, {{55, 245}, fill}, {{195, 5}, fill}}},
        {"turned by its own rotation", {300, 200}, &turned, asItIs, {{{5, 5}, marker}, {{295, 195}, fill}}},
        {"translate", {300, 400}, &page, [](GraphicsContext &c) { c.translate(100, 100); },
         {{{105, 295}, marker}, {{95, 305}, Qt::white}, {{295, 105}, fill}}},
        {"scale", {100, 150}, &page, [](GraphicsContext &c) { c.scale(0.5, 0.5); }, {{{5, 145}, marker}, {{30, 120}, fill}}},
        {"counter-clockwise quarter turn", {300, 200}, &page,
         [](GraphicsContext &c) {
             c.translate(300, 0);
             c.rotate(M_PI / 2);
         },
         {{{295, 195}, marker}, {{5, 5}, fill}}},
        {"half turn about the centre", {200, 300}, &page,
         [](GraphicsContext &c) {
             c.translate(100, 150);
             c.rotate(M_PI);
             c.translate(-100, -150);
         },
         {{{195, 5}, marker}, {{5, 295}, fill}}},
        // Fifty times enlarged the whole page would be 10000 x 15000 pixels; only 100 x 100 are seen.
        {"enlarged middle", {100, 100}, &page,
         [](GraphicsContext &c) {
             c.scale(50, 50);
             c.translate(-100, -100);
         },
         {{{0, 0}, fill}, {{99, 99}, fill}}},
        {"enlarged marker", {100, 100}, &page,
         [](GraphicsContext &c) {
             c.scale(50, 50);
             c.translate(-1, -1);
         },
         {{{0, 0}, marker}, {{99, 99}, marker}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(PixelProbe::mismatches(drawn(c.size, [&](GraphicsContext &context) {
                                             c.transform(context);
                                             context.drawPdfPage(*c.page);
                                         }), c.probes), none);
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

TEST(GraphicsContext, CurrentContextIsPerThreadAndScoped)
{
    QImage image(10, 10, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    PainterGraphicsContext outer(&painter, 10);
    PainterGraphicsContext inner(&painter, 10);
    EXPECT_EQ(GraphicsContext::current(), nullptr);
    {
        platform::GraphicsContextScope first(&outer);
        {
            platform::GraphicsContextScope second(&inner);
            EXPECT_EQ(GraphicsContext::current(), &inner);
            GraphicsContext *elsewhere = &inner;
            std::thread([&] { elsewhere = GraphicsContext::current(); }).join();
            EXPECT_EQ(elsewhere, nullptr);
        }
        EXPECT_EQ(GraphicsContext::current(), &outer);
    }
    EXPECT_EQ(GraphicsContext::current(), nullptr);
}

TEST(PainterGraphicsContext, FillsInTheYUpSpaceUnderTheTransformAndClipTheyWereMadeUnder)
{
    const struct { const char *name; std::function<void(GraphicsContext &)> transform; QRect inked; } cases[] = {
        {"none", [](GraphicsContext &) {}, {0, 90, 10, 10}},
        {"concatenated before the current", [](GraphicsContext &c) {
             c.translate(50, 0);
             c.concat(QTransform::fromScale(2, 3));
             EXPECT_EQ(c.transform().map(QPointF(1, 1)), QPointF(52, 3));
         }, {50, 70, 20, 30}},
        {"clip under its own transform", [](GraphicsContext &c) {
             c.saveGState();
             c.translate(60, 60);
             c.clipToRect(QRectF(0, 0, 10, 10));
             c.restoreGState();
             c.translate(60, 60);
             c.clipToRect(QRectF(0, 0, 10, 10));
             c.translate(-60, -60);
             c.scale(10, 10);
         }, {60, 30, 10, 10}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QImage image = drawn({100, 100}, [&](GraphicsContext &context) {
            c.transform(context);
            context.setFill(marker);
            context.fillRect(QRectF(0, 0, 10, 10));
        });
        EXPECT_EQ(inked(image), c.inked);
    }
}

TEST(PainterGraphicsContext, ClipsToRectanglesAndPathsUntilRestored)
{
    const QImage image = drawn({100, 100}, [](GraphicsContext &c) {
        c.saveGState();
        c.clipToRect(QRectF(0, 0, 50, 100));
        c.clipToPath(circle({50, 50}, 20));
        c.setFill(marker);
        c.fillRect(QRectF(0, 0, 100, 100));
        c.restoreGState();
        c.setFill(Qt::blue);
        c.fillRect(QRectF(90, 90, 10, 10));
    });
    // Left half of the circle only; the restored state draws unclipped again.
    EXPECT_EQ(PixelProbe::mismatches(image, {{{40, 50}, marker}, {{60, 50}, Qt::white}, {{20, 20}, Qt::white}, {{95, 5}, Qt::blue}}), none);
    EXPECT_EQ(inked(image).left(), 30);
}

TEST(PainterGraphicsContext, GradientsStrokesAndPicturesLandWhereDrawnInUserSpace)
{
    QImage picture(2, 2, QImage::Format_ARGB32);
    picture.fill(Qt::red);
    picture.setPixelColor(0, 1, Qt::blue);
    picture.setPixelColor(1, 1, Qt::blue);
    const struct { const char *name; QSize size; std::function<void(GraphicsContext &)> draw; Probes probes; } cases[] = {
        // Padded beyond both ends, halfway in between.
        {"linear gradient", {100, 20}, [](GraphicsContext &c) {
             c.translate(0, 10);
             QLinearGradient gradient(QPointF(10, 0), QPointF(90, 0));
             gradient.setColorAt(0, Qt::red);
             gradient.setColorAt(1, Qt::blue);
             c.setFill(gradient);
             c.fillRect(QRectF(0, 0, 100, 10));
         }, {{{2, 5}, Qt::red}, {{10, 5}, Qt::red}, {{90, 5}, Qt::blue}, {{98, 5}, Qt::blue}, {{50, 5}, QColor(128, 0, 127)},
             {{50, 15}, Qt::white}}},
        {"radial gradient", {100, 100}, [](GraphicsContext &c) {
             QRadialGradient gradient(QPointF(50, 50), 40);
             gradient.setColorAt(0, Qt::white);
             gradient.setColorAt(1, Qt::black);
             c.setFill(gradient);
             c.fillRect(QRectF(0, 0, 100, 100));
         }, {{{50, 50}, Qt::white}, {{50, 90}, Qt::black}, {{2, 2}, Qt::black}, {{70, 50}, QColor(128, 128, 128)}}},
        {"width, dashes and caps", {100, 40}, [](GraphicsContext &c) {
             c.setStroke(marker);
             c.setLineWidth(4);
             c.setLineDash({10, 10});
             c.strokePath(line({0, 30}, {100, 30}));
             c.setLineDash({});
             c.setLineCap(Qt::SquareCap);
             c.setStroke(Qt::blue);
             c.strokePath(line({20, 10}, {80, 10}));
         }, {{{5, 10}, marker}, {{15, 10}, Qt::white}, {{25, 10}, marker}, {{5, 13}, Qt::white}, {{19, 30}, Qt::blue},
             {{81, 30}, Qt::blue}, {{16, 30}, Qt::white}}},
        {"pictures upright with opacity", {100, 100}, [&](GraphicsContext &c) {
             c.drawImage(picture, QRectF(0, 0, 40, 40));
             c.drawImage(picture, QRectF(50, 0, 40, 40), 0.5);
             // The lower pixel row (y-up source) only: blue.
             c.drawImage(picture, QRectF(0, 50, 40, 40), QRectF(0, 0, 2, 1));
         }, {{{10, 65}, Qt::red}, {{10, 95}, Qt::blue}, {{60, 65}, QColor(255, 128, 128)}, {{60, 95}, QColor(128, 128, 255)},
             {{10, 15}, Qt::blue}, {{10, 45}, Qt::blue}}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(PixelProbe::mismatches(drawn(c.size, c.draw), c.probes), none);
    }
}

TEST(PainterGraphicsContext, ShadowIsOffsetUpwardsAndBlurredWhateverTheUserTransformation)
{
    const QImage image = drawn({100, 100}, [&](GraphicsContext &c) {
        c.setShadow(platform::Shadow{Qt::black, QSizeF(20, 20), 4});
        c.setFill(marker);
        c.fillRect(QRectF(20, 20, 30, 30));
        c.setShadow(std::nullopt);
        c.fillRect(QRectF(0, 0, 5, 5));
    });
    // The shape over its shadow, which lies up and to the right (y-down 30 to 60, x 40 to 70).
    EXPECT_EQ(PixelProbe::mismatches(image, {{{35, 65}, marker}, {{60, 40}, Qt::black}, {{2, 97}, marker}, {{8, 92}, Qt::white}}), none);
    auto grey = [&](int x, int y) { return qGray(image.pixel(x, y)); };
    // Soft across the shadow's top edge, hard nowhere.
    EXPECT_GT(grey(60, 27), grey(60, 30));
    EXPECT_GT(grey(60, 30), grey(60, 33));
    EXPECT_GT(grey(60, 30), 60);
    EXPECT_LT(grey(60, 30), 200);
    EXPECT_EQ(grey(60, 20), 255);

    const QImage scaled = drawn({100, 100}, [&](GraphicsContext &c) {
        c.scale(3, 3);
        c.setShadow(platform::Shadow{Qt::black, QSizeF(20, 0), 0});
        c.setFill(marker);
        c.fillRect(QRectF(0, 0, 10, 10));
    });
    EXPECT_EQ(inked(scaled), QRect(0, 70, 50, 30)) << "20 points across, not 60";
    EXPECT_EQ(PixelProbe::mismatches(scaled, {{{45, 85}, Qt::black}, {{25, 85}, marker}}), none);
}

TEST(PainterGraphicsContext, DrawsTextAtItsBaselineInsideItsMeasuredBox)
{
    const platform::TextAttributes attributes{QFont(QStringLiteral("DejaVu Sans"), 20), Qt::black};
    const QRectF box = GraphicsContext::boundingRect(QStringLiteral("Hg"), attributes);
    const QImage image = drawn({100, 100}, [&](GraphicsContext &c) { c.drawText(QStringLiteral("Hg"), QPointF(20, 30), attributes); });
    // The box's y-up rectangle at the baseline point, as y-down pixels.
    const QRectF expected(20 + box.left(), 100 - (30 + box.bottom()), box.width(), box.height());
    const QRect ink = inked(image);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_TRUE(expected.adjusted(-1, -1, 1, 1).contains(QRectF(ink))) << ink.x() << "," << ink.y() << " " << ink.width() << "x" << ink.height();
    // Ink above the baseline (H) and below it (the g's descender).
    EXPECT_LT(ink.top(), 70 - 10);
    EXPECT_GT(ink.bottom(), 70);
}

TEST(PainterGraphicsContext, MeasuresOneUnitPerPoint)
{
    const QFont small(QStringLiteral("DejaVu Sans"), 10);
    const QFont large(QStringLiteral("DejaVu Sans"), 40);
    const QRectF smallBox = GraphicsContext::boundingRect(QStringLiteral("Page 12"), {small});
    const QRectF largeBox = GraphicsContext::boundingRect(QStringLiteral("Page 12"), {large});
    EXPECT_NEAR(largeBox.width() / smallBox.width(), 4, 0.2);
    // DejaVu Sans lines are about 1.16 em high, its descent about a quarter em.
    EXPECT_NEAR(smallBox.height(), 11.6, 1.0);
    EXPECT_NEAR(smallBox.top(), -2.4, 0.6);
    EXPECT_EQ(smallBox.left(), 0);
    EXPECT_TRUE(GraphicsContext::boundingRect(QString(), {small}).isNull());
}

TEST(PainterGraphicsContext, TextSetInItsMeasuredBoxLandsWhereItWasMeasured)
{
    for (const QString &text : {QStringLiteral("7"), QStringLiteral("128"), QStringLiteral("Page 12")}) {
        SCOPED_TRACE(text.toStdString());
        platform::TextAttributes attributes{QFont(QStringLiteral("DejaVu Sans"), 17), Qt::black, Qt::AlignHCenter};
        const QRectF box = GraphicsContext::boundingRect(text, attributes);
        const QPointF point(31.5, 40.25);
        const QImage atPoint = drawn({150, 100}, [&](GraphicsContext &c) { c.drawText(text, point, attributes); });
        const QImage inBox = drawn({150, 100}, [&](GraphicsContext &c) { c.drawText(text, box.translated(point), attributes); });
        EXPECT_FALSE(inked(atPoint).isEmpty());
        EXPECT_EQ(atPoint, inBox);
    }
}

TEST(PainterGraphicsContext, TextInARectangleIsAlignedAndCutOff)
{
    platform::TextAttributes attributes{QFont(QStringLiteral("DejaVu Sans"), 12), Qt::black, Qt::AlignHCenter | Qt::AlignTop};
    const QImage centred = drawn({200, 100}, [&](GraphicsContext &c) {
        c.drawText(QStringLiteral("Centre"), QRectF(0, 50, 200, 50), attributes);
    });
    const QRect ink = inked(centred);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_NEAR(ink.center().x(), 100, 2);
    EXPECT_LT(ink.bottom(), 20);

    attributes.alignment = Qt::AlignLeft | Qt::AlignTop;
    const QImage cut = drawn({200, 100}, [&](GraphicsContext &c) {
        c.drawText(QStringLiteral("one two three four five six seven"), QRectF(10, 40, 60, 20), attributes);
    });
    EXPECT_TRUE(QRect(10, 40, 60, 20).contains(inked(cut)));
}

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
                                             {{19, 20}, Qt::transparent}}), none);
    // Read back as a page, the picture keeps its size in points.
    const std::optional<PdfPage> page = PdfPage::fromImage(image);
    ASSERT_TRUE(page);
    EXPECT_NEAR(page->cropBox().width(), 50, 0.1);
}

TEST(BitmapGraphicsContext, DrawsPdfPagesAtThePictureResolution)
{
    const PdfPage page = fixturePage();
    const QImage image = BitmapGraphicsContext::drawnImage(page.visibleSize(), 3, [&](GraphicsContext &context) {
        context.drawPdfPage(page);
    });
    ASSERT_EQ(image.size(), QSize(600, 900));
    // The 50-point marker is 150 pixels wide at the lower-left corner.
    EXPECT_EQ(PixelProbe::mismatches(image, {{{145, 755}, Qt::red}, {{155, 745}, PdfFixture::colourOf(1)}}), none);
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

TEST(AlphaBlur, SpreadsAnEdgeLikeAGaussian)
{
    const double sigma = 5;
    QImage mask = halfPlane(200, 100);
    AlphaBlur::blur(mask, sigma);
    const uchar *line = mask.constScanLine(100);
    // Distances from the edge (between columns 99 and 100) in deviations, and the share of the
    // opaque side that a Gaussian blur carries there.
    for (int x : {100, 103, 105, 110, 115}) {
        SCOPED_TRACE(x);
        const double expected = 255 * gaussianTail((x + 0.5 - 100) / sigma);
        EXPECT_NEAR(line[x], expected, 8);
        EXPECT_NEAR(line[x] + line[199 - x], 255, 3);
    }
    EXPECT_EQ(line[40], 255);
    EXPECT_EQ(line[160], 0);
}

TEST(AlphaBlur, LeavesSmallDeviationsAndOtherFormatsAlone)
{
    QImage mask = halfPlane(20, 10);
    const QImage before = mask;
    AlphaBlur::blur(mask, 0.2);
    EXPECT_EQ(mask, before);
    QImage colour(20, 20, QImage::Format_ARGB32);
    colour.fill(Qt::red);
    const QImage colourBefore = colour;
    AlphaBlur::blur(colour, 4);
    EXPECT_EQ(colour, colourBefore);
}
