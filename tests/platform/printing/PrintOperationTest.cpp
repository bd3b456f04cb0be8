#include "platform/foundation/Log.h"
#include "platform/foundation/TempFolder.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/pdf/PdfDocument.h"
#include "platform/printing/PrintOperation.h"
#include "platform/printing/Printable.h"

#include "support/CupsServerTest.h"
#include "support/PdfFixture.h"
#include "support/PixelProbe.h"
#include "support/QtPrinters.h"

#include <QBuffer>
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

using platform::GraphicsContext;
using platform::PrintInfo;
using platform::PrintOperation;

namespace {

const QSizeF sheet(300, 200);

// Printed pages stacked from the bottom up, each filled with its own colour, a PDF page in its
// lower-left corner and a bar that runs on into the next page's rectangle.
class StackedPages : public platform::Printable
{
public:
    StackedPages(int first, int count)
        : m_first(first)
        , m_count(count)
        , m_page(PdfFixture::pdfPages(PdfFixture::pages(PdfFixture::numbered(1))).at(0))
    {
    }

    bool knowsPageRange(int &first, int &count) override
    {
        first = m_first;
        count = m_count;
        return m_count >= 0;
    }

    QRectF rectForPage(int page) override
    {
        return QRectF(0, (page - m_first) * sheet.height(), sheet.width(), sheet.height());
    }

    void drawRect(const QRectF &rect) override
    {
        GraphicsContext *context = GraphicsContext::current();
        const int index = int(rect.y() / sheet.height());
        context->setFill(PdfFixture::colourOf(index + 2));
        context->fillRect(rect);
        context->saveGState();
        context->translate(rect.x(), rect.y());
        context->scale(0.5, 0.5);
        context->drawPdfPage(m_page);
        context->restoreGState();
        context->setFill(Qt::black);
        context->fillRect(QRectF(rect.right() - 20, rect.top(), 20, rect.height() + 50));
        drawn.append(rect);
    }

    QList<QRectF> drawn;

private:
    int m_first;
    int m_count;
    platform::PdfPage m_page;
};

} // namespace

TEST(PrintOperation, DrawsEachPrintedPageOnAPageOfThePaper)
{
    StackedPages printable(3, 2);
    PrintInfo info;
    info.setPaperSize(sheet);
    PrintOperation operation(printable, info);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(operation.writePdf(buffer));
    EXPECT_EQ(printable.drawn, (QList<QRectF>{QRectF(0, 0, 300, 200), QRectF(0, 200, 300, 200)}));

    const std::optional<platform::PdfDocument> written = platform::PdfDocument::fromData(buffer.data(), "printed");
    ASSERT_TRUE(written);
    ASSERT_EQ(written->pageCount(), 2);
    for (int page = 0; page < 2; ++page) {
        SCOPED_TRACE(page);
        EXPECT_EQ(written->page(page)->cropBox(), QRectF(QPointF(0, 0), sheet));
        // Each rectangle's lower-left corner at the paper's; the bar stops at the page's edge, the
        // next page's drawing does not reach back.
        EXPECT_EQ(PixelProbe::mismatches(PdfFixture::rendered(buffer.data(), page), {{{150, 20}, PdfFixture::colourOf(page + 2)},
                  {{2, 197}, Qt::red}, {{290, 5}, Qt::black}, {{290, 195}, Qt::black}}), QStringList());
    }
}

