#include "app/booklet/VXPage.h"
#include "app/booklet/VXPageImageCache.h"

#include "platform/foundation/Log.h"
#include "platform/graphics/GraphicsContextScope.h"
#include "platform/graphics/PainterGraphicsContext.h"

#include "support/PdfFixture.h"
#include "support/PictureFixture.h"
#include "support/PixelProbe.h"
#include "support/QtPrinters.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QPainter>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

#include <functional>

namespace {

const QColor marker(255, 0, 0);
const QColor paper(255, 255, 255);
// Results come back through the main thread's event queue; a stuck render fails the test.
constexpr int waitLimit = 30'000;

VXPagePtr fixturePage(QSizeF size, int rotate = 0, QRectF crop = {})
{
    QList<PdfFixturePage> pages = PdfFixture::numbered(1);
    pages[0].mediaSize = size;
    pages[0].rotate = rotate;
    pages[0].cropBox = crop;
    return VXPage::pageForPDFPage(PdfFixture::pdfPages(PdfFixture::pages(pages)).at(0));
}

QImage drawnInto(const QSize &size, const std::function<void()> &draw)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    platform::PainterGraphicsContext context(&painter, size.height());
    platform::GraphicsContextScope scope(&context);
    draw();
    return image;
}

using Probes = QList<std::pair<QPoint, QColor>>;

void expectPixels(const QImage &image, const Probes &probes) { EXPECT_EQ(PixelProbe::mismatches(image, probes), QStringList()); }

struct HighResolution { QImage immediate; QImage delivered; int calls = 0; };

std::shared_ptr<HighResolution> request(const VXPagePtr &page, double resolution, int orientation)
{
    auto result = std::make_shared<HighResolution>();
    result->immediate = page->imageForResolution(resolution, orientation, [result](const QImage &image) {
        result->delivered = image;
        ++result->calls;
    }, result);
    return result;
}

// A page of a picture 200 × 100 of one colour.
VXPagePtr plainPage(const QColor &colour)
{
    QImage picture(200, 100, QImage::Format_RGB32);
    picture.fill(colour);
    return VXPage::pageWithImage(picture);
}

// Stand-ins for pages: the cache only compares their addresses.
const VXPage *owner(int n) { return reinterpret_cast<const VXPage *>(std::uintptr_t(0x1000 * n)); }

// side x side pixels of 4 bytes.
VXPageImageCache::Entry entry(int side, int orientation = 0, double resolution = 100)
{
    QImage image(side, side, QImage::Format_ARGB32);
    image.fill(Qt::white);
    return {image, orientation, resolution};
}

} // namespace

TEST(VXPage, RatioSizeAndCropBoxFollowWhatThePageShowsAndAPageWithoutAreaHasRatioOne)
{
    const VXPagePtr page = fixturePage({200, 400}, 90, {10, 20, 150, 50});
    EXPECT_EQ(page->cropBox(), QRectF(20, 10, 50, 150));
    EXPECT_EQ(page->size(), QSizeF(50, 150));
    EXPECT_DOUBLE_EQ(page->ratio(), 1.0 / 3.0);

    platform::LogCapture log;
    const VXPagePtr flat = fixturePage({300, 0});
    EXPECT_EQ(flat->ratio(), 1.0);
    EXPECT_EQ(flat->ratio(), 1.0); // warned about once
    EXPECT_EQ(log.lines().size(), 1);
    expectPixels(drawnInto({50, 50}, [&] { flat->renderInRect(QRectF(0, 0, 50, 50), 1); }), {{{25, 25}, paper}});
    ASSERT_TRUE(flat->calcPreview());
    EXPECT_EQ(flat->preview().size(), QSize(300, 300));

    // Pages without a PDF page: none at all, a blank of a size, a picture.
    const auto bare = std::make_shared<VXPage>();
    EXPECT_EQ(bare->ratio(), 1.0);
    EXPECT_EQ(bare->cropBox(), QRectF(0, 0, 0, 0));
    EXPECT_FALSE(bare->calcPreview());

    const VXPagePtr blank = VXPage::pageWithSize({595.5, 842.25});
    EXPECT_TRUE(blank->isEmpty());
    EXPECT_EQ(blank->size(), QSizeF(595.5, 842.25));
    const QImage picture = PictureFixture::marked({300, 150}, QColor(0, 0, 255), marker);
    EXPECT_EQ(VXPage::pageWithImage(picture)->ratio(), 2.0);
    EXPECT_EQ(VXPage::pageWithImage(PictureFixture::encoded(picture, "jpeg", 144))->size(), QSizeF(150, 75));

    EXPECT_FALSE(VXPage::pageWithImage(QByteArray("not a picture")));
    EXPECT_FALSE(VXPage::pageWithImage(QImage()));
    EXPECT_FALSE(VXPage::pageWithSize({0, 10}));
    EXPECT_EQ(log.lines().size(), 4);
}

