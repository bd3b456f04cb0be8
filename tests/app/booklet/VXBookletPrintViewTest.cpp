#include "BookletExport.h"

#include "app/booklet/VXPageNumberFilter.h"
#include "app/booklet/VXStaplesFilter.h"
#include "platform/foundation/Log.h"

#include "support/PixelProbe.h"

#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>

#include <gtest/gtest.h>

#include <functional>

namespace {

std::unique_ptr<QPDF> parsed(const QByteArray &pdf)
{
    auto result = std::make_unique<QPDF>();
    result->processMemoryFile("printed", pdf.constData(), std::size_t(pdf.size()));
    return result;
}

QByteArray bytesOf(const std::shared_ptr<Buffer> &buffer)
{
    return QByteArray(reinterpret_cast<const char *>(buffer->getBuffer()), qsizetype(buffer->getSize()));
}

// The matrices that place source pages on a printed page, in drawing order.
QList<QList<double>> placements(const QByteArray &pdf, int page)
{
    const std::unique_ptr<QPDF> document = parsed(pdf);
    QPDFObjectHandle printed = document->getAllPages().at(std::size_t(page));
    const QString content = QString::fromLatin1(bytesOf(printed.getKey("/Contents").getStreamData()));
    QList<QList<double>> result;
    QRegularExpressionMatchIterator found = QRegularExpression("([-\\d. ]+) cm /Fx\\d+ Do").globalMatch(content);
    while (found.hasNext()) {
        QList<double> numbers;
        for (const QString &number : found.next().captured(1).split(u' ', Qt::SkipEmptyParts))
            numbers << number.toDouble();
        result << numbers;
    }
    return result;
}

// The raw bytes of every picture that the pages show, directly or inside the forms that hold them.
QList<QByteArray> pictures(const QByteArray &pdf)
{
    const std::unique_ptr<QPDF> document = parsed(pdf);
    QList<QByteArray> result;
    std::function<void(QPDFObjectHandle)> collect = [&](QPDFObjectHandle holder) {
        QPDFObjectHandle xobjects = holder.getKey("/Resources").getKey("/XObject");
        if (!xobjects.isDictionary())
            return;
        for (auto &[name, xobject] : xobjects.ditems()) {
            if (xobject.getDict().getKey("/Subtype").isNameAndEquals("/Image"))
                result << bytesOf(xobject.getRawStreamData());
            else
                collect(xobject.getDict());
        }
    };
    for (QPDFObjectHandle page : document->getAllPages())
        collect(page);
    return result;
}

} // namespace

// Which sides print, in which order and turned, is read back from the duplex print jobs; here, where pages land.
TEST(VXBookletPrintView, PagesAreFittedTurnedCentredAndShiftedOnTheirHalves)
{
    // Page 1 lies on the right half (200, 0, 200, 300) of side 0 of a four-page booklet.
    struct Case
    {
        QSizeF page;
        int orientationForLandscape;
        double zoom;
        QPointF center;
        QList<double> matrix;
    };
    const QList<Case> cases{
        {{200, 300}, 1, 0.5, {0.1, 0.2}, {0.5, 0, 0, 0.5, 230, 135}},
        {{204, 200}, 1, 1.0, {0, 0}, {200.0 / 204, 0, 0, 200.0 / 204, 200, 150 - 100 / 1.02}},
        {{206, 200}, 1, 1.0, {0, 0}, {0, 1, -1, 0, 400, 150 - 103}},
        {{300, 200}, 2, 1.0, {0, 0}, {-2.0 / 3, 0, 0, -2.0 / 3, 400, 150 + 200.0 / 3}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.page.width());
        QList<PdfFixturePage> pages = BookletExport::portraitPages(4);
        pages[0].mediaSize = c.page;
        BookletExport booklet(PdfFixture::pages(pages));
        booklet.view.setOrientationForLandscape(c.orientationForLandscape);
        booklet.view.setZoom(c.zoom);
        booklet.view.setCenter(c.center);
        const QList<QList<double>> placed = placements(booklet.print(), 0);
        ASSERT_EQ(placed.size(), 2);
        for (int i = 0; i < 6; ++i)
            EXPECT_NEAR(placed[1][i], c.matrix[i], 1e-3) << i;
    }

    // Creep moves both pages of sheet 1 (sides 2 and 3) towards the fold by 0.01 of a half.
    BookletExport creeping(PdfFixture::pages(BookletExport::portraitPages(8)));
    creeping.creep.setCreep(0.01);
    const QByteArray pdf = creeping.print();
    EXPECT_NEAR(placements(pdf, 2)[0][4], 2, 1e-6);
    EXPECT_NEAR(placements(pdf, 2)[1][4], 198, 1e-6);

    // Blank padding is the paper itself: six pages leave page 1 alone on side 0.
    BookletExport padded(PdfFixture::pages(BookletExport::portraitPages(6)));
    EXPECT_EQ(placements(padded.print(), 0).size(), 1);
}

