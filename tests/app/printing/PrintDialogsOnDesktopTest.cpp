#include "app/booklet/Document.h"
#include "app/booklet/VXHelpDescription.h"
#include "app/booklet/VXPrinterDefaults.h"
#include "app/printing/VXPrintHelper.h"
#include "app/window/VXDocumentWindowController.h"
#include "RQS-Kit/Foundation/StringExtension.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/Window.h"

#include "support/CupsServerTest.h"
#include "support/Desktop.h"
#include "support/PdfFixture.h"
#include "support/Screenshot.h"
#include "support/ShownWindow.h"
#include "support/Xdotool.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QListView>
#include <QMenu>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPageSize>
#include <QPointer>
#include <QPrintDialog>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The print and page set-up dialogs as the user meets them from a document's window: Qt's real
// dialogs on the private X display under the window manager, against the private print server.
class PrintDialogsOnDesktop : public CupsServerTest
{
protected:
    void SetUp() override
    {
        FOLDWISE_REQUIRE_DESKTOP();
        CupsServerTest::SetUp();
        if (IsSkipped())
            return;
        helper->setPrinterNamesSource({});
        // No help opens by itself over the dialogs, and no binding advice comes before them.
        for (const VXHelpDescription::Entry &entry : VXHelpDescription::entries())
            defaults->setBool(false, VXHelpDescription::autoShowKey(entry.name));
        defaults->setBool(false, VXPrintHelper::AutoShowUpsideDownPrintKey);
        title = QFileInfo(folder.path()).fileName() + "-dialogs.pdf";
        ASSERT_TRUE(document.openURL(QUrl::fromLocalFile(PdfFixture::write(folder.path(), title, PdfFixture::pages(PdfFixture::numbered(4)))),
                                     Document::PdfType));
        document.setSettingsDictionary(QVariantMap{{"printSettings", QVariantMap{{"NSPrintPaperName", "A4"}, {"NSPrintOrientation", 1}}}});
        controller = VXDocumentWindowController::makeWindowController(&document);
        ASSERT_NE(controller, nullptr);
        document.showWindows();
        ASSERT_FALSE(settledFrame(controller->window()).isEmpty());
    }
    void TearDown() override
    {
        if (controller)
            document.close();
        for (const QString &key : defaults->dictionaryRepresentation().keys())
            defaults->removeObjectForKey(key);
    }

    // Presses keys through the X server into the window.
    void press(QWidget *window, const QString &keys) const
    {
        xdotool(display, {"windowactivate", "--sync", QString::number(window->window()->winId()), "key", "--clearmodifiers", keys});
    }
    static void click(QWidget *widget, const QPoint &at)
    {
        QTest::mouseMove(widget, at);
        QTest::mouseClick(widget, Qt::LeftButton, {}, at);
    }
    // The screen once it shows the window painted.
    static void saveScreen(QWidget *window, const QString &name) { EXPECT_TRUE(saveScreenshot(paintedScreen(window), name)); }
    static QPushButton *buttonOf(QDialog *dialog, QDialogButtonBox::StandardButton which)
    {
        const QDialogButtonBox *buttons = dialog->findChild<QDialogButtonBox *>();
        return buttons ? buttons->button(which) : nullptr;
    }

    QTemporaryDir folder;
    QString title;
    Document document;
    VXDocumentWindowController *controller = nullptr;
    VXPrintHelper *helper = VXPrintHelper::sharedHelper();
    platform::UserDefaults *defaults = platform::UserDefaults::standardUserDefaults();
    const QString display = qEnvironmentVariable("DISPLAY");
};

} // namespace

