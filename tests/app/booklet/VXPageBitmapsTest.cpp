#include "app/booklet/VXPageBitmaps.h"

#include "platform/foundation/Log.h"
#include "platform/foundation/WorkerThread.h"
#include "platform/graphics/GraphicsContextScope.h"
#include "platform/graphics/PainterGraphicsContext.h"
#include "platform/pdf/PdfDocument.h"
#include "platform/pdf/PdfPage.h"
#include "support/HostilePdf.h"
#include "support/PdfFixture.h"
#include "support/PixelProbe.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>

namespace {

// The pages of a file written to the folder, drawn from the file.
QList<VXPagePtr> pagesOfFile(const QString &path)
{
    QList<VXPagePtr> pages;
    const std::optional<platform::PdfDocument> document = platform::PdfDocument::open(path);
    for (int i = 0; document && i < document->pageCount(); ++i)
        pages.append(VXPage::pageForPDFPage(*document->page(i)));
    return pages;
}

// How many of this process's file descriptors are open on the file.
int descriptorsOpenOn(const QString &path)
{
    const QString file = QFileInfo(path).canonicalFilePath();
    int open = 0;
    for (const QFileInfo &descriptor : QDir(QStringLiteral("/proc/self/fd")).entryInfoList(QDir::Files | QDir::System))
        open += descriptor.symLinkTarget() == file;
    return open;
}

QList<VXPagePtr> numberedPages(int count)
{
    QList<VXPagePtr> pages;
    for (const platform::PdfPage &page : PdfFixture::pdfPages(PdfFixture::pages(PdfFixture::numbered(count))))
        pages.append(VXPage::pageForPDFPage(page));
    return pages;
}

// The page drawn with QPainter onto a white bitmap, as a rasterised print drew it before.
QImage paintedOnPaper(const VXPagePtr &page, const QSize &pixels, int orientation)
{
    QImage bitmap(pixels, QImage::Format_RGB32);
    bitmap.fill(Qt::white);
    QPainter painter(&bitmap);
    platform::PainterGraphicsContext context(&painter, pixels.height());
    platform::GraphicsContextScope scope(&context);
    page->renderInRect(QRectF(QPointF(0, 0), QSizeF(pixels)), orientation);
    return bitmap;
}

// How many pixels of two pictures of one size differ by more than the tolerance in a channel.
int pixelsApart(const QImage &a, const QImage &b, int tolerance)
{
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    int apart = 0;
    for (int row = 0; row < x.height(); ++row) {
        for (int column = 0; column < x.width(); ++column) {
            const QRgb p = x.pixel(column, row);
            const QRgb q = y.pixel(column, row);
            if (std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)), std::abs(qBlue(p) - qBlue(q))}) > tolerance)
                ++apart;
        }
    }
    return apart;
}

} // namespace

// A page drawn for a bitmap is the page as the painter draws it onto white paper: upright pixel
// for pixel, at a size whose two scales differ. Turned, it is drawn turned rather than turned
// after drawing, so the painter's resampling moves a few edges by a pixel.
TEST(VXPageBitmaps, BitmapsAreThePagesAsThePainterDrawsThemOnPaper)
{
    const VXPagePtr page = numberedPages(1).first();
    for (int orientation = 0; orientation < 4; ++orientation) {
        const QSize pixels = orientation % 2 == 0 ? QSize(91, 130) : QSize(130, 91);
        platform::PdfPageRasterizer rasterizer;
        const QImage bitmap = PdfFixture::rasterized(rasterizer, *page->pdfPage(), pixels, orientation, VXPageBitmaps::bandRows(pixels));
        ASSERT_EQ(bitmap.size(), pixels) << "orientation " << orientation;
        const QImage painted = paintedOnPaper(page, pixels, orientation);
        if (orientation == 0)
            EXPECT_EQ(pixelsApart(bitmap, painted, 0), 0);
        else
            EXPECT_LT(pixelsApart(bitmap, painted, 24), 91 * 130 / 50) << "orientation " << orientation;
    }
}

