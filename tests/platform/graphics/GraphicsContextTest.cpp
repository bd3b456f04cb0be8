#include "platform/foundation/Log.h"
#include "platform/graphics/AlphaBlur.h"
#include "platform/graphics/BitmapGraphicsContext.h"
#include "platform/graphics/GraphicsContextScope.h"
#include "platform/graphics/JpegImage.h"
#include "platform/graphics/PainterGraphicsContext.h"
#include "platform/graphics/PdfGraphicsContext.h"
#include "platform/pdf/PdfDocument.h"

#include "support/PdfFixture.h"
#include "support/PixelProbe.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>
#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>

#include <QBuffer>
#include <QLinearGradient>
#include <QPainter>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <thread>

using platform::AlphaBlur;
using platform::BitmapGraphicsContext;
using platform::GraphicsContext;
using platform::PainterGraphicsContext;
using platform::PdfGraphicsContext;
using platform::PdfPage;

namespace {

const QColor marker(255, 0, 0);

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

// Source pages 1 to count in their own colours, odd ones 200 x 300, even ones 300 x 200, a red marker lower-left.
QList<PdfPage> sourcePages(int count) { return PdfFixture::pdfPages(PdfFixture::pages(PdfFixture::numbered(count))); }

QByteArray pdfDrawn(const std::function<void(PdfGraphicsContext &)> &draw)
{
    PdfGraphicsContext context;
    draw(context);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(context.write(buffer));
    return buffer.data();
}

// The probes that the page of the PDF, rendered at a pixel a point, does not match.
QStringList mismatches(const QByteArray &pdf, int page, const Probes &probes)
{
    return PixelProbe::mismatches(PdfFixture::rendered(pdf, page), probes);
}

QByteArray bytesOf(const std::shared_ptr<Buffer> &data)
{
    return QByteArray(reinterpret_cast<const char *>(data->getBuffer()), qsizetype(data->getSize()));
}

QRectF rectOf(QPDFObjectHandle array)
{
    const QPDFObjectHandle::Rectangle r = array.getArrayAsRectangle();
    return QRectF(r.llx, r.lly, r.urx - r.llx, r.ury - r.lly);
}

// The output read back with qpdf.
struct Structure
{
    explicit Structure(const QByteArray &pdf)
        : bytes(pdf)
    {
        qpdf.processMemoryFile("output", bytes.constData(), std::size_t(bytes.size()));
        pages = qpdf.getAllPages();
    }

    QRectF mediaBox(int page) { return rectOf(pages.at(std::size_t(page)).getKey("/MediaBox")); }
    QString content(int page)
    {
        return QString::fromLatin1(bytesOf(pages.at(std::size_t(page)).getKey("/Contents").getStreamData()));
    }
    QPDFObjectHandle xobject(int page, const std::string &name)
    {
        return pages.at(std::size_t(page)).getKey("/Resources").getKey("/XObject").getKey(name);
    }
    QRectF bbox(int page, const std::string &name) { return rectOf(xobject(page, name).getDict().getKey("/BBox")); }

    // The names that the page's content draws, in drawing order.
    QStringList drawnNames(int page)
    {
        QStringList names;
        for (const QRegularExpressionMatch &match : QRegularExpression(QStringLiteral("(/\\w+) Do")).globalMatch(content(page)))
            names.append(match.captured(1));
        return names;
    }

    // The cm operands that place the named form.
    QList<double> placement(int page, const QString &name)
    {
        const QRegularExpression pattern(QStringLiteral("((?:-?[\\d.]+ ){6})cm %1 Do").arg(name));
        const QRegularExpressionMatch match = pattern.match(content(page));
        QList<double> numbers;
        for (const QString &number : match.captured(1).split(QLatin1Char(' '), Qt::SkipEmptyParts))
            numbers.append(number.toDouble());
        return numbers;
    }

