#include "app/booklet/Document.h"
#include "app/booklet/VXPrinterDefaults.h"
#include "app/printing/VXPrintHelper.h"
#include "app/shell/AppDelegate.h"
#include "app/shell/VXDocumentController.h"
#include "app/shell/VXFactoryController.h"
#include "app/shell/VXManualDuplexController.h"
#include "app/shell/VXTask.h"
#include "app/shell/VXTaskCellView.h"
#include "RQS-Kit/Foundation/StringExtension.h"
#include "platform/foundation/KeyValue.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/pdf/PdfDocument.h"
#include "platform/ui/Alert.h"
#include "platform/ui/OpenPanel.h"
#include "platform/ui/PrintPanel.h"
#include "booklet/BookletExport.h"

#include "support/CupsServerTest.h"
#include "support/PictureFixture.h"
#include "support/Screenshot.h"

#include <QDropEvent>
#include <QFileDialog>
#include <QMimeData>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

// The factory of the application with its router, a fresh user, and the user's answers given by
// responders.
struct FactoryScene
{
    FactoryScene()
    {
        platform::UserDefaults::standardUserDefaults()->setBool(false, VXPrintHelper::AutoShowUpsideDownPrintKey);
        platform::Alert::setResponder([this](platform::Alert &alert) {
            alerts << alert.messageText() + " | " + alert.informativeText();
            styles << alert.alertStyle();
            progress << factory.window()->findChild<QLabel *>("progressLabel")->text();
            return answers.isEmpty() ? platform::Alert::FirstButtonReturn : answers.takeFirst();
        });
        factory.showWindow();
    }
    ~FactoryScene()
    {
        platform::Alert::setResponder(nullptr);
        platform::OpenPanel::setResponder(nullptr);
        platform::PrintPanel::setResponder(nullptr);
        VXPrintHelper::sharedHelper()->setPrinterNamesSource({});
    }
    // Row by row: "name: state text".
    QStringList rows() const
    {
        QStringList shown;
        for (VXTaskCellView *cell : cells())
            shown << cell->findChild<QLabel *>("documentNameTF")->text() + ": " + cell->findChild<QLabel *>("stateTF")->text();
        return shown;
    }
    QList<VXTaskCellView *> cells() const
    {
        QList<VXTaskCellView *> found;
        QListView *table = factory.tableView();
        for (int row = 0; row < table->model()->rowCount(); ++row)
            found << qobject_cast<VXTaskCellView *>(table->indexWidget(table->model()->index(row, 0)));
        return found;
    }
    void click(int row, const char *button) { cells().at(row)->findChild<QAbstractButton *>(button)->click(); }
    void clickWindow(const char *button) { factory.window()->findChild<QAbstractButton *>(button)->click(); }
    // Export All into the folder, chosen in its panel; false when tasks still wait after it.
    bool exportAllInto(const QString &folder)
    {
        platform::OpenPanel::setResponder([folder](QFileDialog &dialog) {
            dialog.selectFile(folder);
            return platform::OpenPanel::OKButton;
        });
        clickWindow("exportButton");
        return waitFor([this] { return !factory.hasWaitingTasks(); });
    }
    static bool waitFor(const std::function<bool()> &condition) { return QTest::qWaitFor(condition, 20000); }

    VXDocumentController documents;
    VXFactoryController factory{&documents};
    AppDelegate delegate{&documents};
    QStringList alerts, progress;
    QList<platform::Alert::Style> styles;
    QList<int> answers;
};

QString localizedState(VXTask::State state) { return rqs::localized(VXTask::stateName(state)); }

} // namespace

