#include "app/booklet/Document.h"
#include "app/booklet/VXPrinterDefaults.h"
#include "app/printing/VXPrintHelper.h"
#include "app/shell/AppDelegate.h"
#include "app/shell/VXManualDuplexController.h"
#include "RQS-Kit/Foundation/StringExtension.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/printing/PrintInfo.h"
#include "platform/printing/PrinterCache.h"
#include "platform/ui/Alert.h"
#include "platform/ui/PrintPanel.h"
#include "booklet/BookletExport.h"
#include "booklet/DocumentFixture.h"

#include "PrinterAnswers.h"

#include "support/CupsServerTest.h"
#include "support/Screenshot.h"

#include <QFileInfo>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

#include <poppler-qt6.h>

namespace {

class ManualDuplexSetup : public CupsServerTest
{
protected:
    void TearDown() override
    {
        // The paper set up for documents is the next case's too.
        platform::PrintInfo::sharedPrintInfo() = m_sharedPaper;
        platform::Alert::setResponder(nullptr);
        platform::PrintPanel::setResponder(nullptr);
        forgetPrinterAnswers();
        // A case that failed half-way leaves no set-up open for the next.
        if (VXManualDuplexController *wizard = VXManualDuplexController::sharedController(); wizard->isLoaded())
            wizard->unloadWindow();
    }
    static bool waitFor(const std::function<bool()> &condition) { return QTest::qWaitFor(condition, 20000); }

    // The answers as a fresh reader of the user's defaults file finds them.
    static QString stored(const QString &printer)
    {
        platform::UserDefaults::standardUserDefaults()->synchronize();
        platform::UserDefaults file(platform::UserDefaults::standardUserDefaults()->fileName());
        QStringList answers;
        for (const QString &key : {VXPrinterDefaults::DidSetupKey, VXPrinterDefaults::TurnSheetsKey, VXPrinterDefaults::RotateBacksidesKey,
                                   VXPrinterDefaults::RevertBacksidesKey})
            answers << key.mid(12) + "=" + file.objectForKey(printer + "." + key).toString();
        return answers.join(' ');
    }

    // The job's queue and sides, and its pages by their labels on landscape paper.
    static QString testJob(int number)
    {
        const QList<int> jobs = jobsTitled("ManualDuplexTest", number);
        if (jobs.size() < number)
            return "missing";
        const int id = jobs.at(number - 1);
        const std::unique_ptr<Poppler::Document> pdf = Poppler::Document::loadFromData(jobFile(id, "pdf"));
        QStringList pages{queuesOfJobs({id}).constFirst() + " " + QString(jobFile(id, "options")).split(' ').filter("sides=").value(0).trimmed()};
        for (int i = 0; pdf && i < pdf->numPages(); ++i) {
            const std::unique_ptr<Poppler::Page> page = pdf->page(i);
            const QSizeF size = page->pageSizeF();
            pages << page->text(QRectF()).section('\n', 0, 0).trimmed() + (size.width() > size.height() ? "" : " (portrait)");
        }
        return pages.join(", ");
    }

    static void click(const char *name) { VXManualDuplexController::sharedController()->window()->findChild<QAbstractButton *>(name)->click(); }

private:
    // As the application sets it up before any window, documents' defaults included.
    const platform::PrintInfo m_sharedPaper = (Document::initialize(), platform::PrintInfo::sharedPrintInfo());
};

} // namespace

