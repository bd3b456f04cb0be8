#include "platform/foundation/Log.h"
#include "platform/foundation/TempFolder.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/pdf/PdfDocument.h"
#include "platform/printing/PrintJob.h"
#include "platform/printing/PrintOperation.h"
#include "platform/printing/PrinterCache.h"
#include "platform/printing/Printable.h"

#include "support/CupsServerTest.h"
#include "support/FullDisk.h"
#include "support/PdfFixture.h"
#include "support/PixelProbe.h"
#include "support/QtPrinters.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

#include <algorithm>

using platform::GraphicsContext;
using platform::PrintInfo;
using platform::PrintJob;
using platform::PrintJobOptions;
using platform::PrintOperation;
using Sides = PrintJobOptions::Sides;

namespace {

const QSizeF sheet(300, 200);

// Printed pages stacked from the bottom up, each filled with its own colour, with a bar at its right
// edge that runs on into the next page's rectangle.
class StackedPages : public platform::Printable
{
public:
    StackedPages(int first, int count)
        : m_first(first)
        , m_count(count)
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
        context->setFill(Qt::black);
        context->fillRect(QRectF(rect.right() - 20, rect.top(), 20, rect.height() + 50));
    }

private:
    int m_first;
    int m_count;
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
    EXPECT_EQ(PrintJobOptions::mediaNameForSize({842, 595}), "iso_a4_210x297mm");
    EXPECT_EQ(PrintJobOptions::mediaNameForSize({}), QString());
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
         QStringLiteral("\"%1\" cannot be read: No such file or directory").arg(dir.filePath("missing.pdf"))},
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

TEST(PrintOperation, SaveJobsWriteEachPrintedPageOnAPageOfThePaperOrFailLeavingTheFolderAsItWas)
{
    QTemporaryDir folder;
    const QString path = PdfFixture::write(folder.path(), QStringLiteral("Menu - Booklet.pdf"), "old");
    // A plain file where a folder should be: no one can write into it, whoever runs the test.
    const QString plain = PdfFixture::write(folder.path(), QStringLiteral("plain"), "text");
    // A job that is no print of its own (an export) names itself in its failures.
    const QString exporting = "Could not export the booklet";
    const struct { QUrl url; int pages; QString heading; QString error; } cases[] = {
        {QUrl::fromLocalFile(path), 0, {}, "Error: Could not print: there are no pages to print"},
        {QUrl::fromLocalFile(plain + "/out.pdf"), 1, {}, "Error: Could not save the print job to \""},
        {QUrl("https://example.org/out.pdf"), 1, {},
         "Error: Could not save the print job: \"https://example.org/out.pdf\" is no file"},
        {QUrl::fromLocalFile(path), 0, exporting, "Error: Could not export the booklet: there are no pages to print"},
        {QUrl::fromLocalFile(plain + "/out.pdf"), 1, exporting, "Error: Could not export the booklet to \"" + plain + "/out.pdf\": "},
        {QUrl::fromLocalFile(path), 2, {}, ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.error.toStdString());
        StackedPages printable(3, c.pages);
        PrintInfo info;
        info.setPaperSize(sheet);
        info.setJobDisposition(PrintInfo::JobDisposition::Save);
        info.setJobSavingUrl(c.url);
        platform::LogCapture log;
        PrintOperation operation(printable, info);
        operation.setFailureHeading(c.heading);
        EXPECT_EQ(operation.run(), c.error.isEmpty());
        EXPECT_EQ(log.lines().size(), c.error.isEmpty() ? 0 : 1);
        EXPECT_EQ(log.lines().value(0).left(c.error.size()), c.error);
        EXPECT_EQ("Error: " + operation.errorString(), log.lines().value(0, "Error: "));
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), (QStringList{"Menu - Booklet.pdf", "plain"}));
        EXPECT_EQ(PdfFixture::read(path) == "old", !c.error.isEmpty());
    }
    const QByteArray saved = PdfFixture::read(path);
    ASSERT_EQ(platform::PdfDocument::fromData(saved, "saved")->pageCount(), 2);
    for (int page = 0; page < 2; ++page) {
        SCOPED_TRACE(page);
        // The rectangle's lower-left at the paper's; the bar stops at the page's edge and the next page's does not reach back.
        const QList<std::pair<QPoint, QColor>> probes{{{150, 20}, PdfFixture::colourOf(page + 2)}, {{290, 5}, Qt::black},
                                                      {{290, 195}, Qt::black}};
        EXPECT_EQ(PixelProbe::mismatches(PdfFixture::rendered(saved, page), probes), QStringList());
    }
}

// Two pages wait in the write buffer until the file is put in place; two hundred fail while the PDF
// is written, on a disk that is full or that takes part of a write.
TEST(PrintOperation, ASaveJobOnAFullDiskFailsSayingTheDiskIsFullAndKeepsTheOldFile)
{
    const struct { int pages; qsizetype room; QString error; } cases[] = {
        {2, 0, "Error: Could not save the print job to \"%1\": the disk is full"},
        {200, 0, "Error: Could not write the PDF: the disk is full"},
        {200, 8192, "Error: Could not write the PDF: the disk is full"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(QStringLiteral("%1 pages, %2 bytes free").arg(c.pages).arg(c.room).toStdString());
        QTemporaryDir folder;
        const FullDisk disk(folder.path(), "Menu - Booklet.pdf", "old", c.room);
        if (!disk.mounted)
            GTEST_SKIP() << "a full disk needs root and a tmpfs";
        StackedPages printable(1, c.pages);
        PrintInfo info;
        info.setPaperSize(sheet);
        info.setJobDisposition(PrintInfo::JobDisposition::Save);
        info.setJobSavingUrl(QUrl::fromLocalFile(disk.oldFile));
        platform::LogCapture log;
        EXPECT_FALSE(PrintOperation(printable, info).run());
        EXPECT_EQ(log.lines(), QStringList{QString(c.error).replace("%1", disk.oldFile)});
        EXPECT_EQ(PdfFixture::read(disk.oldFile), "old");
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), (QStringList{"filler", "Menu - Booklet.pdf"}));
    }
}

