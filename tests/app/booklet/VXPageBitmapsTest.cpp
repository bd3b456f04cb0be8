#include "app/booklet/VXPageBitmaps.h"

#include "support/PdfFixture.h"
#include "support/PixelProbe.h"

#include <gtest/gtest.h>

namespace {

QList<VXPagePtr> numberedPages(int count)
{
    QList<VXPagePtr> pages;
    for (const platform::PdfPage &page : PdfFixture::pdfPages(PdfFixture::pages(PdfFixture::numbered(count))))
        pages.append(VXPage::pageForPDFPage(page));
    return pages;
}

} // namespace

// Bitmaps drawn ahead on workers are those drawn on the asking thread, taken in any order, in
// every orientation; a page asked for twice is drawn once.
TEST(VXPageBitmaps, BitmapsDrawnAheadMatchThoseDrawnInTurn)
{
    const QList<VXPagePtr> pages = numberedPages(6);
    const QSize pixels(90, 130);
    VXPageBitmaps bitmaps;
    ASSERT_GE(bitmaps.capacity(), 1);
    QList<std::pair<VXPagePtr, int>> asked;
    for (int i = 0; i < pages.size() && asked.size() < bitmaps.capacity(); ++i) {
        const int orientation = i % 4;
        EXPECT_TRUE(bitmaps.prepare(pages[i], pixels, orientation));
        EXPECT_TRUE(bitmaps.prepare(pages[i], pixels, orientation)) << "asked again";
        asked.append({pages[i], orientation});
    }
    for (qsizetype k = asked.size() - 1; k >= 0; --k) {
        const auto &[page, orientation] = asked[k];
        const VXPageBitmaps::Bitmap ahead = bitmaps.take(page, pixels, orientation);
        const VXPageBitmaps::Bitmap inTurn = VXPageBitmaps::draw(page, pixels, orientation);
        ASSERT_TRUE(ahead.drawn && inTurn.drawn);
        EXPECT_EQ(ahead.image.size(), pixels);
        EXPECT_TRUE(ahead.image == inTurn.image) << "page " << k + 1 << ", orientation " << orientation;
    }
    // The page's own colour fills the middle of its bitmap.
    const VXPageBitmaps::Bitmap first = bitmaps.take(pages[0], pixels, 0);
    EXPECT_EQ(PixelProbe::mismatches(first.image, {{{45, 20}, PdfFixture::colourOf(1)}}), QStringList());
}

// No more than the capacity waits ahead; taking one makes room for the next.
TEST(VXPageBitmaps, AsksBeyondTheCapacityAreRefusedUntilOneIsTaken)
{
    VXPageBitmaps bitmaps;
    const QList<VXPagePtr> pages = numberedPages(bitmaps.capacity() + 1);
    const QSize pixels(20, 30);
    for (int i = 0; i < bitmaps.capacity(); ++i)
        EXPECT_TRUE(bitmaps.prepare(pages[i], pixels, 0));
    EXPECT_FALSE(bitmaps.prepare(pages.last(), pixels, 0));
    EXPECT_TRUE(bitmaps.take(pages[0], pixels, 0).drawn);
    EXPECT_TRUE(bitmaps.prepare(pages.last(), pixels, 0));
    bitmaps.clear();
    EXPECT_TRUE(bitmaps.prepare(pages[0], pixels, 0));
}

// A page without a PDF page draws nothing, ahead or not.
TEST(VXPageBitmaps, APageWithoutContentIsNotDrawn)
{
    VXPageBitmaps bitmaps;
    const VXPagePtr blank = std::make_shared<VXPage>();
    EXPECT_TRUE(bitmaps.prepare(blank, QSize(10, 10), 0));
    EXPECT_FALSE(bitmaps.take(blank, QSize(10, 10), 0).drawn);
    EXPECT_FALSE(VXPageBitmaps::draw(nullptr, QSize(10, 10), 0).drawn);
}