// A user with two printers, portrait paper set up for documents, sets up the single-sided one.
TEST_F(ManualDuplexSetup, TheWizardPrintsTheTestRecordsTheAnswersAndTheNextManualRunFollowsThem)
{
    ASSERT_TRUE(waitFor([] { return platform::PrinterCache::shared()->printerNames().size() >= 2; }));
    platform::PrintInfo &shared = platform::PrintInfo::sharedPrintInfo();
    shared.setOrientation(platform::PrintInfo::Orientation::Portrait);
    const QSizeF sharedPaper = shared.paperSize();
    QStringList asked;
    QString choice = "Simplex_Printer";
    platform::Alert::setResponder([&](platform::Alert &alert) {
        asked << alert.messageText();
        alert.setSelectedChoice(choice);
        return platform::Alert::FirstButtonReturn;
    });
    // Another printer picked in the tests' dialogs is not taken: the answers are the printer's set up.
    platform::PrintPanel::setResponder([](QPrinter &printer) {
        printer.setPrinterName("Duplex_Printer");
        return platform::PrintPanel::OKButton;
    });
    VXManualDuplexController *wizard = VXManualDuplexController::sharedController();
    ASSERT_TRUE(wizard->open(QString(), {}));
    ASSERT_TRUE(waitFor([&] { return wizard->printerName() == "Simplex_Printer"; }));
    EXPECT_EQ(asked, QStringList{rqs::localized("SetupPrinterTitle")});

    // Return prints on the printing steps.
    QTest::keyClick(wizard->window(), Qt::Key_Return);
    ASSERT_TRUE(waitFor([&] { return wizard->currentPage() == 1; }));
    EXPECT_EQ(testJob(1), "Simplex_Printer sides=one-sided, Sheet 1 front, Sheet 2 front");
    click("page2PrintButton");
    ASSERT_TRUE(waitFor([&] { return wizard->currentPage() == 2; }));
    EXPECT_EQ(testJob(2), "Simplex_Printer sides=one-sided, Sheet 1 back, Sheet 2 back");
    EXPECT_FALSE(wizard->window()->findChild<QAbstractButton *>("nextButton")->isEnabled()) << "the check is left by its answers";
    click("oneFaceButton");
    click("page4PrintButton");
    ASSERT_TRUE(waitFor([&] { return wizard->currentPage() == 4; }));
    click("page5PrintButton");
    ASSERT_TRUE(waitFor([&] { return wizard->currentPage() == 5; }));
    EXPECT_EQ(testJob(4), "Simplex_Printer sides=one-sided, Sheet 1 back, Sheet 2 back");
    click("previousButton");
    EXPECT_EQ(wizard->currentPage(), 4) << "the stack was turned, so the final step came from the second backs";
    click("nextButton");
    click("turnedReversedButton");
    EXPECT_FALSE(wizard->isLoaded());
    EXPECT_EQ(stored("Simplex_Printer"), "DidSetup=true TurnSheets=true RotateBacksides=true RevertBacksides=true");
    EXPECT_EQ(VXPrinterDefaults::integerForPrinter("Simplex_Printer", VXPrinterDefaults::PrinterTypeKey), VXPrintHelper::PrinterTypeNotChosen)
        << "the printer's kind is no answer of the set-up";
    EXPECT_EQ(shared.paperSize(), sharedPaper) << "the test's landscape paper stays with the test";
    EXPECT_EQ(shared.orientation(), platform::PrintInfo::Orientation::Portrait);
    EXPECT_TRUE(shared.printerName().isEmpty());

    // The next manual duplex run on that printer: fronts forward, backs reversed and turned.
    QTemporaryDir folder;
    Document doc;
    const QString title = QFileInfo(folder.path()).fileName() + "-after-setup.pdf";
    ASSERT_TRUE(doc.openURL(QUrl::fromLocalFile(PdfFixture::write(folder.path(), title, PdfFixture::pages(BookletExport::portraitPages(8)))),
                            Document::PdfType));
    asked.clear();
    doc.printManualDuplexWithPrinter("Simplex_Printer");
    const QList<int> jobs = jobsTitled(title, 2);
    ASSERT_EQ(jobs.size(), 2);
    EXPECT_EQ(BookletExport::halves(jobFile(jobs[0], "pdf")) + " " + BookletExport::halves(jobFile(jobs[1], "pdf")), "(8|1) (6|3) (5|4) (7|2)");
    EXPECT_EQ(asked, (QStringList{rqs::localized("ManualDuplexTitle"), rqs::localized("PrintEvenAwayTitle")})) << "the stack is turned away";

    // Recording with no printer chosen says so and asks for one.
    choice = "Duplex_Printer";
    platform::Alert::setResponder([&](platform::Alert &alert) {
        asked << alert.messageText();
        return asked.size() == 1 ? 0 : (alert.setSelectedChoice(choice), platform::Alert::FirstButtonReturn);
    });
    asked.clear();
    ASSERT_TRUE(wizard->open(QString(), {}));
    ASSERT_TRUE(waitFor([&] { return asked.size() == 1; }));
    wizard->setCurrentPage(9);
    EXPECT_EQ(wizard->currentPage(), 5);
    platform::LogCapture log;
    click("uprightInOrderButton");
    ASSERT_TRUE(waitFor([&] { return !wizard->isLoaded(); }));
    EXPECT_EQ(asked.last(), rqs::localized("SetupPrinterMissingTitle"));
    EXPECT_TRUE(log.contains("Warning: The manual duplex answers were not recorded yet"));
    EXPECT_EQ(stored("Duplex_Printer"), "DidSetup=true TurnSheets=true RotateBacksides=false RevertBacksides=false") << "the check's last answer";
}

