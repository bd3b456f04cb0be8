#include "app/booklet/VXDocumentPrintServices.h"
#include "app/booklet/VXDocumentPrinter.h"
#include "app/booklet/VXPrinterDefaults.h"
#include "app/printing/VXPrintHelper.h"
#include "app/window/VXDocumentWindowController.h"
#include "RQS-Kit/Foundation/StringExtension.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/MainQueue.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/printing/PrinterCache.h"
#include "platform/ui/PageLayoutPanel.h"
#include "platform/printing/PrintOperation.h"
#include "platform/ui/PrintPanel.h"
#include "booklet/BookletExport.h"
#include "booklet/DocumentFixture.h"
#include "shell/PrinterAnswers.h"

#include "support/CupsServerTest.h"
#include "support/PdfFixture.h"
#include "support/PictureFixture.h"
#include "support/QtPrinters.h"
#include "support/ShownWindow.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QMutex>
#include <QScopeGuard>
#include <QFileDialog>
#include <QPageSetupDialog>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinterInfo>
#include <QRadioButton>
#include <QFileInfo>
#include <QListView>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>

#include <list>

namespace {

// Stands in for the application with a set-up wizard that records whom it was opened for and then
// closes, having recorded the answers of the printer it is told to (none when empty); the runs
// under test never go through the router.
class FakeShell : public VXDocumentPrintServices
{
public:
    void printDocument(VXPrintableDocument *) override {}
    void printDocument(VXPrintableDocument *, int) override {}
    void printAutomaticDuplex(VXPrintableDocument *, const QString &) override {}
    void selectManualDuplexPrinterAndPrintDocument(VXPrintableDocument *) override {}
    void choosePrinterTypeFor(VXPrintableDocument *, const QString &) override {}
    void registerPrintButton(QAbstractButton *) override {}
    void deregisterPrintButton(QAbstractButton *) override {}
    QString currentPrinterName() const override { return current; }
    bool showManualDuplexSetup(const QString &name, std::function<void(const QString &)> finished) override
    {
        shownFor = name + " shown";
        if (!records.isEmpty())
            VXPrinterDefaults::setValueForPrinter(true, records, VXPrinterDefaults::DidSetupKey);
        platform::MainQueue::post([finished, recorded = records] { finished(recorded); });
        return true;
    }
    QString shownFor;
    QString records;
    QString current = "Simplex_Printer";
};

// A document of eight numbered pages from a file named uniquely, so that its jobs are told apart
// by their title; with a task, and the order of its release and its print notice recorded.
struct PrintedDocument
{
    PrintedDocument(const QString &folder, const QString &name)
        : title(QFileInfo(folder).fileName() + name)
    {
        doc.openURL(QUrl::fromLocalFile(PdfFixture::write(folder, title, PdfFixture::pages(BookletExport::portraitPages(8)))), Document::PdfType);
        doc.setControllingTask(&task);
        for (const QString &name : {Document::DidPrintNotification, Document::ConnectionRemovedNotification})
            platform::NotificationCenter::defaultCenter()->addObserver(&observer, name, &doc, [this, name](const platform::Notification &) {
                events << (name == Document::DidPrintNotification ? "printed" : "released");
            });
    }
    QString title;
    Document doc;
    FakeTask task;
    QObject observer;
    QStringList events;
};

class DocumentPrinting : public CupsServerTest
{
protected:
    void TearDown() override
    {
        platform::Alert::setResponder(nullptr);
        platform::PrintPanel::setResponder(nullptr);
        VXDocumentPrinter::setPrintServices(installed);
    }
    static bool waitFor(const std::function<bool()> &condition) { return QTest::qWaitFor(condition, 20000); }

    QTemporaryDir folder;
    // The shared helper installs itself when first made: made now, so that the pointer put back is
    // the one the next case finds, whichever case made it.
    VXDocumentPrintServices *const installed = (VXPrintHelper::sharedHelper(), VXDocumentPrinter::printServices());
};

// Stands in for the print server, which the tests have only as root: every job the runs send, as
// its sides and its sheet sides read back page by page from the PDF the run composed.
class CapturedJobs
{
public:
    CapturedJobs()
    {
        platform::PrintOperation::setSpooler([this](const platform::PrintJobOptions &options, const QString &pdfPath) {
            QFile pdf(pdfPath);
            const QByteArray bytes = pdf.open(QIODevice::ReadOnly) ? pdf.readAll() : QByteArray();
            const QMutexLocker locker(&m_mutex);
            m_sent << std::pair(options.sidesName(), bytes);
            return platform::PrintOperation::Outcome{!bytes.isEmpty(), {}, int(m_sent.size())};
        });
    }
    ~CapturedJobs() { platform::PrintOperation::setSpooler({}); }
    QStringList jobs() const
    {
        const QMutexLocker locker(&m_mutex);
        QStringList read;
        for (const auto &[sides, pdf] : m_sent)
            read << "sides=" + sides + " " + BookletExport::halves(pdf);
        return read;
    }

private:
    mutable QMutex m_mutex;
    QList<std::pair<QString, QByteArray>> m_sent;
};

// Each progress bar as it goes away, "value/maximum"; one that is shown is cancelled when asked.
class ProgressWatch : public QObject
{
public:
    explicit ProgressWatch(bool cancel) : m_cancel(cancel) { qApp->installEventFilter(this); }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *bar = qobject_cast<QProgressDialog *>(watched);
        if (bar && event->type() == QEvent::Show && m_cancel)
            bar->cancel();
        if (bar && event->type() == QEvent::Hide)
            closed << QStringLiteral("%1/%2").arg(bar->value()).arg(bar->maximum());
        return false;
    }
    QStringList closed;
    bool m_cancel;
};

} // namespace

