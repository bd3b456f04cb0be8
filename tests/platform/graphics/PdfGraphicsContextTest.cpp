#include "platform/foundation/Log.h"
#include "platform/graphics/PdfGraphicsContext.h"
#include "platform/pdf/PdfDocument.h"

#include "support/PdfFixture.h"
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

using platform::PdfGraphicsContext;
using platform::PdfPage;

namespace {

const QColor marker(255, 0, 0);
const QStringList none;
using Probes = QList<std::pair<QPoint, QColor>>;

// Source pages 1 to count in their own colours, odd ones 200 x 300, even ones 300 x 200, a red marker lower-left.
QList<PdfPage> sourcePages(int count) { return PdfFixture::pdfPages(PdfFixture::pages(PdfFixture::numbered(count))); }

QByteArray drawn(const std::function<void(PdfGraphicsContext &)> &draw)
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

TEST(PdfGraphicsContext, ImposesWithOneFormPerSourcePagePlacedUnderTheTransformAndClipOfItsPage)
{
    const QList<PdfPage> source = sourcePages(2);
    const QByteArray pdf = drawn([&](PdfGraphicsContext &c) {
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
    // The next page starts with a new graphics state.
    EXPECT_EQ(out.placement(2, "/Fx2"), (QList<double>{1, 0, 0, 1, 0, 0}));
    EXPECT_FALSE(out.content(2).contains(" W"));
    // A page placed twice is one object.
    EXPECT_EQ(out.xobject(0, "/Fx1").getObjGen(), out.xobject(1, "/Fx1").getObjGen());
    EXPECT_EQ(out.streams("/Form").size(), 2);

    EXPECT_EQ(mismatches(pdf, 0, {{{5, 295}, marker}, {{205, 295}, marker}, {{300, 100}, PdfFixture::colourOf(2)}}), none);
    // The page covers x 0 to 150 and y-down 200 to 300; the clip keeps x below 100.
    EXPECT_EQ(mismatches(pdf, 1, {{{50, 250}, PdfFixture::colourOf(1)}, {{120, 290}, Qt::white}, {{50, 150}, Qt::white}}), none);
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
    const QByteArray pdf = drawn([&](PdfGraphicsContext &c) {
        for (const PdfPage &page : source) {
            c.beginPage(page.visibleSize());
            c.drawPdfPage(page);
        }
    });
    Structure out(pdf);
    // A quarter turn clockwise: the page's lower-left corner goes to the top-left.
    EXPECT_EQ(out.placement(0, "/Fx1"), (QList<double>{0, -1, 1, 0, 0, 200}));
    EXPECT_EQ(out.placement(1, "/Fx2"), (QList<double>{1, 0, 0, 1, -50, -60}));
    EXPECT_EQ(out.bbox(1, "/Fx2"), QRectF(50, 60, 100, 200));
    EXPECT_EQ(out.bbox(2, "/Fx3"), QRectF(0, 0, 200, 300));
    EXPECT_NE(out.xobject(1, "/Fx2").getObjGen(), out.xobject(2, "/Fx3").getObjGen());
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
        c.drawText(QStringLiteral("Sheet 3"), QPointF(200, 400), {QFont(QStringLiteral("DejaVu Sans"), 18)});
        c.setShadow(platform::Shadow{Qt::black, QSizeF(20, -20), 6});
        c.setFill(Qt::white);
        c.fillRect(QRectF(20, 40, 40, 40));
    });
    Structure out(pdf);
    EXPECT_EQ(out.drawnNames(0), (QStringList{"/Fx1", "/Ov1", "/Fx2"}));
    EXPECT_EQ(out.drawnNames(1), QStringList{"/Fx1"});
    EXPECT_EQ(out.drawnNames(2), QStringList{"/Ov2"});
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
        const QByteArray pdf = drawn([&](PdfGraphicsContext &context) {
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
