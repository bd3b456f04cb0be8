#include "app/booklet/VXPage.h"
#include "booklet/BookletExport.h"

#include "platform/foundation/Log.h"
#include "platform/pdf/PdfDocument.h"

#include "support/HostilePdf.h"
#include "support/PdfFixture.h"
#include "support/PixelProbe.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <qpdf/QPDF.hh>

#include <chrono>

namespace {

using namespace std::chrono_literals;

// Results come back through the main thread's event queue; a hang fails the test rather than
// holding the suite.
constexpr int watchdog = 60'000;

struct Runaway
{
    const char *name;
    QByteArray pdf;
    const char *why;
};

const QList<Runaway> &runawayPages()
{
    static const QList<Runaway> pages = {
        {"Tall.pdf", HostilePdf::tallImage(), "its image /Im0 declares 1 x 2147483647 pixels"},
        {"Fine.pdf", HostilePdf::finePattern(), "its tiling pattern /P0 repeats its cell 4847040000 times"},
    };
    return pages;
}

VXPagePtr pageOf(const QString &path)
{
    const std::optional<platform::PdfDocument> document = platform::PdfDocument::open(path);
    return document ? VXPage::pageForPDFPage(*document->page(0)) : nullptr;
}

// Mean grey of a band of rows.
double meanOfRows(const QImage &image, int first, int last)
{
    double sum = 0;
    for (int y = first; y <= last; ++y) {
        for (int x = 0; x < image.width(); ++x)
            sum += qGray(image.pixel(x, y));
    }
    return sum / ((last - first + 1) * image.width());
}

std::string describe(const QStringList &lines) { return lines.join(u'\n').toStdString(); }

} // namespace

// Both pages that held poppler for minutes and hours show at once as plain placeholders, in the
// page list's preview and in the page view's sharp image, with one warning naming the file and
// page.
TEST(RunawayPages, PreviewsAndPageViewsShowPlainPlaceholders)
{
    QTemporaryDir folder;
    for (const Runaway &runaway : runawayPages()) {
        const QString path = PdfFixture::write(folder.path(), runaway.name, runaway.pdf);
        const VXPagePtr page = pageOf(path);
        ASSERT_TRUE(page) << runaway.name;
        platform::LogCapture log;
        bool previewed = false;
        page->calcPreviewInBackground([&] { previewed = true; });
        QImage sharp;
        const auto token = std::make_shared<int>();
        page->imageForResolution(1000, 0, [&](const QImage &image) { sharp = image; }, token);
        ASSERT_TRUE(QTest::qWaitFor([&] { return previewed && !sharp.isNull(); }, watchdog)) << runaway.name;
        const QColor placeholder = VXPage::placeholderImage().pixelColor(0, 0);
        for (const QImage &shown : {page->preview(), sharp}) {
            const QPoint last(shown.width() - 1, shown.height() - 1);
            EXPECT_EQ(PixelProbe::mismatches(shown, {{{0, 0}, placeholder}, {last / 2, placeholder}, {last, placeholder}}, 0),
                      QStringList())
                << runaway.name;
        }
        const QString warning = QStringLiteral("Warning: Page 1 of \"%1\" is not drawn: %2").arg(path, runaway.why);
        EXPECT_EQ(log.lines().filter(warning).size(), 1) << describe(log.lines());
    }
}

// A preview that runs out of its budget is the page as far as poppler got: the band it drew
// first, paper where it stopped; a warning names the file and page.
TEST(RunawayPages, APreviewThatRunsOutOfTimeShowsThePageAsFarAsItGot)
{
    QTemporaryDir folder;
    const QString path = PdfFixture::write(folder.path(), "Busy.pdf", HostilePdf::busy(117000));
    const VXPagePtr cut = pageOf(path);
    platform::LogCapture log;
    ASSERT_TRUE(cut->calcPreview(platform::PdfDrawingLimit(1ms)));
    // 232 x 300, 0.38 pixels a point: the band is the top 30 rows; the squares blacken a quarter
    // of the rows 16 to 29 points above the bottom.
    const QImage preview = cut->preview();
    ASSERT_EQ(preview.size(), QSize(232, 300));
    EXPECT_LT(meanOfRows(preview, 0, 28), 10);
    EXPECT_GT(meanOfRows(preview, 289, 294), 254);
    EXPECT_TRUE(log.contains(QStringLiteral("Warning: Page 1 of \"%1\" took longer than 0.001 seconds to draw; it is shown as far as it got").arg(path)))
        << describe(log.lines());

    const VXPagePtr whole = pageOf(path);
    ASSERT_TRUE(whole->calcPreview());
    EXPECT_LT(meanOfRows(whole->preview(), 289, 294), 230);
}