TEST_F(DocumentTest, ExportsTheBookletButNeverOntoTheSource)
{
    // The backs are never turned in an export, whatever the printer says.
    platform::UserDefaults::standardUserDefaults()->setBool(true, VXPrinterDefaults::RotateBacksidesKey);
    const QString source = PdfFixture::write(folder.path(), "six.pdf", PdfFixture::pages(BookletExport::portraitPages(6)));
    Document pdf;
    ASSERT_TRUE(pdf.openURL(QUrl::fromLocalFile(source), Document::PdfType));
    {
        ProgressWatch progress(false);
        ASSERT_TRUE(pdf.exportBookletToURL(QUrl::fromLocalFile(folder.filePath("six - Booklet.pdf"))));
        EXPECT_EQ(progress.closed, QStringList{"4/4"}) << "shown for the four sides, up to the last";
    }
    EXPECT_EQ(BookletExport::halves(PdfFixture::read(folder.filePath("six - Booklet.pdf"))), "(-|1) (2|-) (6|3) (4|5)");
    {
        ProgressWatch progress(true);
        platform::LogCapture log;
        EXPECT_FALSE(pdf.exportBookletToURL(QUrl::fromLocalFile(folder.filePath("cancelled.pdf"))));
        EXPECT_FALSE(QFile::exists(folder.filePath("cancelled.pdf")));
        EXPECT_EQ(log.lines(), QStringList{"Info: The print job was cancelled"});
    }

    const QByteArray before = PdfFixture::read(source);
    platform::LogCapture log;
    EXPECT_FALSE(pdf.exportBookletToURL(QUrl::fromLocalFile(folder.path() + "/./six.pdf")));
    EXPECT_EQ(PdfFixture::read(source), before);
    EXPECT_EQ(log.lines().size(), 1);
}

// A booklet saved through the dialog is read back by the program's end-to-end test; here a proposed name and a failure.
TEST_F(DocumentTest, SaveBookletProposesAPdfNameAndShowsAFailedExport)
{
    const QString picture = PdfFixture::write(folder.path(), "Menu.png", PictureFixture::encoded(PictureFixture::marked({60, 40}, Qt::green, Qt::red), "png"));
    const QString plain = PdfFixture::write(folder.path(), "plain", "not a folder");
    Document doc;
    ASSERT_TRUE(doc.openURL(QUrl::fromLocalFile(picture), Document::ImageType));
    const QByteArray before = PdfFixture::read(picture);
    QString proposed;
    QStringList named;
    platform::SavePanel::setResponder([&](QFileDialog &dialog) {
        proposed = dialog.selectedFiles().value(0);
        named = {dialog.windowTitle(), dialog.labelText(QFileDialog::Accept)};
        dialog.selectFile(plain + "/out.pdf");
        return platform::SavePanel::OKButton;
    });
    QStringList alerts;
    platform::Alert::setResponder([&](const platform::Alert &alert) {
        alerts << alert.messageText();
        return platform::Alert::FirstButtonReturn;
    });
    doc.saveBooklet();
    ASSERT_TRUE(waitFor([&] { return !alerts.isEmpty(); }));
    EXPECT_EQ(proposed, folder.filePath("Menu - Booklet.pdf"));
    EXPECT_EQ(named, (QStringList{"Export Booklet", "Export"})) << "the dialog says what it is for";
    EXPECT_EQ(alerts, QStringList{rqs::localized("ErrorWhileExportingDocument")});
    EXPECT_EQ(PdfFixture::read(picture), before);
}

