#include "app/printing/QSPDFPrintView.h"
#include "platform/foundation/Log.h"
#include "platform/printing/PrintOperation.h"

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
    const struct { int pageCount; int printPages; QList<int> printed; } cases[] = {
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
        view.setPrintPages(c.printPages);
        platform::LogCapture log;
        EXPECT_EQ(printedNumbers(view, view.pageSize()), c.printed);
    }

    platform::LogCapture log;
    EXPECT_EQ(QSPDFPrintView(QUrl::fromLocalFile(folder.filePath(QStringLiteral("missing.pdf")))).pageCount(), 0u);
}