// Files come by a drop and by the panel; one file is shared settings, one individual, one refused,
// one ends as a failure whose row tells why; every booklet written is read back.
TEST(VXFactoryController, ExportsEveryTaskWithItsSettingsIntoTheChosenFolder)
{
    QTemporaryDir folder;
    QDir(folder.path()).mkpath("b");
    QDir(folder.path()).mkpath("out/Menu - Booklet.pdf");
    const QString report = PdfFixture::write(folder.path(), "Report.pdf", PdfFixture::pages(BookletExport::portraitPages(6)));
    const QString second = PdfFixture::write(folder.filePath("b"), "Report.pdf", PdfFixture::pages(BookletExport::portraitPages(8)));
    const QString menu = PdfFixture::write(folder.path(), "Menu.png", PictureFixture::encoded(PictureFixture::marked({60, 40}, Qt::green, Qt::red), "png"));
    const QString notes = PdfFixture::write(folder.path(), "notes.txt", "no booklet");
    const QString out = folder.filePath("out");
    PdfFixture::write(out, "Report - Booklet.pdf", "an older booklet");
    FactoryScene scene;

    QMimeData dragged;
    dragged.setUrls({QUrl::fromLocalFile(report), QUrl::fromLocalFile(notes), QUrl::fromLocalFile(menu)});
    QWidget *table = scene.factory.tableView()->viewport();
    QDragEnterEvent enter({10, 10}, Qt::CopyAction, &dragged, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(table, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop({10, 10}, Qt::CopyAction, &dragged, Qt::LeftButton, Qt::NoModifier);
    platform::LogCapture log;
    QApplication::sendEvent(table, &drop);
    ASSERT_TRUE(scene.waitFor([&] { return !scene.alerts.isEmpty(); }));
    const QStringList toldOfNotes = log.lines().filter(notes);
    ASSERT_EQ(toldOfNotes.size(), 1) << "one line for one file refused: " << log.lines().join("\n").toStdString();
    EXPECT_TRUE(toldOfNotes.first().startsWith("Error: Could not open PDF \"" + notes + "\"")) << toldOfNotes.first().toStdString();
    EXPECT_EQ(scene.alerts.takeFirst(), rqs::localized("FactoryRefusedTitle") + " | “notes.txt”\n" + rqs::localized("OpenFailedContentsText"))
        << "the user is told which file was refused, and why";
    EXPECT_EQ(scene.styles.value(0), platform::Alert::Style::Critical) << "as any file that could not be opened";

    platform::OpenPanel::setResponder([&](QFileDialog &dialog) {
        EXPECT_TRUE(dialog.nameFilters().join(' ').contains("*.png")) << "pictures open as well";
        EXPECT_TRUE(dialog.nameFilters().value(0).startsWith(rqs::localized("OpenableFilesName") + " (*.pdf ")) << "named, PDF first";
        dialog.selectFile(second);
        return platform::OpenPanel::OKButton;
    });
    scene.clickWindow("addButton");
    ASSERT_TRUE(scene.waitFor([&] { return scene.factory.tasks().size() == 3; }));
    const QString waiting = localizedState(VXTask::DefaultSettings);
    EXPECT_EQ(scene.rows(), QStringList({"Report: " + waiting, "Menu: " + waiting, "Report 2: " + waiting}));

    // Settings edited in a document window come back to the whole factory, then to one task.
    for (const auto &[row, key, answer] : {std::tuple{0, "straightOrder", 1001}, {2, "reverseOrder", 1000}}) {
        scene.click(row, "rightButton");
        ASSERT_TRUE(scene.waitFor([&] { return !scene.documents.documents().isEmpty() && scene.documents.documents().last()->controllingTask(); }));
        Document *edited = scene.documents.documents().last();
        ASSERT_TRUE(platform::KeyValue::setValue(edited, key, true));
        edited->batchSettingsSaveChosen(answer);
    }
    EXPECT_EQ(scene.rows(), QStringList({"Report: " + localizedState(VXTask::SharedSettings), "Menu: " + localizedState(VXTask::SharedSettings),
                                         "Report 2: " + localizedState(VXTask::IndividualSettings)}));

    platform::UserDefaults::standardUserDefaults()->setObject(out, VXFactoryController::ExportFolderKey);
    platform::OpenPanel::setResponder([&](QFileDialog &dialog) {
        EXPECT_EQ(dialog.directory().absolutePath(), out);
        EXPECT_EQ(dialog.windowTitle(), "Export All Booklets into a Folder") << "the dialog says what it is for";
        EXPECT_EQ(dialog.labelText(QFileDialog::Accept), "Export Here");
        dialog.selectFile(out);
        return platform::OpenPanel::OKButton;
    });
    scene.clickWindow("exportButton");
    ASSERT_TRUE(scene.waitFor([&] { return !scene.factory.hasWaitingTasks() && scene.alerts.size() == 2; }));
    EXPECT_EQ(scene.progress.mid(1), QStringList({rqs::localized("FactoryExportProgress").arg("Report", "1", "3", "2"),
                                                  rqs::localized("FactoryExportProgress").arg("Menu", "2", "3", "1")}))
        << "each file that exists already is asked about, while the window tells how far the export is";
    EXPECT_EQ(BookletExport::halves(PdfFixture::read(folder.filePath("out/Report - Booklet.pdf"))).toStdString(), "(1|2) (3|4) (5|6) (-|-)");
    EXPECT_EQ(BookletExport::halves(PdfFixture::read(folder.filePath("out/Report 2 - Booklet.pdf"))).toStdString(), "(8|7) (6|5) (4|3) (2|1)");
    EXPECT_EQ(scene.rows(), QStringList({"Report: " + localizedState(VXTask::Exported), "Menu: " + localizedState(VXTask::Failed),
                                         "Report 2: " + localizedState(VXTask::Exported)}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return scene.factory.window()->findChild<QLabel *>("progressLabel")->text().isEmpty(); }));
    EXPECT_TRUE(saveScreenshot(scene.factory.window(), "factory"));

    scene.click(1, "rightButton");
    ASSERT_TRUE(scene.waitFor([&] { return scene.alerts.size() == 3; }));
    EXPECT_TRUE(scene.alerts.last().endsWith(rqs::localized("WriteFailedText").arg(out + "/Menu - Booklet.pdf", "it is not a regular file")))
        << "the failed row tells why: " << scene.alerts.last().toStdString();

    scene.clickWindow("clearButton");
    EXPECT_EQ(scene.rows(), QStringList()) << "finished tasks cleared";
}

// Files that do not open are named with the reason opening them as documents gives: a PDF locked by
// a password as such, a file gone as unreadable, the files of one reason together.
TEST(VXFactoryController, RefusedFilesAreNamedWithTheReasonOpeningThemGives)
{
    QTemporaryDir folder;
    const QString locked = PdfFixture::write(folder.path(), "Locked.pdf", PdfFixture::encrypted(PdfFixture::numbered(2), "secret", "owner"));
    const QString sealed = PdfFixture::write(folder.path(), "Sealed.pdf", PdfFixture::encrypted(PdfFixture::numbered(4), "other", "owner"));
    const QString report = PdfFixture::write(folder.path(), "Report.pdf", PdfFixture::pages(BookletExport::portraitPages(4)));
    FactoryScene scene;
    scene.factory.addURLs({QUrl::fromLocalFile(locked), QUrl::fromLocalFile(report), QUrl::fromLocalFile(folder.filePath("Gone.pdf")),
                           QUrl::fromLocalFile(sealed)});
    ASSERT_TRUE(scene.waitFor([&] { return !scene.alerts.isEmpty(); }));
    EXPECT_EQ(scene.alerts, QStringList{rqs::localized("FactoryRefusedTitle") + " | “Locked.pdf”, “Sealed.pdf”\n"
                                        + rqs::localized("OpenFailedPasswordText") + "\n\n“Gone.pdf”\n"
                                        + rqs::localized("OpenFailedUnreadableText")});
    ASSERT_EQ(scene.factory.tasks().size(), 1);
    EXPECT_EQ(scene.factory.tasks().first()->documentName(), "Report");
}

// The log of a batch: each file refused is one error line naming it, as what it is; each booklet
// exported one information line naming the booklet, each that could not be one error line.
TEST(VXFactoryController, EachFileRefusedAndEachExportIsOneLineOfTheLog)
{
    QTemporaryDir folder;
    const QString damaged = PdfFixture::write(folder.path(), "Damaged.png", "no picture");
    const QString cut = PdfFixture::write(folder.path(), "Cut.pdf", "%PDF-1.4\ncut off");
    const QString gone = folder.filePath("Gone.pdf");
    const QString report = PdfFixture::write(folder.path(), "Report.pdf", PdfFixture::pages(BookletExport::portraitPages(4)));
    const QString empty = PdfFixture::write(folder.path(), "Empty.pdf", *platform::PdfDocument().data());
    const QString out = folder.filePath("out");
    ASSERT_TRUE(QDir().mkpath(out));
    FactoryScene scene;
    platform::LogCapture log;
    scene.factory.addURLs({QUrl::fromLocalFile(damaged), QUrl::fromLocalFile(report), QUrl::fromLocalFile(cut), QUrl::fromLocalFile(gone),
                           QUrl::fromLocalFile(empty)});
    ASSERT_TRUE(scene.waitFor([&] { return !scene.alerts.isEmpty() && scene.factory.tasks().size() == 2; }));
    ASSERT_TRUE(scene.exportAllInto(out));
    struct Told { QString path; const char *line; };
    const QList<Told> told{
        {damaged, "Error: Could not make a page of the picture \""},
        {cut, "Error: Could not open PDF \""},
        {gone, "Error: Could not read \""},
        {out + "/Report - Booklet.pdf", "Info: Exported the booklet of \"Report.pdf\" to \""},
        {out + "/Empty - Booklet.pdf", "Error: Could not export the booklet to \""},
    };
    for (const Told &t : told) {
        SCOPED_TRACE(t.path.toStdString());
        const QStringList lines = log.lines().filter(t.path);
        ASSERT_EQ(lines.size(), 1) << log.lines().join("\n").toStdString();
        EXPECT_TRUE(lines.first().startsWith(t.line + t.path + "\"")) << lines.first().toStdString();
    }
}

// A PDF without pages gives no booklet: its task fails, and its row's alert says that it has no
// pages; the other task exports.
TEST(VXFactoryController, ATaskWhoseDocumentHasNoPagesFailsSayingSo)
{
    QTemporaryDir folder;
    const QString empty = PdfFixture::write(folder.path(), "Empty.pdf", *platform::PdfDocument().data());
    const QString report = PdfFixture::write(folder.path(), "Report.pdf", PdfFixture::pages(BookletExport::portraitPages(4)));
    const QString out = folder.filePath("out");
    ASSERT_TRUE(QDir().mkpath(out));
    FactoryScene scene;
    scene.factory.addURLs({QUrl::fromLocalFile(empty), QUrl::fromLocalFile(report)});
    ASSERT_TRUE(scene.waitFor([&] { return scene.factory.tasks().size() == 2; }));
    ASSERT_TRUE(scene.exportAllInto(out));
    EXPECT_EQ(scene.rows(), QStringList({"Empty: " + localizedState(VXTask::Failed), "Report: " + localizedState(VXTask::Exported)}));
    EXPECT_FALSE(QFileInfo::exists(out + "/Empty - Booklet.pdf"));
    scene.click(0, "rightButton");
    ASSERT_TRUE(scene.waitFor([&] { return !scene.alerts.isEmpty(); }));
    EXPECT_EQ(scene.alerts.last(), rqs::localized("TaskFailedTitle").replace("%1", "Empty") + " | "
                                       + rqs::localized("NoPagesToExportText").replace("%1", "Empty.pdf"));
}

// A file is read once, when it joins, and its booklet is made of what was read then: files removed
// before Export All still give their booklets.
TEST(VXFactoryController, AFileIsReadOnceWhenItJoinsAndItsBookletIsMadeOfWhatWasRead)
{
    QTemporaryDir folder;
    const QString report = PdfFixture::write(folder.path(), "Report.pdf", PdfFixture::pages(BookletExport::portraitPages(4)));
    const QString menu = PdfFixture::write(folder.path(), "Menu.png", PictureFixture::encoded(PictureFixture::marked({60, 40}, Qt::green, Qt::red), "png"));
    const QString out = folder.filePath("out");
    ASSERT_TRUE(QDir().mkpath(out));
    FactoryScene scene;
    scene.factory.addURLs({QUrl::fromLocalFile(report), QUrl::fromLocalFile(menu)});
    ASSERT_TRUE(scene.waitFor([&] { return scene.factory.tasks().size() == 2; }));
    ASSERT_TRUE(QFile::remove(report));
    ASSERT_TRUE(QFile::remove(menu));
    ASSERT_TRUE(scene.exportAllInto(out));
    EXPECT_EQ(scene.rows(), QStringList({"Report: " + localizedState(VXTask::Exported), "Menu: " + localizedState(VXTask::Exported)}));
    EXPECT_EQ(BookletExport::halves(PdfFixture::read(out + "/Report - Booklet.pdf")).toStdString(), "(4|1) (2|3)");
    const std::optional<platform::PdfDocument> picture = platform::PdfDocument::open(out + "/Menu - Booklet.pdf");
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->pageCount(), 2) << "the picture on one sheet, both sides";
}