// Alerts answer 1000 to go on, 1001 for the set-up wizard, 1002 to stop; the print panel 1 or 0.
TEST_F(DocumentPrinting, DuplexRunsFollowTheStoredAnswersAndEndingAtAnyStepPrintsNoMore)
{
    FakeShell shell;
    const QString manual = rqs::localized("ManualDuplexTitle");
    const QString away = rqs::localized("PrintEvenAwayTitle");
    const QString facing = rqs::localized("PrintEvenFacingTitle");
    const QString notSetUp = rqs::localized("ManualDuplexNotSetUpTitle");
    const QStringList choices{rqs::localized("PrintOddPages"), rqs::localized("SetupManualDuplex"), rqs::localized("Cancel")};
    const QStringList released{"released"};
    const struct {
        QString printer;
        bool manual, setUp, wizard, revert, rotate, turn;
        QList<int> alertCodes, panelResults;
        QStringList asked, events, jobs;
        QString shownFor;
        QString records = {};
    } cases[] = {
        {"Duplex_Printer", false, true, false, false, true, false, {}, {1}, {}, {"printed", "released"},
         {"sides=two-sided-short-edge (8|1) (7|2) (6|3) (5|4)"}, ""},
        {"Simplex_Printer", true, true, false, false, true, true, {1000, 1000}, {1, 1}, {manual, away},
         {"released", "printed"}, {"sides=one-sided (6|3) (8|1)", "sides=one-sided (5|4) (7|2)"}, ""},
        {"Simplex_Printer", true, true, false, true, false, false, {1000, 1000}, {1, 1}, {manual, facing}, {"released", "printed"},
         {"sides=one-sided (8|1) (6|3)", "sides=one-sided (4|5) (2|7)"}, ""},
        {"Simplex_Printer", false, true, true, false, false, false, {}, {0}, {}, released, {}, ""},
        // The set-up chosen: the wizard, then the fronts on the printer it set up; or, closed
        // before it recorded anything, the user told that nothing was printed.
        {"Simplex_Printer", true, false, true, false, false, false, {1001, 1000}, {1, 1}, {manual, facing}, {"released", "printed"},
         {"sides=one-sided (6|3) (8|1)", "sides=one-sided (4|5) (2|7)"}, "Simplex_Printer shown", "Simplex_Printer"},
        {"Simplex_Printer", true, false, true, false, false, false, {1001}, {}, {manual, notSetUp}, released, {}, "Simplex_Printer shown", ""},
        {"Simplex_Printer", true, true, true, false, false, false, {1000}, {0}, {manual}, released, {}, ""},
        {"Simplex_Printer", true, true, true, false, false, false, {1000, 1001}, {1}, {manual, facing}, released,
         {"sides=one-sided (6|3) (8|1)"}, ""},
        {"Simplex_Printer", true, true, true, false, false, false, {1000, 1000}, {1, 0}, {manual, facing}, released,
         {"sides=one-sided (6|3) (8|1)"}, ""},
        // Never set up: the choice is the user's; without a wizard the stored answers serve.
        {"Simplex_Printer", true, false, true, false, false, false, {1002}, {}, {manual}, released, {}, ""},
        {"Simplex_Printer", true, false, false, false, false, false, {1000, 1002}, {1}, {manual, facing}, released,
         {"sides=one-sided (6|3) (8|1)"}, ""},
        {"Simplex_Printer", true, false, false, false, false, false, {1001}, {}, {manual}, released, {}, ""},
    };
    std::list<PrintedDocument> documents;
    for (const auto &c : cases) {
        SCOPED_TRACE(documents.size());
        VXPrinterDefaults::setValueForPrinter(c.setUp, c.printer, VXPrinterDefaults::DidSetupKey);
        VXPrinterDefaults::setValueForPrinter(c.revert, c.printer, VXPrinterDefaults::RevertBacksidesKey);
        VXPrinterDefaults::setValueForPrinter(c.rotate, c.printer, VXPrinterDefaults::RotateBacksidesKey);
        VXPrinterDefaults::setValueForPrinter(c.turn, c.printer, VXPrinterDefaults::TurnSheetsKey);
        shell.shownFor.clear();
        shell.records = c.records;
        VXDocumentPrinter::setPrintServices(c.wizard ? &shell : nullptr);
        PrintedDocument &printed = documents.emplace_back(folder.path(), QString("-run-%1.pdf").arg(documents.size()));
        QList<int> codes = c.alertCodes;
        QList<int> results = c.panelResults;
        QStringList asked;
        platform::Alert::setResponder([&](const platform::Alert &alert) {
            asked << QString(alert.messageText()).replace(printed.doc.displayName(), "%1");
            if (alert.messageText() == manual) {
                EXPECT_EQ(alert.buttonTitles(), choices);
            }
            return codes.isEmpty() ? 0 : codes.takeFirst();
        });
        platform::PrintPanel::setResponder([&](QPrinter &) { return results.isEmpty() ? 0 : results.takeFirst(); });
        platform::LogCapture log;
        if (c.manual)
            printed.doc.printManualDuplexWithPrinter(c.printer);
        else
            printed.doc.printAutomaticDuplex(c.printer);
        ASSERT_TRUE(waitFor([&] { return printed.events.size() == c.events.size(); }));
        QTest::qWait(50); // a notice that should not come would have been queued by now
        EXPECT_EQ(printed.events, c.events);
        EXPECT_TRUE(codes.isEmpty() && results.isEmpty());
        EXPECT_EQ(asked, c.asked);
        EXPECT_EQ(shell.shownFor, c.shownFor);
        EXPECT_EQ(log.contains("there is no set-up wizard"), c.alertCodes.value(0) == 1001 && !c.wizard);
        QStringList jobs;
        for (const int id : jobsTitled(printed.title, int(c.jobs.size()))) {
            const QString sides = QString(jobFile(id, "options")).split(' ').filter("sides=").value(0).trimmed();
            jobs << sides + " " + BookletExport::halves(jobFile(id, "pdf"));
        }
        EXPECT_EQ(jobs, c.jobs);
    }
    // Jobs that should not come have had the other runs' time to arrive.
    auto printed = documents.cbegin();
    for (const auto &c : cases) {
        EXPECT_EQ(jobsTitled(printed->title, int(c.jobs.size())).size(), c.jobs.size()) << printed->title.toStdString();
        ++printed;
    }
}

// Which sides each run sends, in which order and whether turned, as the answers kept for no
// printer in particular say; read from what the runs hand the print server, so that it holds on
// every machine.
TEST_F(DocumentTest, EachRunSendsItsSidesInTheOrderAndTurnTheAnswersSay)
{
    FakeShell shell;
    shell.current.clear();
    const auto restore = qScopeGuard([installed = VXDocumentPrinter::printServices()] {
        VXDocumentPrinter::setPrintServices(installed);
        platform::PrintPanel::setResponder(nullptr);
    });
    VXDocumentPrinter::setPrintServices(&shell);
    CapturedJobs captured;
    const QString away = rqs::localized("PrintEvenAwayTitle");
    const QString facing = rqs::localized("PrintEvenFacingTitle");
    const struct {
        bool manual, revert, rotate, turn;
        QString between;
        QStringList jobs;
    } cases[] = {
        {false, false, false, false, {}, {"sides=two-sided-short-edge (8|1) (2|7) (6|3) (4|5)"}},
        {false, false, true, false, {}, {"sides=two-sided-short-edge (8|1) (7|2) (6|3) (5|4)"}},
        {true, false, true, true, away, {"sides=one-sided (6|3) (8|1)", "sides=one-sided (5|4) (7|2)"}},
        {true, true, false, false, facing, {"sides=one-sided (8|1) (6|3)", "sides=one-sided (4|5) (2|7)"}},
    };
    int sent = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << (c.manual ? "manual" : "automatic") << " revert " << c.revert << " rotate " << c.rotate);
        platform::UserDefaults *defaults = platform::UserDefaults::standardUserDefaults();
        defaults->setBool(c.revert, VXPrinterDefaults::RevertBacksidesKey);
        defaults->setBool(c.rotate, VXPrinterDefaults::RotateBacksidesKey);
        defaults->setBool(c.turn, VXPrinterDefaults::TurnSheetsKey);
        Document doc;
        ASSERT_TRUE(doc.openURL(QUrl::fromLocalFile(PdfFixture::write(folder.path(), "eight.pdf", PdfFixture::pages(BookletExport::portraitPages(8)))),
                                Document::PdfType));
        QStringList asked;
        platform::Alert::setResponder([&](const platform::Alert &alert) {
            asked << alert.messageText();
            return platform::Alert::FirstButtonReturn;
        });
        platform::PrintPanel::setResponder([](QPrinter &) { return platform::PrintPanel::OKButton; });
        if (c.manual)
            doc.printManualDuplexWithPrinter(QString());
        else
            doc.printAutomaticDuplex(QString());
        sent += int(c.jobs.size());
        ASSERT_TRUE(waitFor([&] { return captured.jobs().size() == sent; }));
        EXPECT_EQ(captured.jobs().mid(sent - c.jobs.size()), c.jobs);
        if (c.manual) {
            EXPECT_EQ(asked, (QStringList{rqs::localized("ManualDuplexTitle"), c.between}));
        }
    }
}

