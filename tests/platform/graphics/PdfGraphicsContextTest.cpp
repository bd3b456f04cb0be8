#include "platform/foundation/Log.h"
#include "platform/graphics/PdfGraphicsContext.h"
#include "platform/pdf/PdfDocument.h"

#include "support/PdfFixture.h"
#include "support/PictureFixture.h"
#include "support/PixelProbe.h"
#include "support/QtPrinters.h"

#include <QBuffer>
#include <QRegularExpression>

#include <gtest/gtest.h>
#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>

#include <cmath>
#include <functional>
#include <memory>
#include <set>

using platform::PdfGraphicsContext;
using platform::PdfPage;

namespace {

const QColor marker(255, 0, 0);
const QStringList none;

// Source pages 1 to count, each 200 x 300 in its own colour with a red marker at its lower-left.
QList<PdfPage> portraitPages(int count)
{
    QList<PdfFixturePage> described = PdfFixture::numbered(count);
    for (PdfFixturePage &page : described)
        page.mediaSize = QSizeF(200, 300);
    return PdfFixture::pdfPages(PdfFixture::pages(described));
}

QByteArray drawn(const std::function<void(PdfGraphicsContext &)> &draw)
{
    PdfGraphicsContext context;
    draw(context);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(context.write(buffer));
    return buffer.data();
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
    QString content(int page) { return QString::fromLatin1(bytesOf(pages.at(std::size_t(page)).getKey("/Contents").getStreamData())); }
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
        const QRegularExpressionMatch match = QRegularExpression(QStringLiteral("((?:-?[\\d.]+ ){6})cm %1 Do").arg(name)).match(content(page));
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

TEST(PdfGraphicsContext, ImposesTwoUpWithOneFormPerSourcePage)
{
    const QList<PdfPage> source = portraitPages(3);
    const QByteArray pdf = drawn([&](PdfGraphicsContext &c) {
        c.beginPage({400, 300});
        c.drawPdfPage(source[0]);
        c.translate(200, 0);
        c.drawPdfPage(source[1]);
        c.translate(-200, 0);
        c.beginPage({400, 300});
        c.drawPdfPage(source[2]);
        c.translate(200, 0);
        c.drawPdfPage(source[0]);
    });
    Structure out(pdf);
    ASSERT_EQ(out.pages.size(), 2u);
    EXPECT_EQ(out.mediaBox(0), QRectF(0, 0, 400, 300));
    EXPECT_EQ(out.mediaBox(1), QRectF(0, 0, 400, 300));
    EXPECT_EQ(out.drawnNames(0), (QStringList{"/Fx1", "/Fx2"}));
    EXPECT_EQ(out.drawnNames(1), (QStringList{"/Fx3", "/Fx1"}));
    EXPECT_EQ(out.placement(0, "/Fx1"), (QList<double>{1, 0, 0, 1, 0, 0}));
    EXPECT_EQ(out.placement(0, "/Fx2"), (QList<double>{1, 0, 0, 1, 200, 0}));
    EXPECT_EQ(out.placement(1, "/Fx1"), (QList<double>{1, 0, 0, 1, 200, 0}));
    // The first page, placed twice, is one object.
    EXPECT_EQ(out.xobject(0, "/Fx1").getObjGen(), out.xobject(1, "/Fx1").getObjGen());
    EXPECT_EQ(out.streams("/Form").size(), 3);

    EXPECT_EQ(PixelProbe::mismatches(PdfFixture::rendered(pdf, 0), {{{5, 295}, marker}, {{100, 100}, PdfFixture::colourOf(1)},
                                                                    {{205, 295}, marker}, {{300, 100}, PdfFixture::colourOf(2)}}), none);
    EXPECT_EQ(PixelProbe::mismatches(PdfFixture::rendered(pdf, 1), {{{100, 100}, PdfFixture::colourOf(3)},
                                                                    {{300, 100}, PdfFixture::colourOf(1)}}), none);
}

TEST(PdfGraphicsContext, PlacesRotatedAndCroppedPagesAsShownAndShowsTheCropBoxWhereTheTrimBoxIsSmaller)
{
    QList<PdfFixturePage> described = PdfFixture::numbered(3);
    for (PdfFixturePage &page : described)
        page.mediaSize = QSizeF(200, 300);
    described[0].rotate = 90;
    described[1].cropBox = QRectF(50, 60, 100, 200);
    const QList<PdfPage> source = PdfFixture::pdfPages(PdfFixture::rewritten(PdfFixture::pages(described), [](QPDF &pdf) {
        QPDFObjectHandle third = pdf.getAllPages().at(2);
        third.replaceKey("/TrimBox", QPDFObjectHandle::newArray(QPDFObjectHandle::Rectangle(100, 150, 120, 170)));
    }));
    const QByteArray pdf = drawn([&](PdfGraphicsContext &c) {
        for (const PdfPage &page : source) {
            c.beginPage(page.visibleSize());
            c.drawPdfPage(page);
        }
        c.beginPage({320, 220});
        c.translate(10, 20);
        c.drawPdfPage(source[0]);
    });
    Structure out(pdf);
    // A quarter turn clockwise: the page's lower-left corner goes to the top-left.
    EXPECT_EQ(out.placement(0, "/Fx1"), (QList<double>{0, -1, 1, 0, 0, 200}));
    EXPECT_EQ(out.placement(3, "/Fx1"), (QList<double>{0, -1, 1, 0, 10, 220})) << "turned first, then moved";
    EXPECT_EQ(out.placement(1, "/Fx2"), (QList<double>{1, 0, 0, 1, -50, -60}));
    EXPECT_EQ(out.bbox(1, "/Fx2"), QRectF(50, 60, 100, 200));
    EXPECT_EQ(out.bbox(2, "/Fx3"), QRectF(0, 0, 200, 300));
    EXPECT_EQ(PixelProbe::mismatches(PdfFixture::rendered(pdf, 0), {{{5, 5}, marker}, {{295, 195}, PdfFixture::colourOf(1)}}), none);
    EXPECT_EQ(PixelProbe::mismatches(PdfFixture::rendered(pdf, 1), {{{5, 195}, marker}, {{95, 5}, PdfFixture::colourOf(2)}}), none);
    EXPECT_EQ(PixelProbe::mismatches(PdfFixture::rendered(pdf, 2), {{{5, 295}, marker}, {{190, 10}, PdfFixture::colourOf(3)}}), none);
    EXPECT_EQ(PixelProbe::mismatches(PdfFixture::rendered(pdf, 3), {{{15, 5}, marker}, {{305, 195}, PdfFixture::colourOf(1)}}), none);
}

TEST(PdfGraphicsContext, PlacementFollowsTransformAndClipAndEachPageStartsWithANewGraphicsState)
{
    const QList<PdfPage> source = portraitPages(1);
    const QByteArray pdf = drawn([&](PdfGraphicsContext &c) {
        c.beginPage({300, 300});
        c.saveGState();
        c.clipToRect(QRectF(0, 0, 100, 300));
        c.translate(150, 0);
        c.rotate(M_PI / 2);
        c.scale(0.5, 0.5);
        c.drawPdfPage(source[0]);
        c.beginPage({200, 300});
        c.drawPdfPage(source[0]);
    });
    Structure out(pdf);
    // A quarter turn counter-clockwise about the lower-left corner, halved, then moved right.
    EXPECT_EQ(out.placement(0, "/Fx1"), (QList<double>{0, 0.5, -0.5, 0, 150, 0}));
    EXPECT_TRUE(out.content(0).contains("W* n"));
    EXPECT_EQ(out.placement(1, "/Fx1"), (QList<double>{1, 0, 0, 1, 0, 0}));
    EXPECT_FALSE(out.content(1).contains(" W"));
    // The page covers x 0 to 150 and y 0 to 100 (y-down 200 to 300), its marker at x 125 to 150;
    // the clip keeps x below 100.
    EXPECT_EQ(PixelProbe::mismatches(PdfFixture::rendered(pdf, 0), {{{50, 250}, PdfFixture::colourOf(1)}, {{120, 290}, Qt::white},
                                                                    {{50, 150}, Qt::white}}), none);
}

TEST(PdfGraphicsContext, OverlaysLieBetweenThePagesDrawnAroundThemOnlyWhereDrawnAndCoverPagesOfAnySize)
{
    const QList<PdfPage> source = portraitPages(2);
    const QSizeF a4(595.28, 841.89);
    const QByteArray pdf = drawn([&](PdfGraphicsContext &c) {
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
    });
    Structure out(pdf);
    EXPECT_EQ(out.drawnNames(0), (QStringList{"/Fx1", "/Ov1", "/Fx2"}));
    EXPECT_EQ(out.drawnNames(1), QStringList{"/Fx1"});
    EXPECT_EQ(out.drawnNames(2), QStringList{"/Ov2"});
    EXPECT_EQ(out.streams("/Form").size(), 4) << "no overlay for the page without other drawing";
    EXPECT_NEAR(out.mediaBox(2).width(), a4.width(), 1e-3);
    EXPECT_NEAR(out.mediaBox(2).height(), a4.height(), 1e-3);
    // Above the first page, below the second.
    EXPECT_EQ(PixelProbe::mismatches(PdfFixture::rendered(pdf, 0), {{{175, 150}, Qt::black}, {{225, 150}, PdfFixture::colourOf(2)},
                                                                    {{100, 150}, PdfFixture::colourOf(1)}}), none);
    EXPECT_EQ(PixelProbe::mismatches(PdfFixture::rendered(pdf, 2), {{{1, 1}, Qt::green}, {{594, 840}, Qt::green}}), none);
}

TEST(PdfGraphicsContext, PicturesKeepTheirBytes)
{
    const QByteArray jpeg = PictureFixture::encoded(PictureFixture::marked({40, 60}, Qt::blue, marker), "jpeg", 72);
    const std::optional<PdfPage> picture = PdfPage::fromEncodedImage(jpeg);
    ASSERT_TRUE(picture);
    Structure out(drawn([&](PdfGraphicsContext &c) {
        c.beginPage({80, 60});
        c.drawPdfPage(*picture);
        c.translate(40, 0);
        c.drawPdfPage(*picture);
    }));
    QList<QByteArray> images;
    for (QPDFObjectHandle image : out.streams("/Image"))
        images.append(bytesOf(image.getRawStreamData()));
    EXPECT_EQ(images, QList<QByteArray>{jpeg});
}

TEST(PdfGraphicsContext, TextOfEmbeddedFontsInheritedResourcesAndContentArraysSurvives)
{
    QList<PdfFixturePage> inherited = PdfFixture::numbered(2);
    for (PdfFixturePage &page : inherited)
        page.inherited = true;
    const struct { const char *name; QByteArray source; int page; QString text; bool embedded; QList<std::pair<QPoint, QColor>> probes; } cases[] = {
        {"embedded font", PdfFixture::embeddedText("Fold along the line", {200, 100}), 0, "Fold along the line", true, {}},
        {"inherited resources", PdfFixture::pages(inherited), 1, "Page 2", false, {}},
        // The two streams are joined with space between, or "re" and "f" would run together.
        {"content array", PdfFixture::splitContents(PdfFixture::pages(PdfFixture::numbered(1))), 0, "Page 1", false,
         {{{100, 100}, PdfFixture::colourOf(1)}, {{5, 295}, marker}}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const PdfPage page = PdfFixture::pdfPages(c.source).at(c.page);
        const QByteArray pdf = drawn([&](PdfGraphicsContext &context) {
            context.beginPage(page.visibleSize());
            context.drawPdfPage(page);
        });
        EXPECT_EQ(PdfFixture::text(pdf, 0).simplified(), c.text);
        EXPECT_EQ(PixelProbe::mismatches(PdfFixture::rendered(pdf, 0), c.probes), none);
        Structure out(pdf);
        int embedded = 0;
        for (QPDFObjectHandle object : out.qpdf.getAllObjects())
            embedded += object.isDictionary() && object.getKey("/Type").isNameAndEquals("/FontDescriptor")
                && (object.hasKey("/FontFile2") || object.hasKey("/FontFile3") || object.hasKey("/FontFile"));
        EXPECT_EQ(embedded > 0, c.embedded) << "the font file travels with the page";
    }
}

TEST(PdfGraphicsContext, PagesSharingAContentStreamKeepTheirOwnBoxes)
{
    const QList<PdfPage> source = PdfFixture::pdfPages(PdfFixture::rewritten(PdfFixture::pages(PdfFixture::numbered(2)), [](QPDF &qpdf) {
        std::vector<QPDFObjectHandle> pages = qpdf.getAllPages();
        pages[1].replaceKey("/Contents", pages[0].getKey("/Contents"));
        pages[1].replaceKey("/MediaBox", pages[0].getKey("/MediaBox"));
        pages[0].replaceKey("/CropBox", QPDFObjectHandle::newArray(QPDFObjectHandle::Rectangle(0, 0, 100, 100)));
    }));
    const QByteArray pdf = drawn([&](PdfGraphicsContext &c) {
        c.beginPage({300, 300});
        c.drawPdfPage(source[0]);
        c.translate(100, 0);
        c.drawPdfPage(source[1]);
    });
    Structure out(pdf);
    EXPECT_NE(out.xobject(0, "/Fx1").getObjGen(), out.xobject(0, "/Fx2").getObjGen());
    // The cropped first page ends at 100; the second shows the whole page from there.
    EXPECT_EQ(PixelProbe::mismatches(PdfFixture::rendered(pdf, 0), {{{5, 295}, marker}, {{105, 295}, marker},
                                                                    {{250, 50}, PdfFixture::colourOf(1)}, {{50, 150}, Qt::white}}), none);
}

TEST(PdfGraphicsContext, BlankPageAddsNothingButWhite)
{
    QImage white(10, 10, QImage::Format_RGB32);
    white.fill(Qt::white);
    const std::optional<PdfPage> blank = PdfPage::fromImage(white, QSizeF(100, 100));
    ASSERT_TRUE(blank);
    const QByteArray pdf = drawn([&](PdfGraphicsContext &c) {
        c.beginPage({200, 100});
        c.setFill(Qt::blue);
        c.fillRect(QRectF(0, 0, 200, 100));
        c.drawPdfPage(*blank);
    });
    EXPECT_EQ(PixelProbe::mismatches(PdfFixture::rendered(pdf, 0), {{{5, 5}, Qt::white}, {{95, 95}, Qt::white}, {{150, 50}, Qt::blue}}), none);
}

TEST(PdfGraphicsContext, DrawnTextIsRealText)
{
    const QByteArray pdf = drawn([&](PdfGraphicsContext &c) {
        c.beginPage({300, 100});
        c.drawText(QStringLiteral("Sheet 3"), QPointF(20, 40), {QFont(QStringLiteral("DejaVu Sans"), 18)});
    });
    EXPECT_EQ(PdfFixture::text(pdf, 0).simplified(), QStringLiteral("Sheet 3"));
    const QImage image = PdfFixture::rendered(pdf, 0);
    ASSERT_FALSE(image.isNull());
    // Ink just above the baseline (y-down 60), none far below it.
    bool above = false;
    for (int x = 20; x < 100 && !above; ++x)
        above = qGray(image.pixel(x, 55)) < 128;
    EXPECT_TRUE(above);
    for (int x = 0; x < 300; ++x)
        EXPECT_EQ(qGray(image.pixel(x, 80)), 255) << x;
}

TEST(PdfGraphicsContext, ShadowsAreBlurredInTheOverlay)
{
    const QImage image = PdfFixture::rendered(drawn([&](PdfGraphicsContext &c) {
        c.beginPage({100, 100});
        c.setShadow(platform::Shadow{Qt::black, QSizeF(20, -20), 6});
        c.setFill(Qt::white);
        c.fillRect(QRectF(20, 40, 40, 40));
    }), 0);
    ASSERT_FALSE(image.isNull());
    // The shadow lies down and to the right of the white square: dark inside, soft at its edge.
    EXPECT_LT(qGray(image.pixel(70, 70)), 20);
    EXPECT_EQ(qGray(image.pixel(40, 40)), 255);
    const int edge = qGray(image.pixel(80, 70));
    EXPECT_GT(edge, 60);
    EXPECT_LT(edge, 200);
}

TEST(PdfGraphicsContext, DrawingOutsideAPageAndFailedWritesAreReported)
{
    platform::LogCapture log;
    PdfGraphicsContext context;
    context.fillRect(QRectF(0, 0, 10, 10));
    context.drawPdfPage(portraitPages(1)[0]);
    EXPECT_EQ(log.lines(), (QStringList{"Warning: No drawing drawn: no PDF page has been begun",
                                        "Warning: No page drawn: no PDF page has been begun"}));
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(context.write(buffer));
    EXPECT_EQ(Structure(buffer.data()).pages.size(), 0u);
    EXPECT_FALSE(context.write(buffer));

    PdfGraphicsContext unwritable;
    unwritable.beginPage({200, 300});
    unwritable.drawPdfPage(portraitPages(1)[0]);
    QBuffer readOnly;
    readOnly.open(QIODevice::ReadOnly);
    platform::LogCapture failure;
    EXPECT_FALSE(unwritable.write(readOnly));
    ASSERT_EQ(failure.lines().size(), 1);
    EXPECT_TRUE(failure.lines().first().startsWith(QStringLiteral("Error: Could not write the PDF: "))) << failure.lines().first().toStdString();
}