namespace {

// What is wrong with the wizard's window at its step: a control of another step that can be seen
// or clicked, a control of this step outside the view or the window, or a page not filling the view.
QStringList stepFaults(VXManualDuplexController *wizard)
{
    QStringList faults;
    QWidget *window = wizard->window();
    auto *view = window->findChild<QWidget *>("scrollingView");
    const QRect shown = QRect(view->mapTo(window, QPoint()), view->size()).intersected(window->rect());
    for (int step = 0; step < VXManualDuplexController::StepCount; ++step) {
        auto *page = view->findChild<QWidget *>(QString("step%1").arg(step));
        const bool current = step == wizard->currentPage();
        if (current && (page->mapTo(view, QPoint()) != QPoint() || page->size() != view->size()))
            faults << QString("step %1 is not the view's size and place").arg(step);
        for (QWidget *control : page->findChildren<QWidget *>()) {
            if (!qobject_cast<QAbstractButton *>(control) && !qobject_cast<QTextBrowser *>(control) && !qobject_cast<QLabel *>(control))
                continue;
            const QRect at(control->mapTo(window, QPoint()), control->size());
            if (!current && control->isVisible())
                faults << QString("%1 of step %2 is visible at step %3").arg(control->objectName()).arg(step).arg(wizard->currentPage());
            else if (current && (!control->isVisible() || !shown.contains(at)))
                faults << QString("%1 of step %2 is not whole in sight").arg(control->objectName()).arg(step);
        }
    }
    return faults;
}

} // namespace

// Walked as a user walks it, with the buttons, in a window of its first size, of its least size
// and a large one.
TEST(ManualDuplexSteps, EachStepShowsItsOwnPageWholeAndNothingOfTheOthersAtEverySize)
{
    VXManualDuplexController *wizard = VXManualDuplexController::sharedController();
    const QList<QSize> sizes{{}, {1, 1}, {1000, 800}};
    for (const QSize &size : sizes) {
        SCOPED_TRACE(size.width());
        ASSERT_TRUE(wizard->open("Office Laser", {}));
        QWidget *window = wizard->window();
        if (size.isValid())
            window->resize(size);
        EXPECT_EQ(window->findChild<QLabel *>("printerLabel")->text(), rqs::localized("SetupPrinterNamed").replace("%1", "Office Laser"));
        const QStringList moves{"nextButton", "nextButton", "oneFaceButton", "nextButton", "nextButton"};
        for (int step = 0; step < VXManualDuplexController::StepCount; ++step) {
            EXPECT_EQ(wizard->currentPage(), step);
            (void)QTest::qWaitFor([&] { return stepFaults(wizard).isEmpty(); }, 2000);
            EXPECT_EQ(stepFaults(wizard), QStringList());
            if (!size.isValid() && (step == 0 || step == 5)) {
                EXPECT_TRUE(saveScreenshot(window, QString("manual-duplex-step%1").arg(step + 1)));
            }
            if (step < moves.size())
                window->findChild<QAbstractButton *>(moves[step])->click();
        }
        wizard->close(nullptr);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !wizard->isLoaded(); }));
    }
}

