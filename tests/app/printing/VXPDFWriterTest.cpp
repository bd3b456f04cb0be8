#include "app/printing/VXPDFWriter.h"

#include "platform/printing/PrintInfo.h"
#include "platform/printing/PrintOperation.h"

#include "support/PdfFixture.h"
#include "support/PixelProbe.h"

#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QList<VXPagePtr> pagesOf(const QByteArray &pdf)
{
    QList<VXPagePtr> pages;
    for (const platform::PdfPage &page : PdfFixture::pdfPages(pdf))
        pages << VXPage::pageForPDFPage(page);
    return pages;
}

} // namespace

// Before any page is given, and with none, the writer prints nothing: no size, an empty column, no pages.
TEST(VXPDFWriter, WithoutPagesItHasNoSizeAndNothingToPrint)
{
    VXPDFWriter fresh;
    VXPDFWriter emptied;
    emptied.setPages(pagesOf(PdfFixture::pages(PdfFixture::numbered(2))));
    emptied.setPages({});
    for (VXPDFWriter *writer : {&fresh, &emptied}) {
        EXPECT_EQ(writer->pageSize(), QSizeF(0, 0));
        EXPECT_EQ(writer->allPagesRect(), QRectF(0, 0, 0, 0));
        int first = 0;
        int count = -1;
        EXPECT_TRUE(writer->knowsPageRange(first, count));
        EXPECT_EQ(first, 1);
        EXPECT_EQ(count, 0);
        EXPECT_TRUE(writer->rectForPage(1).isNull());
    }
}

// An A4 portrait and an A4 landscape page: the column is 842 wide, each printed page takes its own size,
// and the landscape page prints at the lower left of its paper, the band above it left white.
TEST(VXPDFWriter, EachPageHasItsOwnRectangleInAColumnAsWideAsTheWidestPage)
{
    QList<PdfFixturePage> sizes = PdfFixture::numbered(2);
    sizes[0].mediaSize = {595, 842};
    sizes[1].mediaSize = {842, 595};
    VXPDFWriter writer;
    writer.setPages(pagesOf(PdfFixture::pages(sizes)));
    EXPECT_EQ(writer.pageSize(), QSizeF(842, 842));
    EXPECT_EQ(writer.allPagesRect(), QRectF(0, 0, 842, 1684));
    EXPECT_EQ(writer.rectForPage(1), QRectF(0, 0, 595, 842));
    EXPECT_EQ(writer.rectForPage(2), QRectF(0, 842, 842, 595));
    EXPECT_TRUE(writer.rectForPage(3).isNull());

    QTemporaryDir folder;
    const QString out = folder.filePath("pages.pdf");
    platform::PrintInfo info;
    info.setPaperSize({842, 842});
    info.setJobDisposition(platform::PrintInfo::JobDisposition::Save);
    info.setJobSavingUrl(QUrl::fromLocalFile(out));
    platform::PrintOperation operation(writer, info);
    ASSERT_TRUE(operation.run()) << operation.errorString().toStdString();
    const QImage second = PdfFixture::rendered(PdfFixture::read(out), 1);
    ASSERT_EQ(second.size(), QSize(842, 842));
    EXPECT_TRUE(PixelProbe::isNear(second, {421, 100}, Qt::white)) << PixelProbe::describe(second, {421, 100}).toStdString();
    EXPECT_TRUE(PixelProbe::isNear(second, {421, 700}, PdfFixture::colourOf(2))) << PixelProbe::describe(second, {421, 700}).toStdString();
}
