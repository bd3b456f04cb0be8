#include "platform/foundation/Log.h"
#include "platform/pdf/PdfDocument.h"
#include "platform/pdf/PdfPageRasterizer.h"

#include "support/OwnProcess.h"
#include "support/PdfFixture.h"

#include <QImage>
#include <QTemporaryDir>

#include <GfxState.h>

#include <gtest/gtest.h>

#include <latch>
#include <thread>
#include <vector>

using platform::PdfPage;
using platform::PdfPageRasterizer;

// Band by band, in every turn, from a file or from memory, for upright and turned pages with crop
// boxes: the very pixels of poppler's Qt binding turning the page itself.
TEST(PdfPageRasterizer, DrawsThePixelsOfPopplersQtBindingBandByBand)
{
    QList<PdfFixturePage> pages = PdfFixture::numbered(3);
    pages[1].rotate = 90;
    pages[2].cropBox = QRectF(20, 30, 150, 200);
    const QByteArray pdf = PdfFixture::pages(pages);
    QTemporaryDir folder;
    const std::optional<platform::PdfDocument> fromFile = platform::PdfDocument::open(PdfFixture::write(folder.path(), "pages.pdf", pdf));
    const std::optional<platform::PdfDocument> fromMemory = platform::PdfDocument::fromData(pdf, "pages in memory");
    ASSERT_TRUE(fromFile && fromMemory);
    PdfPageRasterizer rasterizer;
    for (const platform::PdfDocument *document : {&*fromFile, &*fromMemory}) {
        for (int index = 0; index < 3; ++index) {
            const PdfPage page = *document->page(index);
            for (int turns = 0; turns < 4; ++turns) {
                const QSize pixels = turns % 2 == 0 ? QSize(97, 133) : QSize(133, 97);
                const QImage expected = PdfFixture::renderedTurned(pdf, index, pixels, turns);
                ASSERT_FALSE(expected.isNull());
                for (const int bandRows : {1, 7, 40, pixels.height()}) {
                    int bands = 0;
                    EXPECT_EQ(PdfFixture::rasterized(rasterizer, page, pixels, turns, bandRows, &bands), expected)
                        << "page " << index + 1 << ", " << turns << " turns, bands of " << bandRows;
                    EXPECT_EQ(bands, (pixels.height() + bandRows - 1) / bandRows);
                }
            }
        }
    }
}

// A band that the receiver refuses ends the page; nothing is drawn without pixels to draw into.
TEST(PdfPageRasterizer, ARefusedBandOrNoPixelsDrawNothingFurther)
{
    const PdfPage page = PdfFixture::pdfPages(PdfFixture::pages(PdfFixture::numbered(1))).first();
    PdfPageRasterizer rasterizer;
    int bands = 0;
    EXPECT_FALSE(rasterizer.draw(page, QSize(50, 80), 0, 10, [&](const uchar *, qsizetype, int) { return ++bands < 3; }).isWhole());
    EXPECT_EQ(bands, 3);
    EXPECT_FALSE(rasterizer.draw(page, QSize(), 0, 10, [&](const uchar *, qsizetype, int) { return true; }).isWhole());
    EXPECT_FALSE(rasterizer.draw(page, QSize(50, 80), 0, 0, [&](const uchar *, qsizetype, int) { return true; }).isWhole());
}

// A booklet pairing pages of several files: one rasterizer moving between more files than it keeps
// devices for draws each page from its own file.
TEST(PdfPageRasterizer, DrawsEachPageFromItsOwnFileWhenFilesAlternate)
{
    QList<QByteArray> files;
    QList<PdfPage> pages;
    for (int file = 0; file < 6; ++file) {
        QList<PdfFixturePage> described = PdfFixture::numbered(1);
        described[0].fill = PdfFixture::colourOf(file + 1);
        files.append(PdfFixture::pages(described));
        pages.append(PdfFixture::pdfPages(files.last()).first());
    }
    PdfPageRasterizer rasterizer;
    const QSize pixels(40, 60);
    for (const int file : {0, 1, 0, 2, 3, 4, 5, 0, 5, 1}) {
        SCOPED_TRACE(file);
        EXPECT_EQ(PdfFixture::rasterized(rasterizer, pages[file], pixels, 0, pixels.height()),
                  PdfFixture::renderedTurned(files[file], 0, pixels, 0));
    }
}

// The first pages a process draws, drawn by many threads at once through both of poppler's ways
// (its raster device and its Qt binding), come out whole and alike: the colour profiles poppler
// shares between threads, set by the first drawing without a lock, are made once before any
// thread draws (two threads setting them at once freed one twice).
TEST(PdfPageRasterizer, TheFirstPagesOfAProcessDrawnByManyThreadsAtOnceComeOutAlike)
{
    if (!inOwnProcessWith({}))
        return;
    ASSERT_FALSE(GfxState::sRGBProfile) << "nothing was drawn before in this process";
    const QList<PdfPage> pages = PdfFixture::pdfPages(PdfFixture::pages(PdfFixture::numbered(1)));
    ASSERT_EQ(pages.size(), 1);
    const QSize pixels(60, 85);
    constexpr int threads = 8;
    std::latch together(threads);
    std::vector<QImage> drawn(threads);
    {
        std::vector<std::jthread> drawing;
        for (int i = 0; i < threads; ++i) {
            drawing.emplace_back([&, i] {
                PdfPageRasterizer rasterizer;
                together.arrive_and_wait();
                drawn[std::size_t(i)] = i % 2 == 0 ? PdfFixture::rasterized(rasterizer, pages.first(), pixels, 0, pixels.height())
                                                   : pages.first().render(0.1, 0.1);
            });
        }
    }
    EXPECT_TRUE(GfxState::sRGBProfile);
    for (int i = 0; i < threads; ++i) {
        SCOPED_TRACE(i);
        ASSERT_FALSE(drawn[std::size_t(i)].isNull());
        EXPECT_EQ(drawn[std::size_t(i)], drawn[std::size_t(i % 2)]) << "drawn alike by each way";
    }
}