TEST(VXBookletPrintView, DecorationsLieOnTheFoldAndBesideThePages)
{
    BookletExport booklet(PdfFixture::pages(BookletExport::portraitPages(8)));
    VXStaplesFilter staples;
    staples.setNumberOfStaples(3);
    VXPageNumberFilter numbers;
    numbers.setFirstPage(3);
    numbers.setFirstNo(-1);
    numbers.setX(0.5);
    numbers.setY(0.8);
    booklet.view.setFilters({&staples, &numbers});
    const QByteArray pdf = booklet.print();

    // At 4 pixels a point: each mark's horizontal line crosses the fold at heights 50, 150 and 250
    // (y-up), only on the covers (side 0) and the centre spread (side 3).
    const QColor mark = QColor::fromRgbF(0.804f, 0.804f, 0.804f);
    for (int side = 0; side < 4; ++side) {
        const QImage image = PdfFixture::rendered(pdf, side, 288);
        const bool marked = side == 0 || side == 3;
        for (int height : {50, 150, 250}) {
            const QPoint onLine(4 * 190, 4 * (300 - height));
            EXPECT_TRUE(PixelProbe::isNear(image, onLine, marked ? mark : QColor(Qt::white)))
                << side << " at " << height << ": " << PixelProbe::describe(image, onLine).toStdString();
        }
    }

    // Numbers centred at (150, 30) and (250, 30), y-up, counted from -1 on page 3.
    const std::unique_ptr<Poppler::Document> document = Poppler::Document::loadFromData(pdf);
    struct Number
    {
        int side;
        QString left, right;
    };
    for (const Number &n : QList<Number>{{0, "4", ""}, {1, "", "3"}, {2, "2", "-1"}, {3, "0", "1"}}) {
        const std::unique_ptr<Poppler::Page> page = document->page(n.side);
        EXPECT_EQ(page->text(QRectF(130, 260, 40, 20)).trimmed(), n.left) << n.side;
        EXPECT_EQ(page->text(QRectF(230, 260, 40, 20)).trimmed(), n.right) << n.side;
    }
}

TEST(VXBookletPrintView, TextStaysTextAndPicturesKeepTheirBytes)
{
    const QByteArray text = PdfFixture::pages(BookletExport::portraitPages(7));
    const std::unique_ptr<Poppler::Document> source = Poppler::Document::loadFromData(text);
    const std::unique_ptr<Poppler::Document> printed = Poppler::Document::loadFromData(BookletExport(text).print());
    auto words = [](Poppler::Document &document) {
        qsizetype count = 0;
        for (int i = 0; i < document.numPages(); ++i)
            count += document.page(i)->text(QRectF()).split(QRegularExpression("\\s+"), Qt::SkipEmptyParts).size();
        return count;
    };
    EXPECT_EQ(words(*printed), words(*source));
    EXPECT_EQ(words(*source), 14);

    const QByteArray scans = PdfFixture::picturesOnly({Qt::red, Qt::green, Qt::blue, Qt::yellow, Qt::cyan});
    QList<QByteArray> in = pictures(scans);
    QList<QByteArray> out = pictures(BookletExport(scans).print());
    std::sort(in.begin(), in.end());
    std::sort(out.begin(), out.end());
    EXPECT_EQ(out, in);
}

TEST(VXBookletPrintView, RasterisedPagesBecomePicturesAtTheResolutionAsked)
{
    BookletExport booklet(PdfFixture::pages(BookletExport::portraitPages(4, Qt::red)));
    booklet.view.setUseRasterization(true);
    booklet.view.setRasterizeDPI(0); // stands for 300
    booklet.view.setPrintPages(VXBookletPrintView::OuterSides);
    const QByteArray pdf = booklet.print();
    const std::unique_ptr<QPDF> document = parsed(pdf);
    int pictures = 0;
    for (QPDFObjectHandle object : document->getAllObjects()) {
        if (!object.isStream() || !object.getDict().getKey("/Subtype").isNameAndEquals("/Image"))
            continue;
        ++pictures;
        EXPECT_EQ(object.getDict().getKey("/Width").getIntValue(), 833);
        EXPECT_EQ(object.getDict().getKey("/Height").getIntValue(), 1250);
    }
    EXPECT_EQ(pictures, 2);
    EXPECT_EQ(BookletExport::halves(pdf), "(-|-)") << "no text is left";
    EXPECT_TRUE(PixelProbe::isNear(PdfFixture::rendered(pdf, 0, 72), {150, 50}, Qt::red));
}

// The resolution asked is kept within the bound (the rasterised print checks it kept); no area makes no bitmap.
TEST(VXBookletPrintView, BitmapsStayWithinTheirBound)
{
    platform::LogCapture log;
    const QSize pixels = VXBookletPrintView::bitmapSize({595, 842}, 5000);
    EXPECT_EQ(pixels, QSize(11888, 16823));
    EXPECT_EQ(log.lines().size(), 1);
    EXPECT_EQ(VXBookletPrintView::bitmapSize({0, 144}, 300), QSize());
}

// Sizes past what an int holds are never converted; a PDF with numbers a reader cannot take is
// refused as a whole, while pixels shifted off their bitmap are only blank.
TEST(VXBookletPrintView, HugeSizesAreNeverConvertedToIntegers)
{
    EXPECT_EQ(VXBookletPrintView::bitmapSize({1e308, 1e-300}, 300), QSize());
    EXPECT_EQ(VXBookletPrintView::bitmapSize({1e308, 1e308}, 300), QSize(1, 1));
    const QList<std::tuple<QSizeF, double, bool, bool>> cases{
        {{1e308, 1e308}, 0, false, true}, {{1e308, 1e308}, 0, true, true}, {{400, 300}, 1e300, true, false}, {{400, 300}, 1e60, false, true}};
    for (const auto &[paper, creep, rasterize, refused] : cases) {
        BookletExport booklet(PdfFixture::pages(BookletExport::portraitPages(6)));
        booklet.view.setPageSize(paper);
        booklet.view.setUseRasterization(rasterize);
        booklet.creep.setCreep(creep);
        platform::LogCapture log;
        EXPECT_EQ(booklet.print().isEmpty(), refused) << paper.width() << " " << creep;
        EXPECT_EQ(log.contains("Error: "), refused);
    }
}