// Unturned drawing is probed through the archived page, other quarter turns through the high-resolution images.
TEST(VXPage, RenderInRectTurnsThePageIntoTheRectangleAndNeedsAContext)
{
    // A 200 x 100 page whose marker (25 points square) sits in its lower-left corner, turned a quarter
    // into the rectangle (40, 30, 100, 200) of a 300 x 300 image; y-down pixel rows are 300 - y.
    const VXPagePtr page = fixturePage({200, 100});
    const QColor fill = PdfFixture::colourOf(1);
    expectPixels(drawnInto({300, 300}, [&] { page->renderInRect(QRectF(40, 30, 100, 200), 1); }),
                 {{{135, 265}, marker}, {{45, 265}, fill}, {{135, 75}, fill}, {{145, 265}, paper}});
    platform::LogCapture log;
    page->renderInRect(QRectF(0, 0, 10, 10), 0);
    EXPECT_EQ(log.lines().size(), 1);
}

TEST(VXPage, PreviewAndHighResolutionImagesAreDrawnInTheBackgroundAndCachedPerOrientationAndResolution)
{
    const VXPagePtr wide = fixturePage({400, 200});
    ASSERT_TRUE(wide->calcPreview());
    EXPECT_FALSE(wide->calcPreview());
    EXPECT_EQ(wide->preview().size(), QSize(300, 150));

    const VXPagePtr page = fixturePage({200, 400});
    const auto first = request(page, 1000, 1);
    EXPECT_EQ(first->immediate.cacheKey(), VXPage::placeholderImage().cacheKey());
    ASSERT_TRUE(QTest::qWaitFor([&] { return first->calls == 1; }, waitLimit));
    // Ratio 0.5 turned a quarter: width 1000 / 0.5 limited to 1000, height 1000 x 0.5.
    EXPECT_EQ(first->delivered.size(), QSize(1000, 500));
    expectPixels(first->delivered, {{{990, 490}, marker}, {{10, 10}, PdfFixture::colourOf(1)}});
    const auto smaller = request(page, 500, 1);
    EXPECT_EQ(smaller->immediate.cacheKey(), first->delivered.cacheKey());

    bool onMainThread = false;
    page->calcPreviewInBackground([&] { onMainThread = QThread::currentThread() == QCoreApplication::instance()->thread(); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return onMainThread; }, waitLimit));
    // Another orientation shows the preview until its image comes.
    const auto upright = request(page, 500, 0);
    EXPECT_EQ(upright->immediate.cacheKey(), page->preview().cacheKey());
    ASSERT_TRUE(QTest::qWaitFor([&] { return upright->calls == 1; }, waitLimit));
    EXPECT_EQ(upright->delivered.size(), QSize(250, 500));
    EXPECT_EQ(smaller->calls, 0);

    // A copy shares the preview, not the cached image; a page that goes takes its image along.
    VXPagePtr copy = page->copy();
    EXPECT_EQ(copy->ratio(), 0.5);
    const auto copied = request(copy, 800, 0);
    EXPECT_EQ(copied->immediate.cacheKey(), page->preview().cacheKey());
    ASSERT_TRUE(QTest::qWaitFor([&] { return copied->calls == 1; }, waitLimit));
    const VXPage *gone = copy.get();
    copy.reset();
    EXPECT_FALSE(VXPageImageCache::shared().find(gone));
    EXPECT_FALSE(VXPage::emptyPage()->copy()->isEmpty());

    // Another PDF page drops the image of the former one.
    ASSERT_TRUE(VXPageImageCache::shared().find(page.get()));
    page->setPdfPage(*wide->pdfPage());
    EXPECT_EQ(page->ratio(), 2.0);
    EXPECT_FALSE(VXPageImageCache::shared().find(page.get()));

    platform::LogCapture log;
    VXPage unshared;
    unshared.calcPreviewInBackground([] {});
    EXPECT_EQ(log.lines().size(), 1);
}

// A sharp image drawn from what the page showed before setPdfPage reaches the main thread after it.
TEST(VXPage, AnImageOfTheFormerContentIsNeitherCachedNorHandedOutForTheNewContent)
{
    const QColor former(220, 30, 30);
    const QColor now(30, 30, 220);
    const VXPagePtr page = plainPage(former);
    const VXPagePtr replacement = plainPage(now);
    const auto asked = request(page, 800, 0);
    // Drawn from the former content; its result waits for the main thread.
    VXPage::waitForRenders();
    page->setPdfPage(*replacement->pdfPage());
    ASSERT_TRUE(QTest::qWaitFor([&] { return asked->calls == 1; }, waitLimit));
    expectPixels(asked->delivered, {{{400, 200}, now}});
    bool cached = false;
    const auto token = std::make_shared<int>();
    const QImage served = page->imageForResolution(400, 0, {}, token, &cached);
    EXPECT_TRUE(cached) << "the image drawn again for the new content is kept";
    expectPixels(served, {{{served.width() / 2, served.height() / 2}, now}});
}

