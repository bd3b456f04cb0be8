#include "platform/Log.h"
#include "platform/PdfDocument.h"
#include "platform/PdfGraphicsContext.h"

#include "support/PdfFixture.h"
#include "support/PictureFixture.h"
#include "support/PixelProbe.h"

#include <QBuffer>
#include <QRegularExpression>

#include <gtest/gtest.h>
#include <poppler-qt6.h>
#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <cmath>
#include <functional>
#include <memory>
#include <set>

using platform::PdfDocument;
using platform::PdfGraphicsContext;
using platform::PdfPage;

namespace {

const QColor marker(255, 0, 0);

QList<PdfPage> pagesOf(const QByteArray &pdf)
{
    const std::optional<PdfDocument> document = PdfDocument::fromData(pdf, "fixture");
    QList<PdfPage> pages;
    for (int i = 0; document && i < document->pageCount(); ++i)
        pages.append(*document->page(i));
    return pages;
}

// Source pages 1 to count, each 200 x 300 in its own colour with a red marker at its lower-left.
QList<PdfPage> portraitPages(int count)
{
    QList<PdfFixturePage> described = PdfFixture::numbered(count);
    for (PdfFixturePage &page : described)
        page.mediaSize = QSizeF(200, 300);
    return pagesOf(PdfFixture::pages(described));
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

// The output read back with qpdf.
struct Structure
{
    explicit Structure(const QByteArray &pdf)
        : bytes(pdf)
    {
        qpdf.processMemoryFile("output", bytes.constData(), std::size_t(bytes.size()));
        pages = qpdf.getAllPages();
    }

    QRectF mediaBox(int page)
    {
        const QPDFObjectHandle::Rectangle r = pages.at(std::size_t(page)).getKey("/MediaBox").getArrayAsRectangle();
        return QRectF(r.llx, r.lly, r.urx - r.llx, r.ury - r.lly);
    }

    std::string content(int page)
    {
        const std::shared_ptr<Buffer> data = pages.at(std::size_t(page)).getKey("/Contents").getStreamData();
        return std::string(reinterpret_cast<const char *>(data->getBuffer()), data->getSize());
    }

    QPDFObjectHandle xobject(int page, const std::string &name)
    {
        return pages.at(std::size_t(page)).getKey("/Resources").getKey("/XObject").getKey(name);
    }

    // The names that the page's content draws, in drawing order.
    QStringList drawnNames(int page)
    {
        QStringList names;
        const QString text = QString::fromStdString(content(page));
        for (const QRegularExpressionMatch &match : QRegularExpression(QStringLiteral("(/\\w+) Do")).globalMatch(text))
            names.append(match.captured(1));
        return names;
    }

    // The cm operands that place the named form.
    QList<double> placement(int page, const QString &name)
    {
        const QString text = QString::fromStdString(content(page));
        const QRegularExpression pattern(QStringLiteral("((?:-?[\\d.]+ ){6})cm %1 Do").arg(name));
        QList<double> numbers;
        const QRegularExpressionMatch match = pattern.match(text);
        if (!match.hasMatch())
            return numbers;
        for (const QString &number : match.captured(1).split(QLatin1Char(' '), Qt::SkipEmptyParts))
            numbers.append(number.toDouble());
        return numbers;
    }

    // Every form XObject object in the file.
    std::set<QPDFObjGen> forms()
    {
        std::set<QPDFObjGen> found;
        for (QPDFObjectHandle object : qpdf.getAllObjects()) {
            if (object.isStream() && object.getDict().getKey("/Subtype").isNameAndEquals("/Form"))
                found.insert(object.getObjGen());
        }
        return found;
    }

    QByteArray bytes;
    QPDF qpdf;
    std::vector<QPDFObjectHandle> pages;
};

QImage rendered(const QByteArray &pdf, int page)
{
    const std::unique_ptr<Poppler::Document> document = Poppler::Document::loadFromData(pdf);
    if (!document)
        return {};
    const std::unique_ptr<Poppler::Page> shown = document->page(page);
    return shown ? shown->renderToImage(72, 72) : QImage();
}

QString textOf(const QByteArray &pdf, int page)
{
    const std::unique_ptr<Poppler::Document> document = Poppler::Document::loadFromData(pdf);
    if (!document)
        return {};
    const std::unique_ptr<Poppler::Page> shown = document->page(page);
    return shown ? shown->text(QRectF()) : QString();
}

struct Probe
{
    QPoint at;
    QColor colour;
};

void expectPixels(const QImage &image, const QList<Probe> &probes)
{
    ASSERT_FALSE(image.isNull());
    for (const Probe &probe : probes)
        EXPECT_TRUE(PixelProbe::isNear(image, probe.at, probe.colour))
            << probe.at.x() << "," << probe.at.y() << " is " << PixelProbe::describe(image, probe.at).toStdString();
}

QByteArray rawBytes(QPDFObjectHandle stream)
{
    const std::shared_ptr<Buffer> raw = stream.getRawStreamData();
    return QByteArray(reinterpret_cast<const char *>(raw->getBuffer()), qsizetype(raw->getSize()));
}

// The fixture pages with a trim box of the given size in their lower-left corner.
QByteArray withTrimBox(const QByteArray &pdf, const QRectF &trim)
{
    QPDF qpdf;
    qpdf.processMemoryFile("trim", pdf.constData(), std::size_t(pdf.size()));
    for (QPDFObjectHandle page : qpdf.getAllPages())
        page.replaceKey("/TrimBox", QPDFObjectHandle::newArray(QPDFObjectHandle::Rectangle(
                                        trim.left(), trim.top(), trim.right(), trim.bottom())));
    QPDFWriter writer(qpdf);
    writer.setOutputMemory();
    writer.write();
    const std::shared_ptr<Buffer> buffer = writer.getBufferSharedPointer();
    return QByteArray(reinterpret_cast<const char *>(buffer->getBuffer()), qsizetype(buffer->getSize()));
}

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
    EXPECT_EQ(out.forms().size(), 3u);

    expectPixels(rendered(pdf, 0), {{{5, 295}, marker}, {{100, 100}, PdfFixture::colourOf(1)},
                                    {{205, 295}, marker}, {{300, 100}, PdfFixture::colourOf(2)}});
    expectPixels(rendered(pdf, 1), {{{100, 100}, PdfFixture::colourOf(3)}, {{300, 100}, PdfFixture::colourOf(1)}});
}

TEST(PdfGraphicsContext, PlacesRotatedAndCroppedPagesAsShown)
{
    QList<PdfFixturePage> described = PdfFixture::numbered(2);
    described[0].mediaSize = QSizeF(200, 300);
    described[0].rotate = 90;
    described[1].mediaSize = QSizeF(200, 300);
    described[1].cropBox = QRectF(50, 60, 100, 200);
    const QList<PdfPage> source = pagesOf(PdfFixture::pages(described));
    const QByteArray pdf = drawn([&](PdfGraphicsContext &c) {
        c.beginPage({300, 200});
        c.drawPdfPage(source[0]);
        c.beginPage({100, 200});
        c.drawPdfPage(source[1]);
    });
    Structure out(pdf);
    // A quarter turn clockwise: the page's lower-left corner goes to the top-left.
    EXPECT_EQ(out.placement(0, "/Fx1"), (QList<double>{0, -1, 1, 0, 0, 200}));
    EXPECT_EQ(out.placement(1, "/Fx2"), (QList<double>{1, 0, 0, 1, -50, -60}));
    const QPDFObjectHandle::Rectangle box = out.xobject(1, "/Fx2").getDict().getKey("/BBox").getArrayAsRectangle();
    EXPECT_EQ(QRectF(box.llx, box.lly, box.urx - box.llx, box.ury - box.lly), QRectF(50, 60, 100, 200));
    expectPixels(rendered(pdf, 0), {{{5, 5}, marker}, {{295, 195}, PdfFixture::colourOf(1)}});
    expectPixels(rendered(pdf, 1), {{{5, 195}, marker}, {{95, 5}, PdfFixture::colourOf(2)}});
}

TEST(PdfGraphicsContext, FormShowsTheCropBoxWhereTheTrimBoxIsSmaller)
{
    const QList<PdfPage> source = pagesOf(withTrimBox(PdfFixture::pages(PdfFixture::numbered(1)), QRectF(100, 150, 20, 20)));
    const QByteArray pdf = drawn([&](PdfGraphicsContext &c) {
        c.beginPage({200, 300});
        c.drawPdfPage(source[0]);
    });
    const QPDFObjectHandle::Rectangle box = Structure(pdf).xobject(0, "/Fx1").getDict().getKey("/BBox").getArrayAsRectangle();
    EXPECT_EQ(QRectF(box.llx, box.lly, box.urx - box.llx, box.ury - box.lly), QRectF(0, 0, 200, 300));
    expectPixels(rendered(pdf, 0), {{{5, 295}, marker}, {{190, 10}, PdfFixture::colourOf(1)}});
}

TEST(PdfGraphicsContext, PlacementFollowsTransformAndClip)
{
    const QList<PdfPage> source = portraitPages(1);
    const QByteArray pdf = drawn([&](PdfGraphicsContext &c) {
        c.beginPage({300, 300});
        c.clipToRect(QRectF(0, 0, 100, 300));
        c.translate(150, 0);
        c.rotate(M_PI / 2);
        c.scale(0.5, 0.5);
        c.drawPdfPage(source[0]);
    });
    Structure out(pdf);
    // A quarter turn counter-clockwise about the lower-left corner, halved, then moved right.
    EXPECT_EQ(out.placement(0, "/Fx1"), (QList<double>{0, 0.5, -0.5, 0, 150, 0}));
    EXPECT_NE(out.content(0).find("W* n"), std::string::npos);
    // The page covers x 0 to 150 and y 0 to 100 (y-down 200 to 300), its marker at x 125 to 150;
    // the clip keeps x below 100.
    expectPixels(rendered(pdf, 0), {{{50, 250}, PdfFixture::colourOf(1)}, {{120, 290}, Qt::white},
                                    {{50, 150}, Qt::white}});
}

TEST(PdfGraphicsContext, EachPageStartsWithANewGraphicsState)
{
    const QList<PdfPage> source = portraitPages(1);
    const QByteArray pdf = drawn([&](PdfGraphicsContext &c) {
        c.beginPage({200, 300});
        c.saveGState();
        c.translate(50, 50);
        c.clipToRect(QRectF(0, 0, 10, 10));
        c.drawPdfPage(source[0]);
        c.beginPage({200, 300});
        c.drawPdfPage(source[0]);
    });
    Structure out(pdf);
    EXPECT_EQ(out.placement(0, "/Fx1"), (QList<double>{1, 0, 0, 1, 50, 50}));
    EXPECT_EQ(out.placement(1, "/Fx1"), (QList<double>{1, 0, 0, 1, 0, 0}));
    EXPECT_EQ(out.content(1).find(" W"), std::string::npos);
}

TEST(PdfGraphicsContext, OverlayKeepsItsPlaceBetweenTwoPages)
{
    const QList<PdfPage> source = portraitPages(2);
    const QByteArray pdf = drawn([&](PdfGraphicsContext &c) {
        c.beginPage({400, 300});
        c.drawPdfPage(source[0]);
        c.setFill(QColor(0, 0, 0));
        c.fillRect(QRectF(150, 100, 100, 100));
        c.translate(200, 0);
        c.drawPdfPage(source[1]);
    });
    Structure out(pdf);
    EXPECT_EQ(out.drawnNames(0), (QStringList{"/Fx1", "/Ov1", "/Fx2"}));
    // Above the first page, below the second.
    expectPixels(rendered(pdf, 0), {{{175, 150}, Qt::black}, {{225, 150}, PdfFixture::colourOf(2)},
                                    {{100, 150}, PdfFixture::colourOf(1)}});
}

TEST(PdfGraphicsContext, PagesWithoutOtherDrawingHaveNoOverlay)
{
    const QList<PdfPage> source = portraitPages(1);
    const QByteArray pdf = drawn([&](PdfGraphicsContext &c) {
        for (int i = 0; i < 3; ++i) {
            c.beginPage({200, 300});
            c.drawPdfPage(source[0]);
        }
    });
    Structure out(pdf);
    for (int page = 0; page < 3; ++page)
        EXPECT_EQ(out.drawnNames(page), QStringList{"/Fx1"});
    EXPECT_EQ(out.forms().size(), 1u);
}

TEST(PdfGraphicsContext, OverlaysOfPagesOfDifferentSizesCoverThemWholly)
{
    const QSizeF a4(595.28, 841.89);
    const QByteArray pdf = drawn([&](PdfGraphicsContext &c) {
        c.beginPage({300, 200});
        c.setFill(Qt::blue);
        c.fillRect(QRectF(0, 0, 300, 200));
        c.beginPage(a4);
        c.setFill(Qt::green);
        c.fillRect(QRectF(QPointF(0, 0), a4));
    });
    Structure out(pdf);
    EXPECT_EQ(out.mediaBox(0), QRectF(0, 0, 300, 200));
    EXPECT_NEAR(out.mediaBox(1).width(), a4.width(), 1e-3);
    EXPECT_NEAR(out.mediaBox(1).height(), a4.height(), 1e-3);
    EXPECT_EQ(out.drawnNames(1), QStringList{"/Ov2"});
    expectPixels(rendered(pdf, 0), {{{1, 1}, Qt::blue}, {{298, 198}, Qt::blue}});
    expectPixels(rendered(pdf, 1), {{{1, 1}, Qt::green}, {{594, 840}, Qt::green}});
}

TEST(PdfGraphicsContext, PicturesKeepTheirBytes)
{
    const QByteArray jpeg = PictureFixture::encoded(PictureFixture::marked({40, 60}, Qt::blue, marker), "jpeg", 72);
    const std::optional<PdfPage> picture = PdfPage::fromEncodedImage(jpeg);
    ASSERT_TRUE(picture);
    const QByteArray pdf = drawn([&](PdfGraphicsContext &c) {
        c.beginPage({80, 60});
        c.drawPdfPage(*picture);
        c.translate(40, 0);
        c.drawPdfPage(*picture);
    });
    Structure out(pdf);
    QList<QByteArray> images;
    for (QPDFObjectHandle object : out.qpdf.getAllObjects()) {
        if (object.isStream() && object.getDict().getKey("/Subtype").isNameAndEquals("/Image"))
            images.append(rawBytes(object));
    }
    EXPECT_EQ(images, QList<QByteArray>{jpeg});
}

TEST(PdfGraphicsContext, TextAndEmbeddedFontsOfThePageSurvive)
{
    const QList<PdfPage> source = pagesOf(PdfFixture::embeddedText(QStringLiteral("Fold along the line"), {200, 100}));
    ASSERT_EQ(source.size(), 1);
    const QByteArray pdf = drawn([&](PdfGraphicsContext &c) {
        c.beginPage({200, 100});
        c.drawPdfPage(source[0]);
    });
    EXPECT_EQ(textOf(pdf, 0), textOf(PdfFixture::embeddedText(QStringLiteral("Fold along the line"), {200, 100}), 0));
    EXPECT_EQ(textOf(pdf, 0).simplified(), QStringLiteral("Fold along the line"));
    Structure out(pdf);
    int embedded = 0;
    for (QPDFObjectHandle object : out.qpdf.getAllObjects()) {
        if (object.isDictionary() && object.getKey("/Type").isNameAndEquals("/FontDescriptor")
            && (object.hasKey("/FontFile2") || object.hasKey("/FontFile3") || object.hasKey("/FontFile")))
            ++embedded;
    }
    EXPECT_GE(embedded, 1);
}

TEST(PdfGraphicsContext, InheritedResourcesKeepTheText)
{
    QList<PdfFixturePage> described = PdfFixture::numbered(2);
    for (PdfFixturePage &page : described)
        page.inherited = true;
    const QList<PdfPage> source = pagesOf(PdfFixture::pages(described));
    const QByteArray pdf = drawn([&](PdfGraphicsContext &c) {
        c.beginPage({300, 300});
        c.drawPdfPage(source[1]);
    });
    EXPECT_EQ(textOf(pdf, 0).simplified(), QStringLiteral("Page 2"));
}

TEST(PdfGraphicsContext, ContentArraysAreJoinedWithSpaceBetween)
{
    const QList<PdfPage> source = pagesOf(PdfFixture::splitContents(PdfFixture::pages(PdfFixture::numbered(1))));
    const QByteArray pdf = drawn([&](PdfGraphicsContext &c) {
        c.beginPage({200, 300});
        c.drawPdfPage(source[0]);
    });
    expectPixels(rendered(pdf, 0), {{{100, 100}, PdfFixture::colourOf(1)}, {{5, 295}, marker}});
    EXPECT_EQ(textOf(pdf, 0).simplified(), QStringLiteral("Page 1"));
}

TEST(PdfGraphicsContext, PagesSharingAContentStreamKeepTheirOwnBoxes)
{
    QPDF qpdf;
    const QByteArray fixture = PdfFixture::pages(PdfFixture::numbered(2));
    qpdf.processMemoryFile("shared", fixture.constData(), std::size_t(fixture.size()));
    std::vector<QPDFObjectHandle> pages = qpdf.getAllPages();
    pages[1].replaceKey("/Contents", pages[0].getKey("/Contents"));
    pages[1].replaceKey("/MediaBox", pages[0].getKey("/MediaBox"));
    pages[0].replaceKey("/CropBox", QPDFObjectHandle::newArray(QPDFObjectHandle::Rectangle(0, 0, 100, 100)));
    QPDFWriter writer(qpdf);
    writer.setOutputMemory();
    writer.write();
    const std::shared_ptr<Buffer> buffer = writer.getBufferSharedPointer();
    const QList<PdfPage> source = pagesOf(QByteArray(reinterpret_cast<const char *>(buffer->getBuffer()), qsizetype(buffer->getSize())));
    const QByteArray pdf = drawn([&](PdfGraphicsContext &c) {
        c.beginPage({300, 300});
        c.drawPdfPage(source[0]);
        c.translate(100, 0);
        c.drawPdfPage(source[1]);
    });
    Structure out(pdf);
    EXPECT_NE(out.xobject(0, "/Fx1").getObjGen(), out.xobject(0, "/Fx2").getObjGen());
    // The cropped first page ends at 100; the second shows the whole page from there.
    expectPixels(rendered(pdf, 0), {{{5, 295}, marker}, {{105, 295}, marker}, {{250, 50}, PdfFixture::colourOf(1)},
                                    {{50, 150}, Qt::white}});
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
    expectPixels(rendered(pdf, 0), {{{5, 5}, Qt::white}, {{95, 95}, Qt::white}, {{150, 50}, Qt::blue}});
}

TEST(PdfGraphicsContext, DrawnTextIsRealText)
{
    const QByteArray pdf = drawn([&](PdfGraphicsContext &c) {
        c.beginPage({300, 100});
        c.drawText(QStringLiteral("Sheet 3"), QPointF(20, 40), {QFont(QStringLiteral("DejaVu Sans"), 18)});
    });
    EXPECT_EQ(textOf(pdf, 0).simplified(), QStringLiteral("Sheet 3"));
    const QImage image = rendered(pdf, 0);
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
    platform::Shadow shadow;
    shadow.color = Qt::black;
    shadow.offset = QSizeF(20, -20);
    shadow.blurRadius = 6;
    const QByteArray pdf = drawn([&](PdfGraphicsContext &c) {
        c.beginPage({100, 100});
        c.setShadow(shadow);
        c.setFill(Qt::white);
        c.fillRect(QRectF(20, 40, 40, 40));
    });
    const QImage image = rendered(pdf, 0);
    ASSERT_FALSE(image.isNull());
    // The shadow lies down and to the right of the white square: dark inside, soft at its edge.
    EXPECT_LT(qGray(image.pixel(70, 70)), 20);
    EXPECT_EQ(qGray(image.pixel(40, 40)), 255);
    const int edge = qGray(image.pixel(80, 70));
    EXPECT_GT(edge, 60);
    EXPECT_LT(edge, 200);
}

TEST(PdfGraphicsContext, DrawingOutsideAPageIsRefused)
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
}

TEST(PdfGraphicsContext, WriteFailureIsReported)
{
    const QList<PdfPage> source = portraitPages(1);
    PdfGraphicsContext context;
    context.beginPage({200, 300});
    context.drawPdfPage(source[0]);
    QBuffer readOnly;
    readOnly.open(QIODevice::ReadOnly);
    platform::LogCapture log;
    EXPECT_FALSE(context.write(readOnly));
    ASSERT_EQ(log.lines().size(), 1);
    EXPECT_TRUE(log.lines().first().startsWith(QStringLiteral("Error: Could not write the PDF: "))) << log.lines().first().toStdString();
}