// A sharp image whose asker lets go while it is drawn stops at poppler's next check and is
// dropped: nothing is delivered or cached.
TEST(RunawayPages, ASharpImageWhoseAskerLetsGoWhileItIsDrawnIsDropped)
{
    QTemporaryDir folder;
    const VXPagePtr page = pageOf(PdfFixture::write(folder.path(), "Busy.pdf", HostilePdf::busy(117000)));
    const int droppedBefore = VXPage::droppedRenderCount();
    int delivered = 0;
    auto token = std::make_shared<int>();
    page->imageForResolution(4000, 0, [&](const QImage &) { ++delivered; }, token);
    ASSERT_TRUE(QTest::qWaitFor([] { return !platform::PdfDrawingLimit::waitUntilNoneDrawn(0ms); }, watchdog));
    token.reset();
    VXPage::waitForRenders();
    QCoreApplication::processEvents();
    EXPECT_EQ(VXPage::droppedRenderCount(), droppedBefore + 1);
    EXPECT_EQ(delivered, 0);
    bool cached = true;
    page->imageForResolution(10, 0, {}, std::make_shared<int>(), &cached);
    EXPECT_FALSE(cached);
    VXPage::waitForRenders();
}

// A preview of a page that nobody holds any more stops at poppler's next check, and its asker
// still hears that the drawing is over, so that it goes on with the next page.
TEST(RunawayPages, APreviewOfAPageLetGoWhileItIsDrawnStopsAndIsReported)
{
    QTemporaryDir folder;
    VXPagePtr page = pageOf(PdfFixture::write(folder.path(), "Busy.pdf", HostilePdf::busy(117000)));
    const std::weak_ptr<VXPage> held = page;
    bool over = false;
    page->calcPreviewInBackground([&] { over = true; });
    ASSERT_TRUE(QTest::qWaitFor([] { return !platform::PdfDrawingLimit::waitUntilNoneDrawn(0ms); }, watchdog));
    page.reset();
    EXPECT_TRUE(QTest::qWaitFor([&] { return over; }, watchdog));
    EXPECT_TRUE(held.expired());
}

// A rasterised print of a runaway page ends at once with an error naming the file and page, and
// delivers nothing; printed without bitmaps, the page is placed as it is.
TEST(RunawayPages, ARasterisedPrintEndsWithAnErrorNamingTheFileAndPage)
{
    for (const Runaway &runaway : runawayPages()) {
        BookletExport booklet(runaway.pdf);
        booklet.view.setUseRasterization(true);
        booklet.view.setRasterizeDPI(30);
        platform::LogCapture log;
        EXPECT_TRUE(booklet.print().isEmpty()) << runaway.name;
        EXPECT_EQ(booklet.view.failedPages(), QList<quint64>({1})) << runaway.name;
        EXPECT_TRUE(log.contains(QStringLiteral("Error: Could not draw a page of the booklet through a bitmap: Page 1 of fixture is not drawn: %1")
                                     .arg(runaway.why)))
            << describe(log.lines());
        EXPECT_EQ(log.lines().filter(QStringLiteral("Error: ")).size(), 1) << "one line tells the failed run: " << describe(log.lines());

        booklet.view.setUseRasterization(false);
        const QByteArray placed = booklet.print();
        QPDF read;
        read.processMemoryFile("placed", placed.constData(), std::size_t(placed.size()));
        EXPECT_EQ(read.getAllPages().size(), 2U) << runaway.name;
    }
}

// The export tool as a batch factory task runs it: without bitmaps both pages export; through
// bitmaps the export ends at once with an error naming the file and page and leaves the file
// that was there as it was.
TEST(RunawayPages, ARasterisedExportEndsWithAnErrorAndKeepsTheOldFile)
{
    QTemporaryDir folder;
    for (const Runaway &runaway : runawayPages()) {
        const QString path = PdfFixture::write(folder.path(), runaway.name, runaway.pdf);
        const QString exported = folder.filePath(QStringLiteral("Booklet of %1").arg(runaway.name));
        const QByteArray old = PdfFixture::pages(BookletExport::portraitPages(2));
        for (const bool raster : {false, true}) {
            ASSERT_FALSE(PdfFixture::write(exported, old).isEmpty());
            QProcess tool;
            tool.setProcessChannelMode(QProcess::MergedChannels);
            QStringList arguments{path, exported};
            if (raster)
                arguments << "--rasterize" << "30";
            tool.start(QStringLiteral(FOLDWISE_BOOKLET_EXPORT), arguments);
            if (!tool.waitForFinished(watchdog)) {
                tool.kill();
                tool.waitForFinished();
                FAIL() << runaway.name << (raster ? " through bitmaps" : "") << " was still exporting after a minute";
            }
            const QString output = QString::fromUtf8(tool.readAll());
            EXPECT_EQ(tool.exitStatus(), QProcess::NormalExit) << output.toStdString();
            const QByteArray written = PdfFixture::read(exported);
            if (!raster) {
                EXPECT_EQ(tool.exitCode(), 0) << output.toStdString();
                QPDF read;
                read.processMemoryFile("exported", written.constData(), std::size_t(written.size()));
                EXPECT_EQ(read.getAllPages().size(), 2U) << runaway.name;
                continue;
            }
            EXPECT_EQ(tool.exitCode(), 1) << output.toStdString();
            EXPECT_TRUE(output.contains(QStringLiteral("Error: Could not draw a page of the booklet through a bitmap: Page 1 of \"%1\" is not drawn: %2")
                                            .arg(path, runaway.why)))
                << output.toStdString();
            EXPECT_TRUE(output.contains(QStringLiteral("Error: Could not export the booklet to \"%1\"").arg(exported))) << output.toStdString();
            EXPECT_EQ(written, old) << runaway.name;
        }
    }
}