// The Print menu item never sends a two-sided job to a printer kept as manual duplex: on the
// document's printer of that kind the booklet goes out in two runs of one side each; when that
// kind of printer is chosen in the print panel of a two-sided run, the user is told of the two
// runs before anything is sent. The manual duplex item asks which printer to use, as there are
// several.
TEST_F(DocumentPrinting, ThePrintMenuItemPrintsInTwoRunsOnAPrinterKeptAsManualDuplex)
{
    VXDocumentPrinter::setPrintServices(VXPrintHelper::sharedHelper());
    platform::UserDefaults::standardUserDefaults()->setBool(false, VXPrintHelper::AutoShowUpsideDownPrintKey);
    const auto forget = qScopeGuard([] { platform::UserDefaults::standardUserDefaults()->removeObjectForKey("Simplex_Printer.printerType"); });
    VXPrinterDefaults::setValueForPrinter(VXPrintHelper::PrinterTypeManualDuplex, "Simplex_Printer", VXPrinterDefaults::PrinterTypeKey);
    const QString manual = rqs::localized("ManualDuplexTitle");
    const struct { const char *documents, *chosen; QList<int> answers; QStringList sides; } cases[] = {
        {"Simplex_Printer", "Simplex_Printer", {1000, 1000}, {"sides=one-sided", "sides=one-sided"}},
        {"Duplex_Printer", "Simplex_Printer", {1002}, {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.documents);
        PrintedDocument printed(folder.path(), QString("-menu-%1.pdf").arg(c.documents));
        ASSERT_TRUE(printed.doc.printInfo().setPrinterNamed(c.documents));
        VXDocumentWindowController *controller = VXDocumentWindowController::makeWindowController(&printed.doc);
        ASSERT_NE(controller, nullptr);
        printed.doc.showWindows();
        QStringList asked;
        QList<int> answers = c.answers;
        platform::Alert::setResponder([&](const platform::Alert &alert) {
            asked << alert.messageText();
            return answers.isEmpty() ? platform::Alert::FirstButtonReturn + 2 : answers.takeFirst();
        });
        platform::PrintPanel::setResponder([&](QPrinter &printer) {
            printer.setPrinterName(c.chosen);
            return platform::PrintPanel::OKButton;
        });
        controller->window()->findChild<QAction *>("printItem")->trigger();
        ASSERT_TRUE(waitFor([&] { return printed.events.size() == (c.sides.isEmpty() ? 1 : 2); }));
        EXPECT_EQ(asked.value(0), manual) << "the user is told of the two runs first";
        EXPECT_TRUE(answers.isEmpty());
        QStringList sides;
        for (const int id : jobsTitled(printed.title, int(c.sides.size())))
            sides << QString(jobFile(id, "options")).split(' ').filter("sides=").value(0).trimmed();
        EXPECT_EQ(sides, c.sides);
        EXPECT_EQ(printed.events, c.sides.isEmpty() ? QStringList{"released"} : (QStringList{"released", "printed"}));
        if (c.sides.isEmpty()) {
            controller->window()->findChild<QAction *>("manualDuplexItem")->trigger();
            EXPECT_EQ(asked.last(), rqs::localized("SelectManualDuplexPrinterTitle"));
        }
        printed.doc.close();
    }
}

// File ▸ Print on a printer whose kind nobody chose yet: one whose driver offers no two-sided
// printing is asked about first, as the print button asks, also after its manual duplex set-up and
// also when picked in the print dialog of another printer; one that can print both sides keeps the
// one two-sided job.
TEST_F(DocumentPrinting, ThePrintCommandAsksForTheKindOfAnUnclassifiedPrinterThatCannotPrintBothSides)
{
    VXDocumentPrinter::setPrintServices(VXPrintHelper::sharedHelper());
    platform::UserDefaults *defaults = platform::UserDefaults::standardUserDefaults();
    defaults->setBool(false, VXPrintHelper::AutoShowUpsideDownPrintKey);
    const auto forget = qScopeGuard([defaults] {
        forgetPrinterAnswers();
        defaults->removeObjectForKey(VXPrintHelper::RememberPrinterTypeKey);
        defaults->removeObjectForKey(VXPrintHelper::AutoShowUpsideDownPrintKey);
    });
    ASSERT_TRUE(waitFor([] { return platform::PrinterCache::shared()->printerNames().size() >= 2; }));
    const QString kind = rqs::localized("PrinterKindTitle");
    const QString manual = rqs::localized("ManualDuplexTitle");
    const QString facing = rqs::localized("PrintEvenFacingTitle");
    const struct { const char *documents, *picked; bool setUp; QList<int> answers; QStringList asked, sides; int type; } cases[] = {
        {"Simplex_Printer", "", false, {1001, 1002}, {kind, manual}, {}, VXPrintHelper::PrinterTypeManualDuplex},
        {"Simplex_Printer", "", true, {1001, 1000, 1000}, {kind, manual, facing}, {"sides=one-sided", "sides=one-sided"}, VXPrintHelper::PrinterTypeManualDuplex},
        {"Duplex_Printer", "", false, {}, {}, {"sides=two-sided-short-edge"}, VXPrintHelper::PrinterTypeNotChosen},
        {"Duplex_Printer", "Simplex_Printer", false, {1001, 1002}, {kind, manual}, {}, VXPrintHelper::PrinterTypeManualDuplex},
    };
    int number = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.documents << " picked " << c.picked << (c.setUp ? " set up" : ""));
        forgetPrinterAnswers();
        if (c.setUp) {
            VXPrinterDefaults::setValueForPrinter(true, c.documents, VXPrinterDefaults::DidSetupKey);
            VXPrinterDefaults::setValueForPrinter(true, c.documents, VXPrinterDefaults::RotateBacksidesKey);
        }
        PrintedDocument printed(folder.path(), QString("-unclassified-%1.pdf").arg(++number));
        printed.doc.setControllingTask(nullptr);
        ASSERT_TRUE(printed.doc.printInfo().setPrinterNamed(c.documents));
        QStringList asked;
        QList<int> answers = c.answers;
        platform::Alert::setResponder([&](const platform::Alert &alert) {
            asked << alert.messageText();
            return answers.isEmpty() ? platform::Alert::DismissedReturn : answers.takeFirst();
        });
        platform::PrintPanel::setResponder([&](QPrinter &printer) {
            if (*c.picked)
                printer.setPrinterName(c.picked);
            return platform::PrintPanel::OKButton;
        });
        printed.doc.printDocument();
        ASSERT_TRUE(waitFor([&] { return asked.size() == c.asked.size() && int(jobsTitled(printed.title, 0).size()) == c.sides.size(); }))
            << asked.join(", ").toStdString();
        QTest::qWait(100); // a job or a question that should not come would have come by now
        EXPECT_EQ(asked, c.asked);
        EXPECT_TRUE(answers.isEmpty());
        QStringList sides;
        for (const int id : jobsTitled(printed.title, int(c.sides.size())))
            sides << QString(jobFile(id, "options")).split(' ').filter("sides=").value(0).trimmed();
        EXPECT_EQ(sides, c.sides);
        const QString asksAbout = *c.picked ? c.picked : c.documents;
        EXPECT_EQ(VXPrinterDefaults::integerForPrinter(asksAbout, VXPrinterDefaults::PrinterTypeKey), c.type) << "the answer is kept";
    }
}