    // Every stream object of the subtype ("/Form", "/Image") in the file.
    QList<QPDFObjectHandle> streams(const std::string &subtype)
    {
        QList<QPDFObjectHandle> found;
        for (QPDFObjectHandle object : qpdf.getAllObjects()) {
            if (object.isStream() && object.getDict().getKey("/Subtype").isNameAndEquals(subtype))
                found.append(object);
        }
        return found;
    }

    QByteArray bytes;
    QPDF qpdf;
    std::vector<QPDFObjectHandle> pages;
};

} // namespace

TEST(PainterGraphicsContext, DrawsThePageInTheUserSpaceWithItsLowerLeftCornerAtTheOrigin)
{
    const PdfPage page = sourcePages(1)[0];
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

TEST(PdfGraphicsContext, ImposesWithOneFormPerSourcePagePlacedUnderTheTransformAndClipOfItsPage)
{
    const QList<PdfPage> source = sourcePages(2);
    const QByteArray pdf = pdfDrawn([&](PdfGraphicsContext &c) {
        c.beginPage({400, 300});
        c.drawPdfPage(source[0]);
        c.translate(200, 0);
        c.drawPdfPage(source[1]);
        c.beginPage({300, 300});
        c.clipToRect(QRectF(0, 0, 100, 300));
        c.translate(150, 0);
        c.rotate(M_PI / 2);
        c.scale(0.5, 0.5);
        c.drawPdfPage(source[0]);
        c.beginPage({200, 300});
        c.drawPdfPage(source[1]);
    });
    Structure out(pdf);
    ASSERT_EQ(out.pages.size(), 3u);
    EXPECT_EQ(out.placement(0, "/Fx2"), (QList<double>{1, 0, 0, 1, 200, 0}));
    // A quarter turn counter-clockwise about the lower-left corner, halved, then moved right.
    EXPECT_EQ(out.placement(1, "/Fx1"), (QList<double>{0, 0.5, -0.5, 0, 150, 0}));
    EXPECT_TRUE(out.content(1).contains("W* n"));
    // The next page starts with a new graphics state, and names its forms anew.
    EXPECT_EQ(out.placement(2, "/Fx1"), (QList<double>{1, 0, 0, 1, 0, 0}));
    EXPECT_EQ(out.xobject(2, "/Fx1").getObjGen(), out.xobject(0, "/Fx2").getObjGen());
    EXPECT_FALSE(out.content(2).contains(" W"));
    // A page placed twice is one object.
    EXPECT_EQ(out.xobject(0, "/Fx1").getObjGen(), out.xobject(1, "/Fx1").getObjGen());
    EXPECT_EQ(out.streams("/Form").size(), 2);

    EXPECT_EQ(mismatches(pdf, 0, {{{5, 295}, marker}, {{205, 295}, marker}, {{300, 100}, PdfFixture::colourOf(2)}}), none);
    // The page covers x 0 to 150 and y-down 200 to 300; the clip keeps x below 100.
    EXPECT_EQ(mismatches(pdf, 1, {{{50, 250}, PdfFixture::colourOf(1)}, {{120, 290}, Qt::white}, {{50, 150}, Qt::white}}), none);
}

// A booklet's sides alternate between a few layouts: sides drawn alike share one content stream
// and show their own pages through their own resources.
TEST(PdfGraphicsContext, SidesDrawnAlikeShareOneContentStreamAndEachShowsItsOwnPages)
{
    const QList<PdfPage> source = sourcePages(9);
    struct Side
    {
        int left;
        int right;
        double rightShift;
    };
    const QList<Side> sides{{0, 2, 0}, {4, 6, 0}, {8, 0, 10}, {2, 4, 0}};
    const QByteArray pdf = pdfDrawn([&](PdfGraphicsContext &c) {
        for (const Side &side : sides) {
            c.beginPage({400, 300});
            c.drawPdfPage(source[side.left]);
            c.translate(200 + side.rightShift, 0);
            c.drawPdfPage(source[side.right]);
        }
    });
    Structure out(pdf);
    ASSERT_EQ(out.pages.size(), 4u);
    const auto contents = [&](std::size_t page) { return out.pages.at(page).getKey("/Contents").getObjGen(); };
    EXPECT_EQ(contents(0), contents(1));
    EXPECT_EQ(contents(0), contents(3));
    EXPECT_NE(contents(0), contents(2)) << "its right page lies elsewhere";
    EXPECT_EQ(out.streams("/Form").size(), 5);
    for (int index = 0; index < sides.size(); ++index) {
        SCOPED_TRACE(index);
        const Side &side = sides[index];
        EXPECT_EQ(mismatches(pdf, index, {{{100, 150}, PdfFixture::colourOf(side.left + 1)},
                                          {{300, 150}, PdfFixture::colourOf(side.right + 1)}}), none);
    }
}

// Pictures and overlays are named on each side too: sides drawn alike share their content and
// still show their own picture and their own text.
TEST(PdfGraphicsContext, SidesWithPicturesAndTextDrawnAlikeShareTheirContentAndShowTheirOwn)
{
    const auto jpegOf = [](const QColor &colour) {
        QImage rows(40, 30, QImage::Format_RGB888);
        rows.fill(colour);
        platform::JpegEncoder encoder(rows.size());
        encoder.addRows(rows.constScanLine(0), rows.bytesPerLine(), rows.height());
        return encoder.finish();
    };
    const QList<QColor> colours{Qt::red, Qt::blue};
    const QByteArray pdf = pdfDrawn([&](PdfGraphicsContext &c) {
        for (int side = 0; side < colours.size(); ++side) {
            c.beginPage({300, 200});
            c.drawJpegImage(jpegOf(colours[side]), QRectF(0, 100, 300, 100));
            c.drawText(QStringLiteral("Side %1").arg(side + 1), QPointF(20, 40), {QFont(QStringLiteral("DejaVu Sans"), 18)});
        }
    });
    Structure out(pdf);
    ASSERT_EQ(out.pages.size(), 2u);
    EXPECT_EQ(out.pages.at(0).getKey("/Contents").getObjGen(), out.pages.at(1).getKey("/Contents").getObjGen());
    EXPECT_EQ(out.drawnNames(0), (QStringList{"/Im1", "/Ov1"}));
    EXPECT_NE(out.xobject(0, "/Im1").getObjGen(), out.xobject(1, "/Im1").getObjGen());
    EXPECT_NE(out.xobject(0, "/Ov1").getObjGen(), out.xobject(1, "/Ov1").getObjGen());
    for (int side = 0; side < colours.size(); ++side) {
        SCOPED_TRACE(side);
        EXPECT_EQ(PdfFixture::text(pdf, side).simplified(), QStringLiteral("Side %1").arg(side + 1));
        EXPECT_EQ(mismatches(pdf, side, {{{150, 50}, colours[side]}}), none);
    }
}

// The second page is cropped; the third shows the second's content stream uncropped, with a smaller trim box.
TEST(PdfGraphicsContext, PlacesRotatedAndCroppedPagesAsShownEachWithItsOwnBoxes)
{
    QList<PdfFixturePage> described = PdfFixture::numbered(3);
    described[0].rotate = 90;
    described[1].mediaSize = QSizeF(200, 300);
    described[1].cropBox = QRectF(50, 60, 100, 200);
    const QList<PdfPage> source = PdfFixture::pdfPages(PdfFixture::rewritten(PdfFixture::pages(described), [](QPDF &pdf) {
        std::vector<QPDFObjectHandle> pages = pdf.getAllPages();
        pages[2].replaceKey("/Contents", pages[1].getKey("/Contents"));
        pages[2].replaceKey("/TrimBox", QPDFObjectHandle::newArray(QPDFObjectHandle::Rectangle(100, 150, 120, 170)));
    }));
    const QByteArray pdf = pdfDrawn([&](PdfGraphicsContext &c) {
        for (const PdfPage &page : source) {
            c.beginPage(page.visibleSize());
            c.drawPdfPage(page);
        }
    });
    Structure out(pdf);
    // A quarter turn clockwise: the page's lower-left corner goes to the top-left.
    EXPECT_EQ(out.placement(0, "/Fx1"), (QList<double>{0, -1, 1, 0, 0, 200}));
    EXPECT_EQ(out.placement(1, "/Fx1"), (QList<double>{1, 0, 0, 1, -50, -60}));
    EXPECT_EQ(out.bbox(1, "/Fx1"), QRectF(50, 60, 100, 200));
    EXPECT_EQ(out.bbox(2, "/Fx1"), QRectF(0, 0, 200, 300));
    EXPECT_NE(out.xobject(1, "/Fx1").getObjGen(), out.xobject(2, "/Fx1").getObjGen());
    EXPECT_EQ(mismatches(pdf, 0, {{{5, 5}, marker}, {{295, 195}, PdfFixture::colourOf(1)}}), none);
    EXPECT_EQ(mismatches(pdf, 1, {{{5, 195}, marker}, {{95, 5}, PdfFixture::colourOf(2)}}), none);
    // The second page's marker, 25 points wide at (50, 60), inside the whole page.
    EXPECT_EQ(mismatches(pdf, 2, {{{60, 230}, marker}, {{5, 295}, PdfFixture::colourOf(2)},
                                  {{190, 10}, PdfFixture::colourOf(2)}}), none);
}

TEST(PdfGraphicsContext, OverlaysLieBetweenThePagesDrawnAroundThemOnlyWhereDrawnKeepingTextAsTextAndShadowsBlurred)
{
    const QList<PdfPage> source = sourcePages(2);
    const QSizeF a4(595.28, 841.89);
    const QByteArray pdf = pdfDrawn([&](PdfGraphicsContext &c) {
        c.beginPage({400, 300});
        c.drawPdfPage(source[0]);
        c.setFill(QColor(0, 0, 0));
        c.fillRect(QRectF(150, 100, 100, 100));
        c.translate(200, 0);
        c.drawPdfPage(source[1]);
        c.beginPage({200, 300});
        c.drawPdfPage(source[0]);
        c.beginPage(a4);
        c.setFill(Qt::green);
        c.fillRect(QRectF(QPointF(0, 0), a4));
        c.drawText(QStringLiteral("Sheet 3"), QPointF(200, 400), {QFont(QStringLiteral("DejaVu Sans"), 18)});
        c.setShadow(platform::Shadow{Qt::black, QSizeF(20, -20), 6});
        c.setFill(Qt::white);
        c.fillRect(QRectF(20, 40, 40, 40));
    });
    Structure out(pdf);
    EXPECT_EQ(out.drawnNames(0), (QStringList{"/Fx1", "/Ov1", "/Fx2"}));
    EXPECT_EQ(out.drawnNames(1), QStringList{"/Fx1"});
    EXPECT_EQ(out.drawnNames(2), QStringList{"/Ov1"});
    EXPECT_EQ(out.streams("/Form").size(), 4) << "no overlay for the page without other drawing";
    EXPECT_NEAR(out.mediaBox(2).height(), a4.height(), 1e-3);
    EXPECT_EQ(PdfFixture::text(pdf, 2).simplified(), QStringLiteral("Sheet 3"));
    // Above the first page, below the second.
    EXPECT_EQ(mismatches(pdf, 0, {{{175, 150}, Qt::black}, {{225, 150}, PdfFixture::colourOf(2)},
                                  {{100, 150}, PdfFixture::colourOf(1)}}), none);
    // The shadow lies down and to the right of the white square: black inside, soft at its edge.
    const QImage sheet = PdfFixture::rendered(pdf, 2);
    EXPECT_EQ(PixelProbe::mismatches(sheet, {{{1, 1}, Qt::green}, {{594, 840}, Qt::green}, {{40, 782}, Qt::white}}), none);
    EXPECT_LT(qGray(sheet.pixel(70, 812)), 20);
    const int edge = qGray(sheet.pixel(80, 812));
    EXPECT_GT(edge, 20) << "not the shadow's black";
    EXPECT_LT(edge, 110) << "nor the page's green";
}

TEST(PdfGraphicsContext, TextOfInheritedResourcesAndContentArraysSurvives)
{
    QList<PdfFixturePage> inherited = PdfFixture::numbered(2);
    for (PdfFixturePage &page : inherited)
        page.inherited = true;
    const struct { const char *name; QByteArray source; int page; QString text; Probes probes; } cases[] = {
        {"inherited resources", PdfFixture::pages(inherited), 1, "Page 2", {}},
        // The two streams are joined with space between, or "re" and "f" would run together.
        {"content array", PdfFixture::splitContents(PdfFixture::pages(PdfFixture::numbered(1))), 0, "Page 1",
         {{{100, 100}, PdfFixture::colourOf(1)}, {{5, 295}, marker}}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const PdfPage page = PdfFixture::pdfPages(c.source).at(c.page);
        const QByteArray pdf = pdfDrawn([&](PdfGraphicsContext &context) {
            context.beginPage(page.visibleSize());
            context.drawPdfPage(page);
        });
        EXPECT_EQ(PdfFixture::text(pdf, 0).simplified(), c.text);
        EXPECT_EQ(mismatches(pdf, 0, c.probes), none);
    }
}

TEST(PdfGraphicsContext, DrawingOutsideAPageAndFailedWritesAreReported)
{
    platform::LogCapture log;
    PdfGraphicsContext context;
    context.fillRect(QRectF(0, 0, 10, 10));
    context.drawPdfPage(sourcePages(1)[0]);
    EXPECT_EQ(log.lines(), (QStringList{"Warning: No drawing drawn: no PDF page has been begun",
                                        "Warning: No page drawn: no PDF page has been begun"}));
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(context.write(buffer));
    EXPECT_EQ(Structure(buffer.data()).pages.size(), 0u);
    EXPECT_FALSE(context.write(buffer));

    PdfGraphicsContext unwritable;
    unwritable.beginPage({200, 300});
    unwritable.drawPdfPage(sourcePages(1)[0]);
    QBuffer readOnly;
    readOnly.open(QIODevice::ReadOnly);
    platform::LogCapture failure;
    EXPECT_FALSE(unwritable.write(readOnly));
    ASSERT_EQ(failure.lines().size(), 1);
    EXPECT_TRUE(failure.lines().first().startsWith(QStringLiteral("Error: Could not write the PDF: ")));
}

TEST(PdfGraphicsContext, PlacementsBeyondWhatReadersTakeFailTheWriteWithAnErrorLine)
{
    const PdfPage page = sourcePages(1)[0];
    // A page 1e-55 points wide and high, written out in full as qpdf keeps a real's text.
    const std::string tiny = "0." + std::string(54, '0') + "1";
    const PdfPage speck = PdfFixture::pdfPages(PdfFixture::rewritten(PdfFixture::pages(PdfFixture::numbered(1)), [&](QPDF &pdf) {
        QPDFObjectHandle first = pdf.getAllPages().front();
        first.replaceKey("/MediaBox", QPDFObjectHandle::parse("[0 0 " + tiny + " " + tiny + "]"));
    })).at(0);
    ASSERT_DOUBLE_EQ(speck.visibleSize().width(), 1e-55);
    const QList<std::function<void(PdfGraphicsContext &)>> draws{
        [&](PdfGraphicsContext &c) { c.scale(400 / 1e-55, 300 / 1e-55); c.drawPdfPage(speck); },
        [&](PdfGraphicsContext &c) { c.translate(1e60, 0); c.drawPdfPage(page); },
    };
    for (qsizetype i = 0; i < draws.size(); ++i) {
        SCOPED_TRACE(i);
        platform::LogCapture log;
        PdfGraphicsContext context;
        context.beginPage({400, 300});
        draws[i](context);
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        EXPECT_FALSE(context.write(buffer));
        EXPECT_EQ(buffer.size(), 0);
        EXPECT_EQ(log.lines().filter(QRegularExpression("^Error: ")).size(), 2) << log.lines().join('\n').toStdString();
    }
}
