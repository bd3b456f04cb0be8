#include "platform/foundation/Log.h"
#include "platform/pdf/PdfDocument.h"
#include "platform/pdf/PdfDrawingLimit.h"
#include "platform/pdf/PdfPageRasterizer.h"

#include "support/HostilePdf.h"
#include "support/PdfFixture.h"
#include "support/PixelProbe.h"

#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using platform::PdfDrawingEnd;
using platform::PdfDrawingLimit;
using platform::PdfPage;

namespace {

using namespace std::chrono_literals;

PdfPage pageOf(const QByteArray &pdf, const QString &name)
{
    const std::optional<platform::PdfDocument> document = platform::PdfDocument::fromData(pdf, QStringLiteral("\"%1\"").arg(name));
    return *document->page(0);
}

// The whole page at one pixel a point: 612 x 792.
PdfPage::Rendering rendered(const PdfPage &page, const PdfDrawingLimit &limit) { return page.render(1, 1, QRect(), limit); }

// The rows of the page at 306 x 396 pixels, in bands of 40, as far as they came.
struct Rasterized
{
    platform::PdfDrawingOutcome outcome;
    int bands = 0;
};

Rasterized rasterized(const PdfPage &page, const PdfDrawingLimit &limit)
{
    platform::PdfPageRasterizer rasterizer;
    Rasterized result;
    result.outcome = rasterizer.draw(page, QSize(306, 396), 0, 40, [&](const uchar *, qsizetype, int) {
        ++result.bands;
        return true;
    }, limit);
    return result;
}

// Every drawing of the process stops while it lives, as when the process quits.
struct StoppingAll
{
    StoppingAll() { PdfDrawingLimit::setStoppingAll(true); }
    ~StoppingAll() { PdfDrawingLimit::setStoppingAll(false); }
};

} // namespace

// The two pages that held poppler for minutes and hours are refused before poppler starts, in a
// preview, a page view and a bitmap alike, each said once as a warning that names the file and
// page; a drawing within the same limit of a real page is whole.
TEST(PdfDrawingLimit, RunawayPagesAreRefusedAtOnceWithAWarningNamingFileAndPage)
{
    const struct { QByteArray pdf; const char *name; const char *why; } runaway[] = {
        {HostilePdf::tallImage(), "Tall.pdf", "its image /Im0 declares 1 x 2147483647 pixels"},
        {HostilePdf::finePattern(), "Fine.pdf", "its tiling pattern /P0 repeats its cell 4847040000 times"},
    };
    for (const auto &[pdf, name, why] : runaway) {
        const PdfPage page = pageOf(pdf, name);
        platform::LogCapture log;
        const QString refusal = QStringLiteral("Page 1 of \"%1\" is not drawn: %2").arg(name, why);
        for (const double scale : {30.0 / 72, 1.0}) {
            const PdfPage::Rendering shown = page.render(scale, scale, QRect(), PdfDrawingLimit());
            EXPECT_EQ(shown.outcome.end, PdfDrawingEnd::Refused) << name;
            EXPECT_TRUE(shown.outcome.reason.startsWith(refusal)) << shown.outcome.reason.toStdString();
            EXPECT_TRUE(shown.image.isNull());
        }
        const Rasterized bitmap = rasterized(page, PdfDrawingLimit());
        EXPECT_EQ(bitmap.outcome.end, PdfDrawingEnd::Refused) << name;
        EXPECT_TRUE(bitmap.outcome.reason.startsWith(refusal)) << bitmap.outcome.reason.toStdString();
        EXPECT_EQ(bitmap.bands, 0);
        EXPECT_EQ(log.lines().filter(refusal).size(), 1) << log.lines().join(u'\n').toStdString();
        EXPECT_TRUE(log.lines().filter(refusal).value(0).startsWith("Warning: "));
    }
    const PdfPage real = pageOf(HostilePdf::pattern(1), "Dots.pdf");
    EXPECT_EQ(rendered(real, PdfDrawingLimit()).outcome.end, PdfDrawingEnd::Whole);
    EXPECT_EQ(rasterized(real, PdfDrawingLimit()).bands, 10);
}

