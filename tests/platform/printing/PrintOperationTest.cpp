#include "platform/foundation/Log.h"
#include "platform/foundation/TempFolder.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/pdf/PdfDocument.h"
#include "platform/printing/PrintJob.h"
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
using platform::PrintJob;
using platform::PrintJobOptions;
using platform::PrintOperation;
using Sides = PrintJobOptions::Sides;

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

class PrintSpool : public CupsServerTest
{
protected:
    // The options sent with the job hold these, and its title and copies are as given.
    static void expectSent(int jobId, const QStringList &options, const QByteArray &title, int copies)
    {
        const QStringList sent = QString::fromUtf8(jobFile(jobId, QStringLiteral("options"))).split(' ');
        for (const QString &option : options)
            EXPECT_TRUE(sent.contains(option)) << option.toStdString() << " not in " << sent.join(' ').toStdString();
        EXPECT_EQ(jobFile(jobId, QStringLiteral("title")).trimmed(), title);
        EXPECT_EQ(jobFile(jobId, QStringLiteral("copies")).trimmed(), QByteArray::number(copies));
    }
};

} // namespace

TEST(PrintJobOptions, MediaIsNamedAfterTheSheetWhicheverWayRound)
{
    const struct { QSizeF points; QString name; } cases[] = {
        {{595.28, 841.89}, "iso_a4_210x297mm"},
        {{842, 595}, "iso_a4_210x297mm"},
        {{419.53, 595.28}, "iso_a5_148x210mm"},
        {{612, 792}, "na_letter_8.5x11in"},
        {{1224, 792}, "na_ledger_11x17in"},
        {{300, 400}, "custom_105.83x141.11mm_105.83x141.11mm"},
        {{}, QString()},
    };
    for (const auto &c : cases)
        EXPECT_EQ(PrintJobOptions::mediaNameForSize(c.points), c.name) << c.points.width() << " x " << c.points.height();
}

TEST_F(PrintSpool, JobFileArrivesUnchangedWithTheRunsOptions)
{
    const struct { const char *label; PrintJobOptions options; QStringList expectedOptions; QByteArray expectedTitle; } runs[] = {
        // Extra options may add to a run but not undo its sides.
        {"automatic duplex",
         {"Duplex_Printer", "Booklet", Sides::TwoSidedShortEdge, {}, {842, 595}, 2, {{"sides", "one-sided"}, {"number-up", "2"}}},
         {"sides=two-sided-short-edge", "print-scaling=none", "media=iso_a4_210x297mm", "number-up=2"},
         "Booklet"},
        {"manual duplex run",
         {"Simplex_Printer", {}, Sides::OneSided, "na_letter_8.5x11in", {842, 595}, 1, {}},
         {"sides=one-sided", "print-scaling=none", "media=na_letter_8.5x11in"},
         "Booklet.pdf"},
    };
    QTemporaryDir dir;
    const QByteArray pdf = PdfFixture::pages(PdfFixture::numbered(3));
    const QString path = PdfFixture::write(dir.path(), "Booklet.pdf", pdf);
    for (const auto &run : runs) {
        SCOPED_TRACE(run.label);
        PrintJob job(run.options);
        ASSERT_TRUE(job.submit(path)) << job.errorString().toStdString();
        EXPECT_TRUE(job.errorString().isEmpty());
        EXPECT_EQ(jobFile(job.jobId(), "pdf"), pdf);
        expectSent(job.jobId(), run.expectedOptions, run.expectedTitle, run.options.copies);
    }
}

TEST_F(PrintSpool, RefusedJobsGiveTheReasonAndLogIt)
{
    QTemporaryDir dir;
    const QString pdf = PdfFixture::write(dir.path(), "a.pdf", PdfFixture::pages(PdfFixture::numbered(1)));
    const struct { PrintJobOptions options; QString path; QString reason; } cases[] = {
        {{"No_Such_Printer", "Job", Sides::OneSided, {}, {}, 1, {}}, pdf, "The printer or class does not exist."},
        // An empty name must not print on the default printer.
        {{{}, "Job", Sides::OneSided, {}, {}, 1, {}}, pdf, "No printer was named"},
        {{"Simplex_Printer", "Job", Sides::OneSided, {}, {}, 0, {}}, pdf, "0 copies were asked for"},
        {{"Simplex_Printer", "Job", Sides::OneSided, {}, {}, 1, {}}, dir.filePath("missing.pdf"),
         QStringLiteral("\"%1\" cannot be read").arg(dir.filePath("missing.pdf"))},
    };
    for (const auto &c : cases) {
        platform::LogCapture capture;
        PrintJob job(c.options);
        EXPECT_FALSE(job.submit(c.path));
        EXPECT_EQ(job.jobId(), 0);
        EXPECT_EQ(job.errorString(), c.reason);
        EXPECT_EQ(capture.lines(),
                  QStringList{QStringLiteral("Error: Printing \"Job\" on \"%1\" failed: %2").arg(c.options.printerName, c.reason)});
    }
}

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

TEST_F(PrintSpool, OperationSendsOneJobWithTheSidesPaperAndCopies)
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
        expectSent(operation.jobId(), {run.sides, "print-scaling=none", "media=iso_a4_210x297mm"}, "Menu", run.copies);
        // The composed file is gone once the server has it.
        EXPECT_TRUE(QDir(platform::TempFolder::path()).entryList({QStringLiteral("print-*")}, QDir::Files).isEmpty());
    }
}

TEST_F(PrintSpool, OperationOnAnUnknownPrinterFailsWithTheServersWords)
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