TEST(PrintOperation, SaveJobsWriteTheFileInOnePieceOrFailLeavingTheFolderAsItWas)
{
    QTemporaryDir folder;
    const QString path = PdfFixture::write(folder.path(), QStringLiteral("Menu - Booklet.pdf"), "old");
    // A plain file where a folder should be: no one can write into it, whoever runs the test.
    const QString plain = PdfFixture::write(folder.path(), QStringLiteral("plain"), "text");
    const struct { QUrl url; int pages; QString error; } cases[] = {
        {QUrl::fromLocalFile(path), 0, "Error: Could not print: there are no pages to print"},
        {QUrl::fromLocalFile(path), -1, "Error: Could not print: there are no pages to print"},
        {QUrl::fromLocalFile(plain + "/out.pdf"), 1, "Error: Could not save the print job to \""},
        {QUrl("https://example.org/out.pdf"), 1, "Error: Could not save the print job: \"https://example.org/out.pdf\" is no file"},
        {QUrl::fromLocalFile(path), 3, ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.error.toStdString());
        StackedPages printable(1, c.pages);
        PrintInfo info;
        info.setPaperSize(sheet);
        info.setJobDisposition(PrintInfo::JobDisposition::Save);
        info.setJobSavingUrl(c.url);
        platform::LogCapture log;
        EXPECT_EQ(PrintOperation(printable, info).run(), c.error.isEmpty());
        EXPECT_EQ(log.lines().size(), c.error.isEmpty() ? 0 : 1);
        EXPECT_EQ(log.lines().value(0).left(c.error.size()), c.error);
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), (QStringList{"Menu - Booklet.pdf", "plain"}));
        EXPECT_EQ(PdfFixture::read(path) == "old", !c.error.isEmpty());
    }
    EXPECT_EQ(platform::PdfDocument::open(path)->pageCount(), 3);
}

using PrintOperationSpool = CupsServerTest;

TEST_F(PrintOperationSpool, SendsOneJobWithTheSidesPaperAndCopies)
{
    const struct { PrintInfo::Duplex duplex; int copies; QString sides; } runs[] = {
        {PrintInfo::Duplex::TwoSidedShortEdge, 1, "sides=two-sided-short-edge"},
        {PrintInfo::Duplex::OneSided, 2, "sides=one-sided"},
    };
    for (const auto &run : runs) {
        SCOPED_TRACE(run.sides.toStdString());
        StackedPages printable(1, 3);
        PrintInfo info;
        info.setPaperSize(QSizeF(842, 595));
        info.setPrinterName(QStringLiteral("Duplex_Printer"));
        info.setDuplex(run.duplex);
        info.setCopies(run.copies);
        PrintOperation operation(printable, info);
        operation.setJobTitle(QStringLiteral("Menu"));
        platform::LogCapture log;
        ASSERT_TRUE(operation.run()) << operation.errorString().toStdString();
        EXPECT_TRUE(log.lines().isEmpty());

        const std::optional<platform::PdfDocument> received
            = platform::PdfDocument::fromData(jobFile(operation.jobId(), QStringLiteral("pdf")), "received");
        ASSERT_TRUE(received);
        EXPECT_EQ(received->pageCount(), 3);
        EXPECT_EQ(received->page(2)->cropBox(), QRectF(0, 0, 842, 595));
        const QStringList options = QString::fromUtf8(jobFile(operation.jobId(), QStringLiteral("options"))).split(' ');
        for (const QString &option : {run.sides, QStringLiteral("print-scaling=none"), QStringLiteral("media=iso_a4_210x297mm")})
            EXPECT_TRUE(options.contains(option)) << option.toStdString() << " not in " << options.join(' ').toStdString();
        EXPECT_EQ(jobFile(operation.jobId(), QStringLiteral("copies")).trimmed(), QByteArray::number(run.copies));
        EXPECT_EQ(jobFile(operation.jobId(), QStringLiteral("title")).trimmed(), QByteArray("Menu"));
        // The composed file is gone once the server has it.
        EXPECT_TRUE(QDir(platform::TempFolder::path()).entryList({QStringLiteral("print-*")}, QDir::Files).isEmpty());
    }
}

TEST_F(PrintOperationSpool, UnknownPrinterFailsWithTheServersWords)
{
    StackedPages printable(1, 1);
    PrintInfo info;
    info.setPrinterName(QStringLiteral("No_Such_Printer"));
    PrintOperation operation(printable, info);
    operation.setJobTitle(QStringLiteral("Menu"));
    platform::LogCapture log;
    EXPECT_FALSE(operation.run());
    EXPECT_EQ(operation.errorString(), QStringLiteral("The printer or class does not exist."));
    EXPECT_EQ(log.lines(), QStringList{"Error: Printing \"Menu\" on \"No_Such_Printer\" failed: The printer or class does not exist."});

    // A printer is only taken by name when the server knows it.
    EXPECT_FALSE(info.setPrinterNamed(QStringLiteral("Also_Missing")));
    EXPECT_TRUE(info.setPrinterNamed(QStringLiteral("Simplex_Printer")));
    EXPECT_EQ(info.printerName(), QStringLiteral("Simplex_Printer"));
}
