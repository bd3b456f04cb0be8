#include "app/booklet/VXPrinterDefaults.h"
#include "app/printing/VXPrintHelper.h"
#include "RQS-Kit/Foundation/StringExtension.h"
#include "platform/printing/PrinterCache.h"

#include "DocumentsOnWindows.h"
#include "shell/PrinterAnswers.h"

#include "support/CupsServerTest.h"
#include "support/Desktop.h"
#include "support/Screenshot.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QMenu>
#include <QPointer>
#include <QPrintDialog>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Two document windows side by side on the private X display under its window manager, printed
// through their print buttons on the private print server's queues; every question and dialog is
// Qt's real one, answered by clicks at the visible centre of its buttons.
class TwoDocumentsOnDesktop : public CupsServerOnDesktopTest
{
protected:
    void SetUp() override
    {
        CupsServerOnDesktopTest::SetUp();
        if (IsSkipped())
            return;
        VXPrintHelper::sharedHelper()->setPrinterNamesSource({});
        ASSERT_TRUE(QTest::qWaitFor([] { return platform::PrinterCache::shared()->printerNames().size() >= 2; }, DesktopTimeout));
        quietHelpAndBindingAdvice();
        forgetPrinterAnswers();
    }
    void TearDown() override
    {
        forgetPrinterAnswers();
        forgetHelpAndBindingAdvice();
    }

    // A click where the widget shows on the screen, after checking that none of the application's
    // windows covers that point.
    static void click(QWidget *widget, const QPoint &at)
    {
        ASSERT_TRUE(widget && widget->isVisible());
        ASSERT_EQ(QApplication::widgetAt(widget->mapToGlobal(at)), widget) << "covered at its centre";
        QTest::mouseMove(widget, at);
        QTest::mouseClick(widget, Qt::LeftButton, {}, at);
    }
    static void clickCentre(QWidget *widget) { click(widget, widget->rect().center()); }

    // Print… on the document's window, then the printer of that name in the menu it opens.
    static void printOn(const DocumentOnWindow &on, const QString &printer)
    {
        QAbstractButton *button = on.doc.printButton();
        ASSERT_TRUE(button);
        clickCentre(button);
        QMenu *menu = nullptr;
        ASSERT_TRUE(QTest::qWaitFor([&] { return (menu = button->findChild<QMenu *>()) && menu->isVisible(); }, DesktopTimeout)) << "no printer menu";
        paintedScreen(menu);
        QAction *item = nullptr;
        for (QAction *action : menu->actions())
            item = action->text() == printer ? action : item;
        ASSERT_TRUE(item) << printer.toStdString();
        click(menu, menu->actionGeometry(item).center());
    }
    // Clicks the button of that title on the alert of that message on the document's window.
    static void answer(const DocumentOnWindow &on, const QString &message, const QString &button)
    {
        QMessageBox *box = alertOn(on.window(), rqs::localized(message), DesktopTimeout);
        ASSERT_TRUE(box) << "no " << message.toStdString() << " on " << on.title.toStdString();
        paintedScreen(box);
        QAbstractButton *pressed = buttonTitled(box, rqs::localized(button));
        ASSERT_TRUE(pressed);
        const QPointer<QMessageBox> closing(box);
        clickCentre(pressed);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !closing || !closing->isVisible(); }, DesktopTimeout));
    }

    QTemporaryDir folder;
};

} // namespace

// A's printer prints one side, C's both; both ask for their printer's kind at once, each on its
// own window. Answering A's question asks A about the two runs, on A; C's question then leads to
// C's print dialog, on C, and C alone is printed, on its own printer, in one two-sided job.
TEST_F(TwoDocumentsOnDesktop, EachPrinterKindQuestionAnswersForTheWindowItIsOn)
{
    DocumentOnWindow a(folder.path(), "-A.pdf");
    DocumentOnWindow c(folder.path(), "-C.pdf");
    // The screen holds two windows of their least width only overlapping: A above on the left, C
    // below on the right, clear of each other, so that every question and button of each shows.
    const QRect screen = a.window()->screen()->availableGeometry();
    const QSize least = a.window()->minimumSizeHint().expandedTo({400, 440});
    a.window()->setGeometry(QRect(screen.topLeft() + QPoint(0, 30), least));
    c.window()->setGeometry(QRect(screen.bottomRight() - QPoint(least.width(), least.height()) + QPoint(1, 1), least));
    ASSERT_FALSE(settledFrame(a.window()).intersects(settledFrame(c.window())));

    printOn(a, "Simplex_Printer");
    QMessageBox *askedA = alertOn(a.window(), rqs::localized("PrinterKindTitle"), DesktopTimeout);
    ASSERT_TRUE(askedA) << "A's question shows on A";
    printOn(c, "Duplex_Printer");
    QMessageBox *askedC = alertOn(c.window(), rqs::localized("PrinterKindTitle"), DesktopTimeout);
    ASSERT_TRUE(askedC) << "C's question shows on C";
    paintedScreen(askedC);
    EXPECT_TRUE(saveScreenshot(paintedScreen(askedA), "two-documents-two-printer-kind-questions"));

    answer(a, "PrinterKindTitle", "IsSingleSidePrinter");
    QMessageBox *twoRuns = alertOn(a.window(), rqs::localized("ManualDuplexTitle"), DesktopTimeout);
    ASSERT_TRUE(twoRuns) << "the two runs are asked about on A";
    EXPECT_TRUE(saveScreenshot(paintedScreen(twoRuns), "two-documents-two-runs-on-a-beside-the-question-on-c"));
    EXPECT_TRUE(askedC->isVisible()) << "C's question still waits for its answer";
    answer(a, "ManualDuplexTitle", "Cancel");

    answer(c, "PrinterKindTitle", "IsAutomaticDuplex");
    QPrintDialog *dialog = shownWindow<QPrintDialog>([&](QPrintDialog *shown) { return shown->parentWidget() == c.window(); }, DesktopTimeout);
    ASSERT_TRUE(dialog) << "C's print dialog shows on C";
    paintedScreen(dialog);
    QPushButton *print = dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok);
    ASSERT_TRUE(print);
    clickCentre(print);

    const QList<int> jobs = jobsTitled(c.title, 1);
    EXPECT_EQ(queuesOfJobs(jobs), QStringList{"Duplex_Printer"});
    EXPECT_TRUE(jobs.size() == 1 && jobFile(jobs.first(), "options").contains("sides=two-sided-short-edge"));
    EXPECT_TRUE(settle());
    EXPECT_EQ(jobsTitled(a.title, 0), QList<int>()) << "A's print was cancelled at its two runs";
    EXPECT_EQ(VXPrinterDefaults::integerForPrinter("Simplex_Printer", VXPrinterDefaults::PrinterTypeKey), VXPrintHelper::PrinterTypeManualDuplex);
}