// The job's file is made in the process's temporary folder; on a disk that is full, or that takes
// part of the file, the print fails before it reaches a printer, saying so.
TEST(PrintOperation, APrintJobOnAFullDiskFailsSayingTheDiskIsFull)
{
    for (const auto &[pages, room] : {std::pair{2, 0}, {2, 4096}, {12, 4096}}) {
        SCOPED_TRACE(QStringLiteral("%1 pages, %2 bytes free").arg(pages).arg(room).toStdString());
        const FullDisk disk(platform::TempFolder::path(), "kept", "kept", room);
        if (!disk.mounted)
            GTEST_SKIP() << "a full disk needs root and a tmpfs";
        StackedPages printable(1, pages);
        PrintInfo info;
        info.setPaperSize(sheet);
        info.setPrinterName(QStringLiteral("Nowhere"));
        platform::LogCapture log;
        EXPECT_FALSE(PrintOperation(printable, info).run());
        EXPECT_EQ(log.lines(), QStringList{"Error: Could not print: the job's file cannot be written: the disk is full"});
        EXPECT_EQ(QDir(platform::TempFolder::path()).entryList(QDir::Files | QDir::Hidden), (QStringList{"filler", "kept"}));
    }
}

TEST_F(PrintSpool, OperationSendsOneJobWithTheSidesPaperAndCopiesOrFailsWithTheServersWords)
{
    StackedPages printable(1, 3);
    PrintInfo info;
    info.setPaperSize(QSizeF(842, 595));
    info.setPrinterName(QStringLiteral("Duplex_Printer"));
    info.setDuplex(PrintInfo::Duplex::TwoSidedShortEdge);
    info.setCopies(2);
    PrintOperation operation(printable, info);
    operation.setJobTitle(QStringLiteral("Menu"));
    platform::LogCapture log;
    ASSERT_TRUE(operation.run()) << operation.errorString().toStdString();
    const std::optional<platform::PdfDocument> received
        = platform::PdfDocument::fromData(jobFile(operation.jobId(), QStringLiteral("pdf")), "received");
    ASSERT_TRUE(received);
    EXPECT_EQ(received->pageCount(), 3);
    EXPECT_EQ(received->page(2)->cropBox(), QRectF(0, 0, 842, 595));
    expectSent(operation.jobId(), {"sides=two-sided-short-edge", "print-scaling=none", "media=iso_a4_210x297mm"}, "Menu", 2);
    // The composed file is gone once the server has it.
    EXPECT_TRUE(QDir(platform::TempFolder::path()).entryList({QStringLiteral("print-*")}, QDir::Files).isEmpty());

    info.setPrinterName(QStringLiteral("No_Such_Printer"));
    PrintOperation refused(printable, info);
    refused.setJobTitle(QStringLiteral("Menu"));
    EXPECT_FALSE(refused.run());
    EXPECT_EQ(refused.errorString(), QStringLiteral("The printer or class does not exist."));
    EXPECT_EQ(log.lines(),
              QStringList{"Error: Printing \"Menu\" on \"No_Such_Printer\" failed: The printer or class does not exist."});
    // Names are checked against the cache once it has the server's answer.
    ASSERT_TRUE(QTest::qWaitFor([] { return platform::PrinterCache::shared()->isLoaded(); }, 20000));
    EXPECT_FALSE(info.setPrinterNamed(QStringLiteral("Also_Missing")));
    EXPECT_EQ(info.printerName(), QStringLiteral("No_Such_Printer"));
    EXPECT_TRUE(info.setPrinterNamed(QStringLiteral("simplex_printer")));
    EXPECT_EQ(info.printerName(), QStringLiteral("Simplex_Printer"));
}

// Started, a job waits on the server off this thread; its outcome comes back here on a later turn.
TEST_F(PrintSpool, AStartedJobGoesToTheDefaultPrinterOrTheServersWordsComeBackOnTheCallersThread)
{
    StackedPages printable(1, 2);
    PrintInfo info;
    info.setPaperSize(QSizeF(842, 595));
    QObject context;
    QList<std::pair<PrintOperation::Outcome, QThread *>> outcomes;
    for (const QString &printer : {QString(), QStringLiteral("No_Such_Printer")}) {
        info.setPrinterName(printer);
        PrintOperation operation(printable, info);
        operation.setJobTitle(QStringLiteral("Started"));
        operation.start(&context, [&](const PrintOperation::Outcome &outcome) { outcomes.append({outcome, QThread::currentThread()}); });
    }
    EXPECT_TRUE(outcomes.isEmpty());
    ASSERT_TRUE(QTest::qWaitFor([&] { return outcomes.size() == 2; }, 20000));
    // The two may finish in either order.
    std::sort(outcomes.begin(), outcomes.end(), [](const auto &a, const auto &b) { return a.first.done > b.first.done; });
    ASSERT_TRUE(outcomes.first().first.done) << outcomes.first().first.errorString.toStdString();
    EXPECT_EQ(platform::PdfDocument::fromData(jobFile(outcomes.first().first.jobId, QStringLiteral("pdf")), "received")->pageCount(), 2);
    EXPECT_EQ(outcomes.last().first.errorString, QStringLiteral("The printer or class does not exist."));
    for (const auto &[outcome, thread] : outcomes)
        EXPECT_EQ(thread, QThread::currentThread());
}