// Pictures drawn ahead on workers are those drawn on the asking thread, byte for byte, taken in
// any order, in every orientation; a page asked for twice is drawn once.
TEST(VXPageBitmaps, PicturesDrawnAheadMatchThoseDrawnInTurn)
{
    const QList<VXPagePtr> pages = numberedPages(6);
    const QSize pixels(90, 130);
    VXPageBitmaps bitmaps;
    ASSERT_TRUE(bitmaps.start(pixels));
    ASSERT_GE(bitmaps.capacity(), 2);
    QList<std::pair<VXPagePtr, int>> asked;
    for (int i = 0; i < pages.size() && asked.size() < bitmaps.capacity(); ++i) {
        const int orientation = i % 4;
        EXPECT_TRUE(bitmaps.prepare(pages[i], pixels, orientation));
        EXPECT_TRUE(bitmaps.prepare(pages[i], pixels, orientation)) << "asked again";
        asked.append({pages[i], orientation});
    }
    platform::PdfPageRasterizer rasterizer;
    for (qsizetype k = asked.size() - 1; k >= 0; --k) {
        const auto &[page, orientation] = asked[k];
        const VXPageBitmaps::Bitmap ahead = bitmaps.take(page, pixels, orientation);
        const VXPageBitmaps::Bitmap inTurn = VXPageBitmaps::draw(rasterizer, page, pixels, orientation);
        ASSERT_TRUE(ahead.drawn && inTurn.drawn);
        EXPECT_EQ(ahead.image.size(), pixels);
        EXPECT_EQ(ahead.image.bytes(), inTurn.image.bytes()) << "page " << k + 1 << ", orientation " << orientation;
    }
    // The page's own colour fills the middle of its picture.
    const VXPageBitmaps::Bitmap first = bitmaps.take(pages[0], pixels, 0);
    EXPECT_EQ(PixelProbe::mismatches(first.image.decoded(), {{{45, 20}, PdfFixture::colourOf(1)}}), QStringList());
}

// Nothing waits ahead before the workers start; no more than the capacity waits after, and
// taking one makes room for the next.
TEST(VXPageBitmaps, AsksBeyondTheCapacityAreRefusedUntilOneIsTaken)
{
    VXPageBitmaps bitmaps;
    const QSize pixels(20, 30);
    const QList<VXPagePtr> pages = numberedPages(17);
    EXPECT_EQ(bitmaps.capacity(), 0);
    EXPECT_FALSE(bitmaps.prepare(pages[0], pixels, 0));
    ASSERT_TRUE(bitmaps.start(pixels));
    ASSERT_LT(bitmaps.capacity(), pages.size());
    for (int i = 0; i < bitmaps.capacity(); ++i)
        EXPECT_TRUE(bitmaps.prepare(pages[i], pixels, 0));
    EXPECT_FALSE(bitmaps.prepare(pages.last(), pixels, 0));
    EXPECT_TRUE(bitmaps.take(pages[0], pixels, 0).drawn);
    EXPECT_TRUE(bitmaps.prepare(pages.last(), pixels, 0));
    bitmaps.clear();
    EXPECT_FALSE(bitmaps.isStarted());
    EXPECT_FALSE(bitmaps.prepare(pages[0], pixels, 0));
}

// Once stopped, the workers have let go of everything they drew with: nothing of theirs keeps the
// file open, and a process may end at once without pulling what they used from under them.
TEST(VXPageBitmaps, StoppedWorkersHaveClosedTheFilesTheyDrew)
{
    QTemporaryDir folder;
    const QString path = PdfFixture::write(folder.path(), "Numbered.pdf", PdfFixture::pages(PdfFixture::numbered(16)));
    const QSize pixels(60, 90);
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE(round);
        VXPageBitmaps bitmaps;
        {
            const QList<VXPagePtr> pages = pagesOfFile(path);
            ASSERT_EQ(pages.size(), 16);
            ASSERT_TRUE(bitmaps.start(pixels));
            for (int i = 0; i < bitmaps.capacity(); ++i)
                EXPECT_TRUE(bitmaps.prepare(pages[i], pixels, 0));
            for (const VXPagePtr &page : pages)
                EXPECT_TRUE(bitmaps.take(page, pixels, 0).drawn);
        }
        bitmaps.clear();
        ASSERT_EQ(descriptorsOpenOn(path), 0);
    }
}

// A bitmap is drawn in bands of at most BandBytes; as many workers as the budget holds bands of
// the largest bitmap, at least one. A bitmap larger than a JPEG picture can be is refused before
// anything is drawn.
TEST(VXPageBitmaps, WorkersAreBoundByTheMemoryTheirBandsTake)
{
    const struct { QSize pixels; int bandRows; } bands[] = {
        {{100, 100}, 100}, {{1753, 2480}, 2480}, {{3000, 9000}, 1500}, {{70000, 100}, 50}};
    for (const auto &band : bands) {
        EXPECT_EQ(VXPageBitmaps::bandRows(band.pixels), band.bandRows) << band.pixels.width() << " x " << band.pixels.height();
        EXPECT_LE(qint64(band.pixels.width()) * VXPageBitmaps::bandRows(band.pixels) * 4, VXPageBitmaps::BandBytes);
    }
    VXPageBitmaps bitmaps;
    const int cores = std::min(QThread::idealThreadCount(), 8);
    ASSERT_TRUE(bitmaps.start(QSize(1753, 2480)));
    EXPECT_EQ(bitmaps.capacity(), 2 * std::min(2, cores)) << "two pages of 17.4 MB";
    ASSERT_TRUE(bitmaps.start(QSize(100, 100)));
    EXPECT_EQ(bitmaps.capacity(), 2 * cores);

    platform::LogCapture log;
    EXPECT_FALSE(bitmaps.start(QSize(70000, 100)));
    EXPECT_FALSE(bitmaps.isStarted());
    EXPECT_TRUE(log.contains(QStringLiteral("at most 65500 pixels a side"))) << log.lines().join(u'\n').toStdString();
}

