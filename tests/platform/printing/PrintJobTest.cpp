#include "platform/foundation/Log.h"
#include "platform/printing/PrintJob.h"

#include "support/CupsServerTest.h"
#include "support/PdfFixture.h"
#include "support/QtPrinters.h"

#include <QTemporaryDir>

using platform::PrintJob;
using platform::PrintJobOptions;
using Sides = PrintJobOptions::Sides;

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

namespace {

struct JobRun { const char *label; PrintJobOptions options; QStringList expectedOptions; QByteArray expectedTitle; };

void PrintTo(const JobRun &run, std::ostream *os) { *os << run.label; }

class PrintJobRun : public CupsServerTest, public ::testing::WithParamInterface<JobRun>
{
};

} // namespace

TEST_P(PrintJobRun, FileArrivesUnchangedWithTheRunsOptions)
{
    const JobRun run = GetParam();
    QTemporaryDir dir;
    const QByteArray pdf = PdfFixture::pages(PdfFixture::numbered(3));
    PrintJob job(run.options);
    ASSERT_TRUE(job.submit(PdfFixture::write(dir.path(), "Booklet.pdf", pdf))) << job.errorString().toStdString();
    EXPECT_TRUE(job.errorString().isEmpty());

    EXPECT_EQ(jobFile(job.jobId(), "pdf"), pdf);
    const QStringList sent = QString::fromUtf8(jobFile(job.jobId(), "options")).split(' ');
    for (const QString &option : run.expectedOptions)
        EXPECT_TRUE(sent.contains(option)) << option.toStdString() << " not in " << sent.join(' ').toStdString();
    EXPECT_EQ(jobFile(job.jobId(), "title").trimmed(), run.expectedTitle);
    EXPECT_EQ(jobFile(job.jobId(), "copies").trimmed(), QByteArray::number(run.options.copies));
}

INSTANTIATE_TEST_SUITE_P(PrintJob, PrintJobRun, ::testing::Values(
        // Extra options may add to a run but not undo its sides.
        JobRun{"AutomaticDuplex",
            {"Duplex_Printer", "Booklet", Sides::TwoSidedShortEdge, {}, {842, 595}, 2,
             {{"sides", "one-sided"}, {"number-up", "2"}}},
            {"sides=two-sided-short-edge", "print-scaling=none", "media=iso_a4_210x297mm", "number-up=2"},
            "Booklet"},
        JobRun{"ManualDuplexRun",
            {"Simplex_Printer", {}, Sides::OneSided, "na_letter_8.5x11in", {842, 595}, 1, {}},
            {"sides=one-sided", "print-scaling=none", "media=na_letter_8.5x11in"},
            "Booklet.pdf"}),
    [](const ::testing::TestParamInfo<JobRun> &info) { return std::string(info.param.label); });

using PrintJobFailure = CupsServerTest;

TEST_F(PrintJobFailure, RefusedJobsGiveTheReasonAndLogIt)
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
