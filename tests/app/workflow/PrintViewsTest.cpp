#include "app/workflow/QSPDFPrintView.h"
#include "app/workflow/VXPDFWriter.h"
#include "platform/Log.h"
#include "platform/PdfDocument.h"
#include "platform/PrintOperation.h"

#include "support/PdfFixture.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <poppler-qt6.h>

#include <memory>

using platform::PrintInfo;

namespace {

// Prints the printable into a file on that paper and reads back the number of every printed page.
QList<int> printedNumbers(platform::Printable &printable, const QSizeF &paper)
{
    QTemporaryDir folder;
    PrintInfo info;
    info.setPaperSize(paper);
    info.setJobDisposition(PrintInfo::JobDisposition::Save);
    info.setJobSavingUrl(QUrl::fromLocalFile(folder.filePath(QStringLiteral("printed.pdf"))));
    if (!platform::PrintOperation(printable, info).run())
        return {-1};
    const std::unique_ptr<Poppler::Document> document = Poppler::Document::load(folder.filePath(QStringLiteral("printed.pdf")));
    QList<int> numbers;
    for (int page = 0; document && page < document->numPages(); ++page)
        numbers << document->page(page)->text(QRectF()).simplified().remove(QStringLiteral("Page ")).toInt();
    return numbers;
}

} // namespace

TEST(QSPDFPrintView, PrintsTheChosenPagesAndKeepsTheLastOddOne)
{
    QTemporaryDir folder;
    const struct
    {
        int pageCount;
        int printPages;
        QList<int> printed;
    } cases[] = {
        {2, QSPDFPrintView::OddPages, {1}},
        {2, QSPDFPrintView::EvenPages, {2}},
        {2, QSPDFPrintView::AllPages, {1, 2}},
        {5, QSPDFPrintView::OddPages, {1, 3, 5}},
        {5, QSPDFPrintView::EvenPages, {2, 4}},
        {1, QSPDFPrintView::EvenPages, {-1}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.pageCount << " pages, printPages " << c.printPages);
        const QString path = PdfFixture::write(folder.path(), QStringLiteral("test%1.pdf").arg(c.pageCount),
                                               PdfFixture::pages(PdfFixture::numbered(c.pageCount)));
        QSPDFPrintView view(QUrl::fromLocalFile(path));
        EXPECT_EQ(view.pageSize(), QSizeF(200, 300));
        view.setPrintPages(c.printPages);
        platform::LogCapture log;
        EXPECT_EQ(printedNumbers(view, view.pageSize()), c.printed);
    }

    platform::LogCapture log;
    QSPDFPrintView missing(QUrl::fromLocalFile(folder.filePath(QStringLiteral("missing.pdf"))));
    int first = 0;
    int count = -1;
    EXPECT_TRUE(missing.knowsPageRange(first, count));
    EXPECT_EQ(count, 0);
    EXPECT_EQ(log.lines().size(), 1);
}

TEST(VXPDFWriter, PrintsEachPageAtItsOwnSizeInAColumnOfTheWidest)
{
    QList<PdfFixturePage> pages(2);
    pages[0].mediaSize = QSizeF(595, 842);
    pages[1].number = 2;
    pages[1].mediaSize = QSizeF(842, 595);
    const std::optional<platform::PdfDocument> document = platform::PdfDocument::fromData(PdfFixture::pages(pages), "pages");
    ASSERT_TRUE(document);
    VXPDFWriter writer;
    writer.setPages({VXPage::pageForPDFPage(*document->page(0)), VXPage::pageForPDFPage(*document->page(1))});
    EXPECT_EQ(writer.pageSize(), QSizeF(842, 842));
    EXPECT_EQ(writer.allPagesRect(), QRectF(0, 0, 842, 1684));
    EXPECT_EQ(writer.rectForPage(2), QRectF(0, 842, 842, 595));
    EXPECT_EQ(writer.rectForPage(3), QRectF());
    EXPECT_EQ(printedNumbers(writer, writer.pageSize()), (QList<int>{1, 2}));

    writer.setPages({});
    int first = 0;
    int count = -1;
    EXPECT_TRUE(writer.knowsPageRange(first, count));
    EXPECT_EQ(count, 0);
    EXPECT_EQ(writer.pageSize(), QSizeF(0, 0));
}