// A print waiting on the set-up hears, once the wizard's window has closed, which printer it set up:
// the one recorded at the final step, or none when the window was closed before.
TEST(ManualDuplexSetupEnd, ThoseWaitingHearThePrinterRecordedOrNoneOnceTheWindowCloses)
{
    VXManualDuplexController *wizard = VXManualDuplexController::sharedController();
    const struct { const char *how; bool recordFirst; QString heard; } cases[] = {
        {"recorded", true, "Simplex_Printer"},
        {"closed early", false, ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.how);
        QStringList heard;
        ASSERT_TRUE(wizard->open("Simplex_Printer", [&](const QString &recorded) { heard << recorded; }));
        ASSERT_TRUE(wizard->open("Simplex_Printer", [&](const QString &recorded) { heard << recorded; }));
        ASSERT_TRUE(wizard->isLoaded());
        if (c.recordFirst) {
            wizard->setCurrentPage(VXManualDuplexController::FinalStep);
            wizard->window()->findChild<QAbstractButton *>("uprightInOrderButton")->click();
        } else {
            wizard->window()->close();
        }
        EXPECT_TRUE(QTest::qWaitFor([&] { return heard.size() == 2; }, 5000));
        QTest::qWait(50);
        EXPECT_EQ(heard, QStringList(2, c.heard)) << "each waiting run hears it once";
        EXPECT_EQ(VXPrinterDefaults::boolForPrinter("Simplex_Printer", VXPrinterDefaults::DidSetupKey), c.recordFirst);
        forgetPrinterAnswers();
    }
}

// Two documents' manual duplex prints both choose the set-up. A second request for another printer
// is refused with a word on the open wizard, which stays on the first printer; one for the same
// printer waits with the first. Each waiting run prints on the printer it was set up for.
TEST_F(ManualDuplexSetup, ASecondSetUpForAnotherPrinterIsRefusedAndEachWaitingRunPrintsOnItsOwnPrinter)
{
    ASSERT_TRUE(waitFor([] { return platform::PrinterCache::shared()->printerNames().size() >= 2; }));
    AppDelegate shell(nullptr);
    VXManualDuplexController *wizard = VXManualDuplexController::sharedController();
    const struct { QString second; bool refused; } cases[] = {{"Duplex_Printer", true}, {"Simplex_Printer", false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.second.toStdString());
        forgetPrinterAnswers();
        QTemporaryDir folder;
        const QString stem = QFileInfo(folder.path()).fileName();
        Document first, second;
        for (const auto &[doc, name] : {std::pair{&first, "-first.pdf"}, std::pair{&second, "-second.pdf"}})
            ASSERT_TRUE(doc->openURL(QUrl::fromLocalFile(PdfFixture::write(folder.path(), stem + name, PdfFixture::pages(BookletExport::portraitPages(8)))),
                                     Document::PdfType));
        QStringList asked;
        platform::Alert::setResponder([&](platform::Alert &alert) {
            asked << alert.messageText();
            // The set-up from the manual duplex question, then on; the rest is acknowledged.
            return alert.messageText() == rqs::localized("ManualDuplexTitle") ? platform::Alert::FirstButtonReturn + 1
                                                                              : platform::Alert::FirstButtonReturn;
        });
        platform::PrintPanel::setResponder([](QPrinter &) { return platform::PrintPanel::OKButton; });

        first.printManualDuplexWithPrinter("Simplex_Printer");
        ASSERT_TRUE(waitFor([&] { return wizard->isLoaded() && wizard->window()->isVisible(); }));
        second.printManualDuplexWithPrinter(c.second);
        ASSERT_TRUE(waitFor([&] { return asked.size() == (c.refused ? 3 : 2); }));
        QTest::qWait(50); // a set-up opened anew would have been asked by now
        EXPECT_EQ(asked.mid(2), c.refused ? QStringList{rqs::localized("SetupBusyTitle")} : QStringList());
        EXPECT_EQ(wizard->printerName(), "Simplex_Printer") << "the open set-up stays on its printer";

        wizard->setCurrentPage(VXManualDuplexController::FinalStep);
        wizard->window()->findChild<QAbstractButton *>("uprightInOrderButton")->click();
        EXPECT_EQ(queuesOfJobs(jobsTitled(stem + "-first.pdf", 2)), QStringList(2, "Simplex_Printer"));
        EXPECT_EQ(queuesOfJobs(jobsTitled(stem + "-second.pdf", c.refused ? 0 : 2)), c.refused ? QStringList() : QStringList(2, "Simplex_Printer"));
        EXPECT_FALSE(VXPrinterDefaults::boolForPrinter("Duplex_Printer", VXPrinterDefaults::DidSetupKey)) << "never set up";
        EXPECT_TRUE(VXPrinterDefaults::boolForPrinter("Simplex_Printer", VXPrinterDefaults::DidSetupKey));
    }
}