// A manual duplex run prints on the printer whose answers it follows: its print dialogs show that
// printer and offer no other, and a printer picked all the same is not taken.
TEST_F(DocumentPrinting, AManualDuplexRunStaysOnItsPrinterWhateverIsPickedInItsDialogs)
{
    const auto forget = qScopeGuard([] { forgetPrinterAnswers(); });
    VXPrinterDefaults::setValueForPrinter(true, "Simplex_Printer", VXPrinterDefaults::DidSetupKey);
    VXPrinterDefaults::setValueForPrinter(true, "Simplex_Printer", VXPrinterDefaults::RevertBacksidesKey);
    VXPrinterDefaults::setValueForPrinter(true, "Simplex_Printer", VXPrinterDefaults::RotateBacksidesKey);
    platform::Alert::setResponder([](const platform::Alert &) { return platform::Alert::FirstButtonReturn; });
    PrintedDocument printed(folder.path(), "-fixed.pdf");
    QStringList shown;
    platform::PrintPanel::setResponder([&](QPrinter &printer) {
        shown << printer.printerName();
        printer.setPrinterName("Duplex_Printer");
        return platform::PrintPanel::OKButton;
    });
    printed.doc.printManualDuplexWithPrinter("Simplex_Printer");
    const QList<int> jobs = jobsTitled(printed.title, 2);
    ASSERT_EQ(jobs.size(), 2);
    EXPECT_EQ(shown, QStringList(2, "Simplex_Printer"));
    EXPECT_EQ(queuesOfJobs(jobs), QStringList(2, "Simplex_Printer"));
    EXPECT_EQ(BookletExport::halves(jobFile(jobs[0], "pdf")) + " " + BookletExport::halves(jobFile(jobs[1], "pdf")), "(8|1) (6|3) (5|4) (7|2)")
        << "fronts forward, backs reversed and turned, as recorded for that printer";

    // The real dialog.
    platform::PrintPanel::setResponder(nullptr);
    printed.doc.printManualDuplexWithPrinter("Simplex_Printer");
    QPrintDialog *dialog = shownWindow<QPrintDialog>();
    ASSERT_TRUE(dialog);
    auto *printers = dialog->findChild<QComboBox *>("printers");
    ASSERT_TRUE(printers);
    EXPECT_EQ(printers->currentText(), "Simplex_Printer");
    EXPECT_FALSE(printers->isEnabled()) << "no other printer is offered";
    const QPointer<QPrintDialog> closing(dialog);
    dialog->reject();
    ASSERT_TRUE(waitFor([&] { return !closing; }));
}

// The real dialog, not a stand-in: what it shows for the sides is what the job carries.
TEST_F(DocumentPrinting, ThePrintDialogShowsTwoSidedForADuplexQueueAndSendsTheSidesItShows)
{
    platform::Alert::setResponder([](const platform::Alert &) { return platform::Alert::FirstButtonReturn; });
    struct Case { const char *choice; const char *sides; };
    for (const Case &c : {Case{nullptr, "sides=two-sided-short-edge"}, Case{"noDuplex", "sides=one-sided"}}) {
        SCOPED_TRACE(c.sides);
        PrintedDocument printed(folder.path(), QString("-dialog-%1.pdf").arg(c.choice ? c.choice : "shown"));
        printed.doc.printAutomaticDuplex("Duplex_Printer");
        QPrintDialog *dialog = shownWindow<QPrintDialog>();
        ASSERT_TRUE(dialog);
        EXPECT_EQ(dialog->findChild<QComboBox *>("printers")->currentText(), "Duplex_Printer");
        EXPECT_TRUE(dialog->findChild<QRadioButton *>("duplexShort")->isChecked());
        if (c.choice)
            dialog->findChild<QRadioButton *>(c.choice)->click();
        dialog->accept();
        ASSERT_TRUE(waitFor([&] { return !printed.events.isEmpty(); }));
        const QList<int> jobs = jobsTitled(printed.title, 1);
        ASSERT_EQ(jobs.size(), 1);
        EXPECT_EQ(QString(jobFile(jobs.first(), "options")).split(' ').filter("sides="), QStringList{c.sides});
    }
}