// A page without a PDF page draws nothing, ahead or not.
TEST(VXPageBitmaps, APageWithoutContentIsNotDrawn)
{
    VXPageBitmaps bitmaps;
    ASSERT_TRUE(bitmaps.start(QSize(10, 10)));
    const VXPagePtr blank = std::make_shared<VXPage>();
    EXPECT_TRUE(bitmaps.prepare(blank, QSize(10, 10), 0));
    EXPECT_FALSE(bitmaps.take(blank, QSize(10, 10), 0).drawn);
    platform::PdfPageRasterizer rasterizer;
    EXPECT_FALSE(VXPageBitmaps::draw(rasterizer, nullptr, QSize(10, 10), 0).drawn);
}

// The pages whose drawing would hold poppler for minutes or hours are not drawn, ahead or in
// turn, and say why, naming the file and page; the workers go on with the next page.
TEST(VXPageBitmaps, RunawayPagesAreNotDrawnAndSayWhy)
{
    const QSize pixels(255, 330);
    VXPageBitmaps bitmaps;
    ASSERT_TRUE(bitmaps.start(pixels));
    const struct { QByteArray pdf; const char *why; } runaway[] = {
        {HostilePdf::tallImage(), "is not drawn: its image /Im0 declares 1 x 2147483647 pixels"},
        {HostilePdf::finePattern(), "is not drawn: its tiling pattern /P0 repeats its cell 4847040000 times"},
    };
    for (const auto &[pdf, why] : runaway) {
        const VXPagePtr page = VXPage::pageForPDFPage(PdfFixture::pdfPages(pdf).at(0));
        ASSERT_TRUE(bitmaps.prepare(page, pixels, 0));
        for (const VXPageBitmaps::Bitmap &bitmap : {bitmaps.take(page, pixels, 0), bitmaps.take(page, pixels, 1)}) {
            EXPECT_FALSE(bitmap.drawn);
            EXPECT_TRUE(bitmap.image.isNull());
            EXPECT_TRUE(bitmap.failure.startsWith(QStringLiteral("Page 1 of fixture %1").arg(why))) << bitmap.failure.toStdString();
        }
    }
    EXPECT_TRUE(bitmaps.take(numberedPages(1).first(), pixels, 0).drawn);
}

// A page held by drawing operations that poppler's abort check never reaches is given up once
// its budget and the grace after it have run out: it is not drawn and says so, its worker is
// left to end by itself, a new one draws the next page, and stopping the workers does not wait
// for it.
TEST(VXPageBitmaps, APageHeldBeyondItsBudgetIsGivenUpAndTheWorkersGoOn)
{
    const QSize pixels(306, 396);
    QTemporaryDir folder;
    const QString stuck = PdfFixture::write(folder.path(), "Stuck.pdf", HostilePdf::unstoppable());
    VXPageBitmaps bitmaps(std::chrono::milliseconds(100));
    ASSERT_TRUE(bitmaps.start(pixels));
    const int capacity = bitmaps.capacity();
    VXPagePtr held = pagesOfFile(stuck).value(0);
    ASSERT_TRUE(held);
    const VXPageBitmaps::Bitmap givenUp = bitmaps.take(held, pixels, 0);
    EXPECT_FALSE(givenUp.drawn);
    EXPECT_EQ(givenUp.failure, QStringLiteral("Page 1 of \"%1\" took longer than 0.1 seconds to draw").arg(stuck));
    EXPECT_FALSE(platform::PdfDrawingLimit::waitUntilNoneDrawn(std::chrono::milliseconds(0))) << "the page is still being drawn";

    EXPECT_EQ(bitmaps.capacity(), capacity);
    const QList<VXPagePtr> pages = numberedPages(2);
    EXPECT_TRUE(bitmaps.prepare(pages[0], pixels, 0));
    EXPECT_TRUE(bitmaps.take(pages[0], pixels, 0).drawn);
    EXPECT_TRUE(bitmaps.take(pages[1], pixels, 0).drawn);
    bitmaps.clear();
    EXPECT_FALSE(bitmaps.isStarted());
    held.reset();
    // Nothing is left running for the next case, nor holding the file.
    EXPECT_TRUE(platform::WorkerThread::waitUntilAllEnded(std::chrono::minutes(2)));
    EXPECT_EQ(descriptorsOpenOn(stuck), 0);
}
