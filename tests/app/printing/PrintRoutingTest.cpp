#include "app/booklet/VXPrinterDefaults.h"
#include "app/printing/VXPrintHelper.h"
#include "RQS-Kit/Foundation/StringExtension.h"
#include "platform/printing/PrinterCache.h"
#include "platform/ui/Alert.h"
#include "platform/ui/PrintPanel.h"

#include "DocumentsOnWindows.h"
#include "shell/PrinterAnswers.h"

#include "support/CupsServerTest.h"

#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Two documents, each on a window of its own, printed through the router's printer menu on the
// private print server's queues; the questions are Qt's real alerts on the windows, answered by
// their buttons. Each print panel is accepted as it comes.
class TwoDocumentsPrinting : public CupsServerTest
{
protected:
    void SetUp() override
    {
        CupsServerTest::SetUp();
        if (IsSkipped())
            return;
        helper->setPrinterNamesSource({});
        ASSERT_TRUE(QTest::qWaitFor([] { return platform::PrinterCache::shared()->printerNames().size() >= 2; }, 20000));
        quietHelpAndBindingAdvice();
        forgetPrinterAnswers();
        platform::PrintPanel::setResponder([](QPrinter &) { return platform::PrintPanel::OKButton; });
    }
    void TearDown() override
    {
        platform::PrintPanel::setResponder(nullptr);
        forgetPrinterAnswers();
        forgetHelpAndBindingAdvice();
    }

    static int indexOf(const QString &printer) { return int(platform::PrinterCache::shared()->printerNames().indexOf(printer)); }
    // Clicks the button of that title on the alert of that message on the window; false when
    // either is not there.
    static bool answer(const DocumentOnWindow &on, const QString &message, const QString &button)
    {
        QMessageBox *box = alertOn(on.window(), rqs::localized(message));
        QAbstractButton *pressed = box ? buttonTitled(box, rqs::localized(button)) : nullptr;
        if (pressed)
            pressed->click();
        return pressed;
    }
    // Each job of the document: its queue and sides.
    static QStringList jobsOf(const DocumentOnWindow &on, int expected)
    {
        const QList<int> ids = jobsTitled(on.title, expected);
        const QStringList queues = queuesOfJobs(ids);
        QStringList jobs;
        for (int job = 0; job < ids.size(); ++job)
            jobs << queues.at(job) + " " + QString(jobFile(ids.at(job), "options")).split(' ').filter("sides=").value(0).trimmed();
        return jobs;
    }

    QTemporaryDir folder;
    VXPrintHelper *helper = VXPrintHelper::sharedHelper();
};

} // namespace

// Both documents ask for their printer's kind at once; A's printer prints one side, C's both.
// Whichever question is answered first, A prints in two one-sided runs on its printer and C in one
// two-sided job on its own, every follow-up alert on the window of the document it belongs to.
TEST_F(TwoDocumentsPrinting, EachPrinterKindQuestionPrintsTheDocumentItWasShownForInEitherOrder)
{
    for (const bool aFirst : {true, false}) {
        SCOPED_TRACE(aFirst ? "A answered first" : "C answered first");
        forgetPrinterAnswers();
        DocumentOnWindow a(folder.path(), aFirst ? "-A.pdf" : "-A2.pdf");
        DocumentOnWindow c(folder.path(), aFirst ? "-C.pdf" : "-C2.pdf");
        helper->printDocument(&a.doc, indexOf("Simplex_Printer"));
        ASSERT_TRUE(alertOn(a.window(), rqs::localized("PrinterKindTitle"))) << "A's question shows on A";
        helper->printDocument(&c.doc, indexOf("Duplex_Printer"));
        ASSERT_TRUE(alertOn(c.window(), rqs::localized("PrinterKindTitle"))) << "C's question shows on C";

        const auto printA = [&] {
            ASSERT_TRUE(answer(a, "PrinterKindTitle", "IsSingleSidePrinter"));
            ASSERT_TRUE(answer(a, "ManualDuplexTitle", "PrintOddPages")) << "the two runs are asked about on A";
            ASSERT_TRUE(answer(a, "PrintEvenFacingTitle", "DoneOdd"));
        };
        const auto printC = [&] { ASSERT_TRUE(answer(c, "PrinterKindTitle", "IsAutomaticDuplex")); };
        if (aFirst) {
            printA();
            printC();
        } else {
            printC();
            printA();
        }
        EXPECT_EQ(jobsOf(a, 2), QStringList(2, "Simplex_Printer sides=one-sided"));
        EXPECT_EQ(jobsOf(c, 1), QStringList{"Duplex_Printer sides=two-sided-short-edge"});
        EXPECT_EQ(VXPrinterDefaults::integerForPrinter("Simplex_Printer", VXPrinterDefaults::PrinterTypeKey), VXPrintHelper::PrinterTypeManualDuplex);
        EXPECT_EQ(VXPrinterDefaults::integerForPrinter("Duplex_Printer", VXPrinterDefaults::PrinterTypeKey), VXPrintHelper::PrinterTypeAutomaticDuplex);
    }
}