// The Foldwise printer is in every program's print dialog, Qt's too; a booklet printed to it would
// only come back as a print to impose again. The dialog's list hides it, also when the document
// names it, and chosen all the same it gets nothing and the user is told why.
TEST_F(DocumentPrinting, ThePrintDialogHidesTheFoldwisePrinterAndChosenAnywayItGetsNothing)
{
    const QString own = addFoldwiseQueue();
    const auto remove = qScopeGuard([&] { removeQueue(own); });
    ASSERT_FALSE(own.isEmpty());
    QStringList alerts;
    platform::Alert::setResponder([&](const platform::Alert &alert) {
        alerts << alert.messageText() + " " + alert.informativeText();
        return platform::Alert::FirstButtonReturn;
    });
    for (const QString &documents : {QString("Duplex_Printer"), own}) {
        SCOPED_TRACE(documents.toStdString());
        alerts.clear();
        PrintedDocument printed(folder.path(), "-to-" + documents + ".pdf");
        printed.doc.printInfo().setPrinterName(documents);
        printed.doc.printAutomaticDuplex(QString());
        QPrintDialog *dialog = shownWindow<QPrintDialog>();
        ASSERT_TRUE(dialog);
        auto *printers = dialog->findChild<QComboBox *>("printers");
        ASSERT_TRUE(printers);
        const int row = printers->findText(own);
        ASSERT_GE(row, 0) << "Qt lists every queue";
        EXPECT_TRUE(qobject_cast<QListView *>(printers->view())->isRowHidden(row));
        EXPECT_FALSE(printers->model()->flags(printers->model()->index(row, 0)).testFlag(Qt::ItemIsEnabled));
        EXPECT_EQ(printers->currentText(), documents == own ? printers->itemText(0) : documents) << "the dialog does not start on it";
        printers->setFocus();
        for (int key = 0; key < printers->count(); ++key) {
            QTest::keyClick(printers, Qt::Key_Down);
            EXPECT_NE(printers->currentText(), own) << "the arrow keys pass it by";
        }

        // The printer's properties offer no pages per sheet either.
        bool pagesPerSheet = true;
        QTimer::singleShot(0, [&] {
            QDialog *properties = shownWindow<QDialog>([&](QDialog *shown) { return shown->parent() == dialog; });
            ASSERT_TRUE(properties);
            pagesPerSheet = properties->findChild<QWidget *>("pagesPerSheetButtonGroup")->isVisible();
            properties->reject();
        });
        dialog->findChild<QPushButton *>("properties")->click();
        EXPECT_FALSE(pagesPerSheet);

        printers->setCurrentIndex(row);
        dialog->accept();
        ASSERT_TRUE(waitFor([&] { return !printed.events.isEmpty(); }));
        EXPECT_EQ(printed.events, QStringList{"released"});
        EXPECT_EQ(alerts, QStringList{rqs::localized("PrintFailedTitle").replace("%1", printed.doc.displayName()) + " "
                                      + rqs::localized("FoldwisePrinterChosenText").replace("%1", own)});
        QProcess jobs;
        jobs.start("lpstat", {"-W", "all", "-o", own});
        ASSERT_TRUE(jobs.waitForFinished(20000));
        EXPECT_EQ(jobs.readAllStandardOutput(), QByteArray()) << "nothing reached the Foldwise printer";
    }
}

// The Page Setup dialog as the user meets it: once it shows, the papers it offers and what it shows.
struct PageSetupShown
{
    QStringList papers;
    QString paper;
    bool landscape = false;
    bool pagesPerSheet = false;
};

PageSetupShown pageSetupShows(QPageSetupDialog &dialog)
{
    PageSetupShown shown;
    auto *papers = dialog.findChild<QComboBox *>("pageSizeCombo");
    for (int item = 0; item < papers->count(); ++item) {
        if (!qobject_cast<QListView *>(papers->view())->isRowHidden(item))
            shown.papers << papers->itemText(item);
    }
    shown.paper = papers->currentText();
    shown.landscape = dialog.findChild<QRadioButton *>("landscape")->isChecked();
    shown.pagesPerSheet = dialog.findChild<QWidget *>("pagesPerSheetButtonGroup")->isVisibleTo(&dialog);
    return shown;
}