// The Foldwise printer is in Qt's list of printers, but the dialog's list does not show it; chosen
// all the same (as Qt could start on it), Print ends with an alert that says why, and nothing
// reaches the Foldwise printer.
TEST_F(PrintDialogsOnDesktop, ThePrintDialogNeverLeadsToTheFoldwisePrinter)
{
    const QString own = addFoldwiseQueue();
    const auto remove = qScopeGuard([&] { removeQueue(own); });
    ASSERT_FALSE(own.isEmpty());
    ASSERT_TRUE(document.printInfo().setPrinterNamed("Duplex_Printer"));

    controller->window()->findChild<QAction *>("printItem")->trigger();
    QPrintDialog *dialog = shownWindow<QPrintDialog>();
    ASSERT_TRUE(dialog);
    auto *printers = dialog->findChild<QComboBox *>("printers");
    ASSERT_TRUE(printers);
    const int row = printers->findText(own);
    ASSERT_GE(row, 0) << "Qt lists every queue";
    click(printers, printers->rect().center());
    ASSERT_TRUE(QTest::qWaitFor([&] { return printers->view()->isVisible(); }, DesktopTimeout)) << "the list did not open";
    // On the screen, and so holding the keyboard.
    saveScreen(printers->view()->window(), "print-dialog-printer-list");
    QStringList listed;
    for (int item = 0; item < printers->count(); ++item) {
        if (!printers->view()->visualRect(printers->model()->index(item, 0)).isEmpty())
            listed << printers->itemText(item);
    }
    EXPECT_FALSE(listed.contains(own)) << listed.join(", ").toStdString();
    EXPECT_TRUE(listed.contains("Duplex_Printer") && listed.contains("Simplex_Printer")) << listed.join(", ").toStdString();
    // The open list holds the keyboard: the key goes to it as it is.
    xdotool(display, {"key", "--clearmodifiers", "Escape"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !printers->view()->isVisible(); }, DesktopTimeout));
    ASSERT_TRUE(dialog->isVisible()) << "Escape closed the list only";

    printers->setCurrentIndex(row);
    QPushButton *print = buttonOf(dialog, QDialogButtonBox::Ok);
    ASSERT_TRUE(print);
    click(print, print->rect().center());
    const QString told = rqs::localized("FoldwisePrinterChosenText").replace("%1", own);
    QMessageBox *alert = shownWindow<QMessageBox>([&](QMessageBox *box) { return box->informativeText() == told; });
    ASSERT_TRUE(alert) << "no alert said why nothing was printed";
    EXPECT_EQ(alert->text(), rqs::localized("PrintFailedTitle").replace("%1", document.displayName()));
    saveScreen(alert, "print-dialog-foldwise-printer-alert");
    const QPointer<QMessageBox> closing(alert);
    press(alert, "Return");
    EXPECT_TRUE(QTest::qWaitFor([&] { return !closing || !closing->isVisible(); }, DesktopTimeout));
    QProcess jobs;
    jobs.start("lpstat", {"-W", "all", "-o", own});
    ASSERT_TRUE(jobs.waitForFinished(20000));
    EXPECT_EQ(jobs.readAllStandardOutput(), QByteArray()) << "nothing reached the Foldwise printer";
    EXPECT_EQ(jobsTitled(title, 0), QList<int>()) << "nor any other printer";
}

// A printer chosen from the print button's menu, its print cancelled: Page Setup then shows the
// document's A4 landscape, not the Letter portrait that printer starts with, and OK leaves it so,
// with nothing to save as defaults.
TEST_F(PrintDialogsOnDesktop, PageSetupAfterAPrinterChosenFromTheMenuShowsTheDocumentsPaper)
{
    const QString queue = addLetterQueueWithMargins();
    const auto remove = qScopeGuard([&] { removeQueue(queue); });
    ASSERT_FALSE(queue.isEmpty());
    VXPrinterDefaults::setValueForPrinter(VXPrintHelper::PrinterTypeAutomaticDuplex, queue, VXPrinterDefaults::PrinterTypeKey);
    document.saveDefaults(nullptr);
    ASSERT_FALSE(document.hasChanges());
    const platform::PrintInfo before = document.printInfo();

    QAbstractButton *button = document.printButton();
    ASSERT_TRUE(button && button->isVisible());
    click(button, button->rect().center());
    QMenu *menu = nullptr;
    ASSERT_TRUE(QTest::qWaitFor([&] { return (menu = button->findChild<QMenu *>()) && menu->isVisible(); }, DesktopTimeout)) << "no printer menu";
    paintedScreen(menu);
    QAction *item = nullptr;
    for (QAction *action : menu->actions())
        item = action->text().startsWith(queue) ? action : item;
    ASSERT_TRUE(item);
    click(menu, menu->actionGeometry(item).center());
    QPrintDialog *print = shownWindow<QPrintDialog>();
    ASSERT_TRUE(print) << "the printer's print did not start";
    press(print, "Escape");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !print->isVisible(); }, DesktopTimeout)) << "Escape did not cancel the print";
    EXPECT_EQ(document.printInfo().printerName(), queue);

    press(controller->window(), "ctrl+shift+p");
    QPageSetupDialog *pageSetup = shownWindow<QPageSetupDialog>();
    ASSERT_TRUE(pageSetup) << "Page Setup did not open";
    saveScreen(pageSetup, "page-setup-after-a-printer-from-the-menu");
    EXPECT_EQ(pageSetup->findChild<QComboBox *>("pageSizeCombo")->currentText(), QPageSize(QPageSize::A4).name());
    EXPECT_TRUE(pageSetup->findChild<QRadioButton *>("landscape")->isChecked());
    EXPECT_FALSE(pageSetup->findChild<QWidget *>("pagesPerSheetButtonGroup")->isVisible());
    QPushButton *ok = buttonOf(pageSetup, QDialogButtonBox::Ok);
    ASSERT_TRUE(ok);
    const QPointer<QPageSetupDialog> closing(pageSetup);
    const QVariant stored = document.printSettings();
    click(ok, ok->rect().center());
    // Gone once its answer was taken.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !closing; }, DesktopTimeout));
    EXPECT_FALSE(document.hasChanges()) << "Save as Defaults stays off";
    EXPECT_EQ(document.printSettings(), stored);
    EXPECT_EQ(document.printInfo().paperName(), before.paperName());
    EXPECT_EQ(document.printInfo().paperSize(), before.paperSize());
    EXPECT_EQ(document.printInfo().orientation(), platform::PrintInfo::Orientation::Landscape);
    EXPECT_EQ(jobsTitled(title, 0), QList<int>()) << "nothing was printed";
}
