#include "app/booklet/Document.h"
#include "app/booklet/VXPrinterDefaults.h"
#include "app/printing/VXPrintHelper.h"
#include "app/window/VXDocumentWindowController.h"
#include "RQS-Kit/Foundation/StringExtension.h"
#include "platform/foundation/Log.h"
#include "platform/printing/PrinterCache.h"
#include "platform/ui/Popover.h"
#include "platform/ui/Window.h"

#include "support/CupsServerTest.h"
#include "support/Desktop.h"
#include "support/PdfFixture.h"
#include "support/Screenshot.h"
#include "support/ShownWindow.h"
#include "support/Xdotool.h"

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QPrintDialog>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The printer-kind question as the user meets it: a real alert on a document's window, under the
// window manager, for a queue of the private print server that has no duplex option.
class PrinterKindQuestionOnDesktop : public CupsServerOnDesktopTest
{
protected:
    void SetUp() override
    {
        CupsServerOnDesktopTest::SetUp();
        if (IsSkipped())
            return;
        helper->setPrinterNamesSource({});
        ASSERT_TRUE(QTest::qWaitFor([] { return platform::PrinterCache::shared()->isLoaded(); }, DesktopTimeout));
        title = QFileInfo(folder.path()).fileName() + "-question.pdf";
        ASSERT_TRUE(document.openURL(QUrl::fromLocalFile(PdfFixture::write(folder.path(), title, PdfFixture::pages(PdfFixture::numbered(4)))),
                                     Document::PdfType));
        VXDocumentWindowController *controller = VXDocumentWindowController::makeWindowController(&document);
        ASSERT_NE(controller, nullptr);
        help = controller->window()->findChild<platform::Popover *>("helpPopOver");
        ASSERT_NE(help, nullptr);
        // With the help defaults of a new user, the margins' help opens by itself beside the question.
        document.showWindows();
        ASSERT_TRUE(QTest::qWaitFor([&] { return help->isShown(); }, DesktopTimeout)) << "no help opened by itself";
    }
    void TearDown() override
    {
        if (!IsSkipped())
            document.close();
    }

    // The question, once it shows on the document's window, painted.
    static QMessageBox *question()
    {
        QMessageBox *shown = shownWindow<QMessageBox>([](QMessageBox *box) { return box->text() == rqs::localized("PrinterKindTitle"); },
                                                      DesktopTimeout);
        if (shown)
            paintedScreen(shown);
        return shown;
    }
    // Whatever a print would have shown next: the print panel, or another alert.
    static std::string visibleDialogs()
    {
        QStringList shown;
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (auto *box = qobject_cast<QMessageBox *>(window); box && box->isVisible())
                shown << box->text();
            if (qobject_cast<QPrintDialog *>(window) && window->isVisible())
                shown << QStringLiteral("the print panel");
        }
        return shown.join(QStringLiteral(", ")).toStdString();
    }

    QTemporaryDir folder;
    QString title;
    Document document;
    QPointer<platform::Popover> help;
    VXPrintHelper *helper = VXPrintHelper::sharedHelper();
    const QString display = qEnvironmentVariable("DISPLAY");
};

// The close button of the window manager's frame, at the right end of the title bar.
QPoint closeButtonOf(QWidget *window)
{
    const QRect frame = settledFrame(window);
    const QRect client = serverWindowState(window).inner;
    const int titleHeight = client.top() - frame.top();
    return QPoint(frame.right() - (frame.right() - client.right()) - titleHeight / 2, frame.top() + titleHeight / 2);
}

} // namespace

// Escape, Alt+F4 and the title bar's close button each back out of the print: no print panel,
// no other question, nothing sent to the print server, and the printer's kind still unchosen. The
// proposed answer is what the server says of the queue: one side. Escape is the question's even
// while a help that opened by itself shows on the document's window.
TEST_F(PrinterKindQuestionOnDesktop, EscapeOrClosingItsWindowEndsThePrintWithNothingSent)
{
    const int simplex = int(platform::PrinterCache::shared()->printerNames().indexOf("Simplex_Printer"));
    ASSERT_GE(simplex, 0);
    const std::pair<const char *, std::function<void(QMessageBox *)>> ways[] = {
        {"Escape", [&](QMessageBox *box) {
             EXPECT_TRUE(help && help->isShown()) << "the help that opened by itself is still up";
             xdotool(display, {"windowactivate", "--sync", QString::number(box->winId()), "key", "Escape"});
         }},
        {"close button", [&](QMessageBox *box) {
             const QPoint button = closeButtonOf(box);
             xdotool(display, {"mousemove", QString::number(button.x()), QString::number(button.y()), "click", "1"});
         }},
        {"Alt+F4", [&](QMessageBox *box) {
             xdotool(display, {"windowactivate", "--sync", QString::number(box->winId()), "key", "alt+F4"});
         }},
    };
    bool pictured = false;
    for (const auto &[way, close] : ways) {
        SCOPED_TRACE(way);
        platform::LogCapture log;
        helper->printDocument(&document, simplex);
        const QPointer<QMessageBox> box = question();
        ASSERT_TRUE(box);
        EXPECT_EQ(box->defaultButton()->text(), rqs::localized("IsSingleSidePrinter"));
        if (!std::exchange(pictured, true)) {
            EXPECT_TRUE(saveScreenshot(box, "printer-kind-question"));
            EXPECT_TRUE(saveScreenshot(paintedScreen(box), "printer-kind-question-and-the-help-that-opened-by-itself"));
        }
        close(box);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !box || !box->isVisible(); }, DesktopTimeout)) << "the question stays";
        EXPECT_TRUE(QTest::qWaitFor([&] { return log.contains("the question whether \"Simplex_Printer\" prints both sides was closed unanswered"); }, DesktopTimeout))
            << log.lines().join('\n').toStdString();
        // A print panel or another question would be shown by now.
        EXPECT_TRUE(settle());
        EXPECT_EQ(visibleDialogs(), "");
        EXPECT_EQ(VXPrinterDefaults::integerForPrinter("Simplex_Printer", VXPrinterDefaults::PrinterTypeKey), VXPrintHelper::PrinterTypeNotChosen);
    }
    EXPECT_EQ(jobsTitled(document.displayName(), 0), QList<int>()) << "nothing reached the print server";
    EXPECT_EQ(jobsTitled(title, 0), QList<int>());
}