// Page Setup shows the document's paper, whatever the printer the document prints on would start
// with, and offers that printer's papers; OK without a change leaves the paper as it was. Qt's
// pages per sheet mean nothing for a booklet and are not offered.
TEST_F(DocumentPrinting, PageSetupShowsTheDocumentsPaperAmongThePrintersAndOkWithoutAChangeKeepsIt)
{
    const QString queue = addLetterQueueWithMargins();
    const auto remove = qScopeGuard([&] { removeQueue(queue); });
    ASSERT_FALSE(queue.isEmpty());
    const QString a4 = QPageSize(QPageSize::A4).name();
    const QString a5 = QPageSize(QPageSize::A5).name();
    const QString letter = QPageSize(QPageSize::Letter).name();
    const QString custom = QPageSetupDialog::tr("Custom");
    const struct { QString printer; QVariantMap paper; QString shown; bool landscape; QStringList offered; } cases[] = {
        {queue, {{"NSPrintPaperName", "A4"}, {"NSPrintOrientation", 1}}, a4, true, {letter, a4, a5, custom}},
        {queue, {{"NSPrintPaperName", "A5"}, {"NSPrintOrientation", 0}}, a5, false, {letter, a4, a5, custom}},
        {"Duplex_Printer", {{"NSPrintPaperName", "Letter"}, {"NSPrintOrientation", 1}}, letter, true, {letter, a4, custom}},
        {"Duplex_Printer", {{"NSPrintPaperName", "A5"}, {"NSPrintOrientation", 1}}, a5, true, {letter, a4, a5, custom}},
        {"Duplex_Printer", {{"NSPrintPaperSize", "{840, 595}"}}, custom, true, {letter, a4, custom}},
        {"Duplex_Printer", {{"NSPrintPaperSize", "{500, 700}"}}, custom, false, {letter, a4, custom}},
        {QString(), {{"NSPrintPaperName", "A4"}, {"NSPrintOrientation", 1}}, a4, true, {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE((c.printer + " " + c.shown).toStdString());
        Document doc;
        doc.setSettingsDictionary(QVariantMap{{"printSettings", c.paper}});
        if (!c.printer.isEmpty()) {
            ASSERT_TRUE(doc.printInfo().setPrinterNamed(c.printer));
        }
        const platform::PrintInfo before = doc.printInfo();
        doc.runPageLayout();
        QPageSetupDialog *dialog = shownWindow<QPageSetupDialog>();
        ASSERT_TRUE(dialog);
        const PageSetupShown shown = pageSetupShows(*dialog);
        EXPECT_EQ(shown.paper, c.shown);
        EXPECT_EQ(shown.landscape, c.landscape);
        EXPECT_FALSE(shown.pagesPerSheet);
        if (!c.offered.isEmpty()) {
            EXPECT_EQ(shown.papers, c.offered);
        } else {
            EXPECT_GT(shown.papers.size(), 100) << "every paper Qt knows";
        }
        const QPointer<QPageSetupDialog> shownDialog(dialog);
        dialog->accept();
        // Gone once its answer was taken.
        ASSERT_TRUE(waitFor([&] { return !shownDialog; }));
        EXPECT_EQ(doc.printInfo().paperSize(), before.paperSize());
        EXPECT_EQ(doc.printInfo().orientation(), before.orientation());
        EXPECT_EQ(doc.printInfo().leftMargin(), before.leftMargin());
        EXPECT_EQ(doc.printInfo().paperName(), before.paperName());
    }
}

// OK in Page Setup without a change changes nothing: "Save as Defaults" stays off, whatever the
// print info holds beside its paper (the printer chosen for the document) and in whatever form the
// defaults keep the paper, and a paper Qt reads back to the point is the same paper.
TEST_F(DocumentPrinting, PageSetupOkWithoutAChangeLeavesTheSettingsAsTheDefaultsHaveThem)
{
    platform::UserDefaults *defaults = platform::UserDefaults::standardUserDefaults();
    const auto forget = qScopeGuard([&] { defaults->removeObjectForKey("printSettings"); });
    platform::PrintInfo custom;
    custom.setPaperSize({500.3, 700.6});
    const struct { const char *name; QVariant stored; QString printer; } cases[] = {
        {"a printer chosen for the document", QVariant(), "Duplex_Printer"},
        {"the defaults' paper kept as a dictionary", QVariantMap{{"NSPrintPaperName", "A5"}, {"NSPrintOrientation", 1}}, QString()},
        {"a custom paper Qt reads back to the point", custom.archivedData(), QString()},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        defaults->removeObjectForKey("printSettings");
        if (c.stored.isValid())
            defaults->setObject(c.stored, "printSettings");
        Document doc;
        ASSERT_FALSE(doc.hasChanges());
        if (!c.printer.isEmpty()) {
            ASSERT_TRUE(doc.printInfo().setPrinterNamed(c.printer));
        }
        const platform::PrintInfo before = doc.printInfo();
        const QVariant stored = doc.printSettings();
        doc.runPageLayout();
        QPageSetupDialog *dialog = shownWindow<QPageSetupDialog>();
        ASSERT_TRUE(dialog);
        const QPointer<QPageSetupDialog> shownDialog(dialog);
        QPushButton *ok = dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok);
        QTest::mouseClick(ok, Qt::LeftButton, {}, ok->rect().center());
        ASSERT_TRUE(waitFor([&] { return !shownDialog; }));
        EXPECT_FALSE(doc.hasChanges());
        EXPECT_EQ(doc.printSettings(), stored);
        EXPECT_EQ(doc.printInfo(), before);
    }
}

// The file is emptied under the open document, so none of its pages can be drawn any more.
TEST_F(DocumentTest, ARasterisedExportWithPagesThatCannotBeDrawnFails)
{
    const QString source = PdfFixture::write(folder.path(), "four.pdf", PdfFixture::pages(BookletExport::portraitPages(4)));
    Document doc;
    ASSERT_TRUE(doc.openURL(QUrl::fromLocalFile(source), Document::PdfType));
    doc.setUseRasterization(true);
    ASSERT_TRUE(QFile::resize(source, 0));
    const QString output = PdfFixture::write(folder.path(), "out.pdf", "the booklet exported before");
    platform::LogCapture log;
    EXPECT_FALSE(doc.exportBookletToURL(QUrl::fromLocalFile(output)));
    EXPECT_EQ(log.lines().filter("Could not export").size(), 1) << "one line for the export: " << log.lines().join('\n').toStdString();
    EXPECT_TRUE(log.contains("Error: Could not export the booklet to \"" + output + "\", because pages 1, 2, 3, 4 could not be drawn"))
        << log.lines().join('\n').toStdString();
    EXPECT_EQ(PdfFixture::read(output), "the booklet exported before");
}

TEST_F(DocumentPrinting, APrintThatCannotGoOutShowsTheServersReasonOnTheWindow)
{
    // A queue of this process's own, so that the other tests' printers stay as they are.
    const QString queue = QStringLiteral("Rejecting_%1").arg(QCoreApplication::applicationPid());
    ASSERT_TRUE(lpadmin({"-p", queue, "-E", "-v", "foldwise-test:/"}));
    ASSERT_EQ(QProcess::execute("cupsreject", {queue}), 0);
    ASSERT_TRUE(waitFor([&] { return !platform::PrinterCache::shared()->printerNamed(queue).isEmpty(); }));
    PrintedDocument printed(folder.path(), "-refused.pdf");
    platform::PrintPanel::setResponder([](QPrinter &) { return 1; });
    QStringList alerts;
    platform::Alert::setResponder([&](const platform::Alert &alert) {
        alerts << alert.messageText() + " " + alert.informativeText();
        return platform::Alert::FirstButtonReturn;
    });
    platform::LogCapture log;
    printed.doc.printAutomaticDuplex(queue);
    ASSERT_TRUE(waitFor([&] { return !printed.events.isEmpty(); }));
    removeQueue(queue);
    EXPECT_EQ(printed.events, QStringList{"released"});
    ASSERT_EQ(log.lines().size(), 1) << log.lines().join('\n').toStdString();
    const QString reason = log.lines().first().section(" failed: ", 1);
    EXPECT_FALSE(reason.isEmpty());
    EXPECT_EQ(alerts, QStringList{rqs::localized("PrintFailedTitle").replace("%1", printed.doc.displayName()) + " " + reason});
}

// A printer the list does not know never sends the booklet to the printer used before.
TEST_F(DocumentPrinting, APrinterTheListDoesNotKnowFailsTheRunWithAnAlertNamingIt)
{
    ASSERT_TRUE(waitFor([] { return platform::PrinterCache::shared()->isLoaded(); }));
    for (const bool manual : {false, true}) {
        SCOPED_TRACE(manual);
        PrintedDocument printed(folder.path(), manual ? "-unknown-manual.pdf" : "-unknown.pdf");
        ASSERT_TRUE(printed.doc.printInfo().setPrinterNamed("Duplex_Printer"));
        int panels = 0;
        platform::PrintPanel::setResponder([&](QPrinter &) { return ++panels, 1; });
        QStringList alerts;
        platform::Alert::setResponder([&](const platform::Alert &alert) {
            alerts << alert.messageText() + " " + alert.informativeText();
            return platform::Alert::FirstButtonReturn;
        });
        if (manual)
            printed.doc.printManualDuplexWithPrinter("Gone_Printer");
        else
            printed.doc.printAutomaticDuplex("Gone_Printer");
        ASSERT_TRUE(waitFor([&] { return !printed.events.isEmpty(); }));
        EXPECT_EQ(printed.events, QStringList{"released"});
        EXPECT_EQ(panels, 0) << "nothing was printed";
        EXPECT_EQ(printed.doc.printInfo().printerName(), "Duplex_Printer");
        ASSERT_EQ(alerts.size(), 1);
        EXPECT_EQ(alerts.first(), rqs::localized("PrintFailedTitle").replace("%1", printed.doc.displayName()) + " "
                                      + rqs::localized("PrinterNotFoundText").replace("%1", "Gone_Printer"));
    }
}

// The log tells of every print, export and save as it ends: one information line for each that
// went out, one error line naming the file for each that did not.
TEST_F(DocumentTest, EachPrintExportAndSaveIsOneLineOfTheLog)
{
    const QString source = PdfFixture::write(folder.path(), "Leaflet.pdf", PdfFixture::pages(BookletExport::portraitPages(4)));
    const QString plain = PdfFixture::write(folder.path(), "plain", "not a folder");
    ASSERT_TRUE(QDir(folder.path()).mkdir("Taken.pdf"));
    Document doc;
    ASSERT_TRUE(doc.openURL(QUrl::fromLocalFile(source), Document::PdfType));
    using Save = platform::DocumentBase::SaveOperation;
    struct Case { const char *what; QString path; std::function<bool(const QUrl &)> run; const char *told; };
    const QList<Case> cases{
        {"exported", folder.filePath("Leaflet - Booklet.pdf"), [&](const QUrl &url) { return doc.exportBookletToURL(url); },
         "Info: Exported the booklet of \"Leaflet.pdf\" to \""},
        {"exported onto a folder", folder.filePath("Taken.pdf"), [&](const QUrl &url) { return doc.exportBookletToURL(url); },
         "Error: Could not export the booklet to \""},
        {"saved", folder.filePath("Copy.pdf"), [&](const QUrl &url) { return doc.saveToURL(url, Document::PdfType, Save::SaveTo); },
         "Info: Saved \"Leaflet.pdf\" to \""},
        {"saved into a file", plain + "/Copy.pdf", [&](const QUrl &url) { return doc.saveToURL(url, Document::PdfType, Save::SaveTo); },
         "Error: Could not write PDF \""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        platform::LogCapture log;
        EXPECT_EQ(c.run(QUrl::fromLocalFile(c.path)), QString(c.told).startsWith("Info: "));
        ASSERT_EQ(log.lines().size(), 1) << log.lines().join('\n').toStdString();
        EXPECT_TRUE(log.lines().first().startsWith(c.told + c.path + "\"")) << log.lines().first().toStdString();
    }

    FakeShell shell;
    const auto restore = qScopeGuard([installed = VXDocumentPrinter::printServices()] {
        VXDocumentPrinter::setPrintServices(installed);
        platform::PrintPanel::setResponder(nullptr);
    });
    VXDocumentPrinter::setPrintServices(&shell);
    CapturedJobs captured;
    platform::PrintPanel::setResponder([](QPrinter &) { return platform::PrintPanel::OKButton; });
    bool printed = false;
    QObject observer;
    platform::NotificationCenter::defaultCenter()->addObserver(&observer, Document::DidPrintNotification, &doc,
                                                               [&](const platform::Notification &) { printed = true; });
    platform::LogCapture log;
    doc.printAutomaticDuplex(QString());
    ASSERT_TRUE(waitFor([&] { return printed; }));
    EXPECT_EQ(captured.jobs().size(), 1);
    EXPECT_EQ(log.lines(), QStringList{"Info: Printed \"Leaflet.pdf\""});
}