// A cut-off download put into the factory beside a sound file is read away from the GUI thread:
// the window shows at once and its timers fire while qpdf repairs it; then the sound file joins and
// the damaged one is refused with the alert.
TEST(VXFactoryController, ADamagedFileIsReadWhileTheWindowAnswersAndIsRefused)
{
    QTemporaryDir folder;
    const QString download = PdfFixture::writeCutOff(folder.path(), "Download.pdf", qint64(32) << 20);
    const QString report = PdfFixture::write(folder.path(), "Report.pdf", PdfFixture::pages(BookletExport::portraitPages(4)));
    ASSERT_FALSE(download.isEmpty());
    FactoryScene scene;
    int ticked = 0;
    QTimer ticks;
    QObject::connect(&ticks, &QTimer::timeout, [&] { ++ticked; });
    ticks.start(10);
    scene.factory.addURLs({QUrl::fromLocalFile(download), QUrl::fromLocalFile(report)});
    EXPECT_TRUE(scene.factory.window()->isVisible());
    ASSERT_TRUE(scene.waitFor([&] { return !scene.alerts.isEmpty(); }));
    EXPECT_GE(ticked, 3) << "the timer fired while the files were read";
    EXPECT_EQ(scene.alerts, QStringList{rqs::localized("FactoryRefusedTitle") + " | “Download.pdf”\n" + rqs::localized("OpenFailedContentsText")});
    EXPECT_EQ(scene.rows(), QStringList{"Report: " + localizedState(VXTask::DefaultSettings)});
}