// A page given another content draws its preview anew: the former one is neither kept nor handed
// out as the stand-in while a sharp image is drawn, and a preview under way is not kept.
TEST(VXPage, AnotherContentDropsThePreviewOfTheFormerOne)
{
    const QColor former(220, 30, 30);
    const QColor now(30, 30, 220);
    const VXPagePtr page = plainPage(former);
    const VXPagePtr replacement = plainPage(now);
    ASSERT_TRUE(page->calcPreview());
    expectPixels(page->preview(), {{{150, 75}, former}});

    page->setPdfPage(*replacement->pdfPage());
    EXPECT_TRUE(page->preview().isNull());
    EXPECT_FALSE(page->isCalculatingPreview());
    const auto asked = request(page, 800, 0);
    EXPECT_EQ(asked->immediate.cacheKey(), VXPage::placeholderImage().cacheKey()) << "not the former preview";
    ASSERT_TRUE(page->calcPreview());
    expectPixels(page->preview(), {{{150, 75}, now}});
    ASSERT_TRUE(QTest::qWaitFor([&] { return asked->calls == 1; }, waitLimit));

    // A preview drawn of the former content while the new one arrives is dropped.
    const VXPagePtr racing = plainPage(former);
    bool drawn = false;
    racing->calcPreviewInBackground([&] { drawn = true; });
    racing->setPdfPage(*replacement->pdfPage());
    VXPage::waitForRenders();
    QCoreApplication::processEvents();
    if (!racing->preview().isNull()) {
        expectPixels(racing->preview(), {{{150, 75}, now}});
    }
    EXPECT_TRUE(racing->calcPreview() || drawn);
    expectPixels(racing->preview(), {{{150, 75}, now}});
}

TEST(VXPage, ArchiveCarriesThePdfPageAndTheEmptyFlag)
{
    const VXPagePtr page = fixturePage({200, 400}, 90);
    page->setIsEmpty(true);
    QByteArray bytes;
    {
        QDataStream out(&bytes, QIODevice::WriteOnly);
        ASSERT_TRUE(page->encodeWithCoder(out));
        ASSERT_TRUE(std::make_shared<VXPage>()->encodeWithCoder(out));
    }
    QDataStream in(bytes);
    const VXPagePtr restored = VXPage::pageWithCoder(in);
    ASSERT_TRUE(restored);
    EXPECT_TRUE(restored->isEmpty());
    expectPixels(drawnInto({400, 200}, [&] { restored->renderInRect(QRectF(0, 0, 400, 200), 0); }),
                 {{{5, 5}, marker}, {{395, 195}, PdfFixture::colourOf(1)}});
    const VXPagePtr bare = VXPage::pageWithCoder(in);
    ASSERT_TRUE(bare);
    EXPECT_FALSE(bare->pdfPage());

    platform::LogCapture log;
    QDataStream scrap(QByteArray("scrap"));
    EXPECT_FALSE(VXPage::pageWithCoder(scrap));
    EXPECT_EQ(log.lines(), QStringList{"Error: Could not read an archived page"});
}

TEST(VXPageImageCache, DropsTheLeastRecentlyUsedBeyondItsBudget)
{
    const qint64 image = 10 * 10 * 4;
    VXPageImageCache cache(3 * image);
    for (int n = 1; n <= 3; ++n)
        cache.insert(owner(n), entry(10));
    ASSERT_TRUE(cache.find(owner(1))); // 1 is now newer than 2 and 3
    cache.insert(owner(4), entry(10));
    for (int n = 1; n <= 4; ++n)
        EXPECT_EQ(bool(cache.find(owner(n))), n != 2) << n;
    EXPECT_EQ(cache.totalBytes(), 3 * image);
    cache.setCapacity(image);
    EXPECT_EQ(cache.totalBytes(), image);
    EXPECT_TRUE(cache.find(owner(4)));

    // An image larger than the whole budget is not kept, not even in place of a smaller one.
    cache.insert(owner(5), entry(20));
    EXPECT_FALSE(cache.find(owner(5)));
    EXPECT_TRUE(cache.find(owner(4)));
    cache.insert(owner(4), entry(20));
    EXPECT_FALSE(cache.find(owner(4)));
    EXPECT_EQ(cache.totalBytes(), 0);
}