// A page that runs out of its budget is shown as far as poppler got, which stops between drawing
// operations: the squares drawn first are there, the last ones are not, and a warning names the
// file and page. The same page within a budget it needs is whole.
TEST(PdfDrawingLimit, APageThatRunsOutOfItsBudgetComesAsFarAsItGot)
{
    const PdfPage page = pageOf(HostilePdf::busy(117000), "Busy.pdf");
    platform::LogCapture log;
    const PdfPage::Rendering cut = rendered(page, PdfDrawingLimit(1ms));
    ASSERT_EQ(cut.outcome.end, PdfDrawingEnd::OutOfTime);
    EXPECT_EQ(cut.outcome.reason, "Page 1 of \"Busy.pdf\" took longer than 0.001 seconds to draw; it is shown as far as it got");
    EXPECT_TRUE(log.contains("Warning: " + cut.outcome.reason)) << log.lines().join(u'\n').toStdString();
    ASSERT_EQ(cut.image.size(), QSize(612, 792));
    // The first square lies at (3, 789) y-up, the last of the 390th row at (601, 11); what was not
    // drawn is clear, for the paper beneath to show.
    EXPECT_EQ(PixelProbe::mismatches(cut.image, {{{3, 2}, Qt::black}, {{601, 780}, Qt::transparent}}), QStringList());

    const PdfPage::Rendering whole = rendered(page, PdfDrawingLimit(600s));
    ASSERT_EQ(whole.outcome.end, PdfDrawingEnd::Whole);
    EXPECT_EQ(PixelProbe::mismatches(whole.image, {{{3, 2}, Qt::black}, {{601, 780}, Qt::black}}), QStringList());

    const Rasterized bitmap = rasterized(page, PdfDrawingLimit(1ms));
    EXPECT_EQ(bitmap.outcome.end, PdfDrawingEnd::OutOfTime);
    EXPECT_EQ(bitmap.outcome.reason, "Page 1 of \"Busy.pdf\" took longer than 0.001 seconds to draw");
    EXPECT_LT(bitmap.bands, 10);
}

// A drawing its asker no longer wants, and every drawing while the process quits, stops and
// keeps nothing; one started while the process quits does not start.
TEST(PdfDrawingLimit, AnUnwantedDrawingOrOneWhileQuittingStopsAndKeepsNothing)
{
    const PdfPage page = pageOf(HostilePdf::busy(117000), "Busy.pdf");
    std::atomic_int asked = 0;
    const PdfDrawingLimit unwanted(PdfDrawingLimit::DefaultBudget, [&] { return ++asked > 3; });
    const PdfPage::Rendering dropped = rendered(page, unwanted);
    EXPECT_EQ(dropped.outcome.end, PdfDrawingEnd::Cancelled);
    EXPECT_TRUE(dropped.image.isNull());
    EXPECT_GT(asked, 3);
    EXPECT_EQ(rasterized(page, unwanted).outcome.end, PdfDrawingEnd::Cancelled);
    {
        const StoppingAll quitting;
        EXPECT_EQ(rendered(page, PdfDrawingLimit()).outcome.end, PdfDrawingEnd::Cancelled);
        const Rasterized bitmap = rasterized(page, PdfDrawingLimit());
        EXPECT_EQ(bitmap.outcome.end, PdfDrawingEnd::Cancelled);
        EXPECT_EQ(bitmap.bands, 0);
    }
    EXPECT_EQ(rendered(pageOf(HostilePdf::busy(10), "Few.pdf"), PdfDrawingLimit()).outcome.end, PdfDrawingEnd::Whole);
}

// A page being drawn on another thread counts as drawn until it ends; quitting ends it at
// poppler's next check, and nothing is drawn then.
TEST(PdfDrawingLimit, QuittingStopsADrawingUnderWayOnAnotherThread)
{
    const PdfPage page = pageOf(HostilePdf::busy(117000), "Busy.pdf");
    std::atomic<PdfDrawingEnd> end = PdfDrawingEnd::Failed;
    // Drawn again until quitting stops it, however fast this machine draws it.
    std::thread drawing([&] {
        do
            end = page.render(4, 4, QRect(0, 0, 2448, 3168), PdfDrawingLimit(600s)).outcome.end;
        while (end == PdfDrawingEnd::Whole);
    });
    EXPECT_TRUE(QTest::qWaitFor([] { return !PdfDrawingLimit::waitUntilNoneDrawn(0ms); }, 30'000));
    {
        const StoppingAll quitting;
        EXPECT_TRUE(PdfDrawingLimit::waitUntilNoneDrawn(30s));
        drawing.join();
    }
    EXPECT_EQ(end, PdfDrawingEnd::Cancelled);
}