class FactoryPrinting : public CupsServerTest
{
};

// Print-all through the router's printer menu: while the first task prints, print-all is pressed
// again, one task is removed and another is exported; each printed task prints once, in table
// order, on the printer chosen. Reset tasks print again, once each.
TEST_F(FactoryPrinting, PrintsEveryWaitingTaskOnceInOrderWhateverHappensMeanwhile)
{
    QTemporaryDir folder;
    const QString stem = QFileInfo(folder.path()).fileName();
    QList<QUrl> files;
    for (const char *name : {"A", "B", "C", "D"})
        files << QUrl::fromLocalFile(PdfFixture::write(folder.path(), stem + name + ".pdf", PdfFixture::pages(BookletExport::portraitPages(8))));
    FactoryScene scene;
    VXPrinterDefaults::setValueForPrinter(VXPrintHelper::PrinterTypeAutomaticDuplex, "Duplex_Printer", VXPrinterDefaults::PrinterTypeKey);
    VXPrintHelper *router = VXPrintHelper::sharedHelper();
    router->setPrinterNamesSource([] { return QStringList{"Duplex_Printer", "Simplex_Printer"}; });
    scene.factory.addURLs(files);
    ASSERT_TRUE(scene.waitFor([&] { return scene.factory.tasks().size() == 4; }));
    QList<VXTask *> tasks = scene.factory.tasks();

    QStringList panels;
    platform::PrintPanel::setResponder([&](QPrinter &printer) {
        panels << printer.printerName();
        if (panels.size() == 1) {
            router->printDocument(nullptr, 0);
            scene.click(2, "removeButton");
            tasks[1]->exportTo(QUrl::fromLocalFile(folder.path()));
        }
        return platform::PrintPanel::OKButton;
    });
    router->printDocument(nullptr, 0);
    ASSERT_TRUE(scene.waitFor([&] { return tasks[0]->state() == VXTask::Printed && tasks[3]->state() == VXTask::Printed; }));
    EXPECT_EQ(scene.factory.printInfo().printerName(), "Duplex_Printer");
    EXPECT_EQ(scene.factory.tasks().size(), 3);
    EXPECT_EQ(tasks[1]->state(), VXTask::Exported);
    ASSERT_TRUE(scene.waitFor([&] { return scene.factory.window()->findChild<QLabel *>("progressLabel")->text().isEmpty(); })) << "the run is over";

    scene.click(0, "leftButton");
    scene.click(2, "leftButton");
    scene.factory.printOnPrinter(QString(), false);
    ASSERT_TRUE(scene.waitFor([&] { return panels.size() == 2 && !scene.factory.hasWaitingTasks(); }));
    QTest::qWait(100); // a second start of the same task would have come by now
    EXPECT_EQ(panels, QStringList(2, "Duplex_Printer")) << "asked once per print-all; the printer chosen in the menu is kept for the next";

    QList<int> order;
    for (const char *name : {"A", "B", "C", "D"}) {
        const QList<int> jobs = jobsTitled(stem + name + ".pdf", QByteArray("AD").contains(name) ? 2 : 0);
        EXPECT_EQ(jobs.size(), QByteArray("AD").contains(name) ? 2 : 0) << name;
        for (const int id : jobs) {
            EXPECT_TRUE(jobFile(id, "options").contains("sides=two-sided-short-edge"));
            EXPECT_EQ(BookletExport::halves(jobFile(id, "pdf")), "(8|1) (2|7) (6|3) (4|5)");
        }
        order << jobs;
    }
    ASSERT_EQ(order.size(), 4);
    EXPECT_TRUE(order[0] < order[2] && order[2] < order[1] && order[1] < order[3]) << "A, D, then A, D again";
}

// Print-all in manual duplex on a printer that was never set up: the first task asks, the user
// chooses the set-up, and once the wizard has recorded the printer every task prints both runs.
TEST_F(FactoryPrinting, AManualPrintAllOnAPrinterNeverSetUpPrintsOnceTheSetUpIsDone)
{
    QTemporaryDir folder;
    const QString stem = QFileInfo(folder.path()).fileName();
    QList<QUrl> files;
    for (const char *name : {"A", "B"})
        files << QUrl::fromLocalFile(PdfFixture::write(folder.path(), stem + name + ".pdf", PdfFixture::pages(BookletExport::portraitPages(8))));
    FactoryScene scene;
    VXPrinterDefaults::setValueForPrinter(false, "Simplex_Printer", VXPrinterDefaults::DidSetupKey);
    scene.factory.addURLs(files);
    ASSERT_TRUE(scene.waitFor([&] { return scene.factory.tasks().size() == 2; }));
    const QList<VXTask *> tasks = scene.factory.tasks();
    platform::PrintPanel::setResponder([](QPrinter &) { return platform::PrintPanel::OKButton; });
    scene.answers = {platform::Alert::FirstButtonReturn + 1};

    scene.factory.printOnPrinter("Simplex_Printer", true);
    VXManualDuplexController *wizard = VXManualDuplexController::sharedController();
    ASSERT_TRUE(scene.waitFor([&] { return wizard->isLoaded() && wizard->window()->isVisible(); }));
    EXPECT_EQ(wizard->printerName(), "Simplex_Printer");
    EXPECT_EQ(tasks[0]->state(), VXTask::Processing) << "the first task waits for the set-up";
    wizard->setCurrentPage(VXManualDuplexController::FinalStep);
    wizard->window()->findChild<QAbstractButton *>("uprightInOrderButton")->click();

    ASSERT_TRUE(scene.waitFor([&] { return tasks[0]->state() == VXTask::Printed && tasks[1]->state() == VXTask::Printed; }))
        << scene.alerts.join('\n').toStdString();
    const QString manual = rqs::localized("ManualDuplexTitle") + " | " + rqs::localized("ManualDuplexText");
    EXPECT_EQ(scene.alerts.filter(rqs::localized("ManualDuplexTitle")), QStringList(2, manual)) << "each task asks once";
    for (const char *name : {"A", "B"})
        EXPECT_EQ(jobsTitled(stem + name + ".pdf", 2).size(), 2) << name << ": fronts, then backs";
}
