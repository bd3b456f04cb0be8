#include "app/booklet/VXPrinterDefaults.h"
#include "app/printing/VXPrintHelper.h"
#include "app/shell/AppDelegate.h"
#include "app/shell/VXManualDuplexController.h"
#include "app/shell/VXPreferencesController.h"
#include "app/window/VXDocumentWindowController.h"
#include "RQS-Kit/Foundation/StringExtension.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/printing/PrinterCache.h"
#include "booklet/BookletExport.h"
#include "booklet/DocumentFixture.h"

#include "PrinterAnswers.h"

#include "support/CupsServerTest.h"
#include "support/Screenshot.h"

#include <QAction>
#include <QCheckBox>
#include <QTest>

namespace {

class Preferences : public CupsServerTest
{
protected:
    void TearDown() override { forgetPrinterAnswers(); }

    // What a fresh reader of the user's defaults file finds for these printers and keys.
    static QStringList stored(const QStringList &printers, const QString &key)
    {
        platform::UserDefaults::standardUserDefaults()->synchronize();
        platform::UserDefaults file(platform::UserDefaults::standardUserDefaults()->fileName());
        QStringList values;
        for (const QString &printer : printers)
            values << printer + "=" + file.objectForKey(VXPrinterDefaults::keyForPrinter(printer, key)).toString();
        return values;
    }

    // A document window of its own, with its two print items' shortcuts.
    struct DocumentWindow
    {
        DocumentWindow(const QString &folder, const QString &name)
        {
            doc.openURL(QUrl::fromLocalFile(PdfFixture::write(folder, name, PdfFixture::pages(BookletExport::portraitPages(4)))), Document::PdfType);
            controller = VXDocumentWindowController::makeWindowController(&doc);
            doc.showWindows();
        }
        ~DocumentWindow() { doc.close(); }
        QString shortcuts() const
        {
            return controller->window()->findChild<QAction *>("printItem")->shortcut().toString() + " / "
                + controller->window()->findChild<QAction *>("manualDuplexItem")->shortcut().toString();
        }
        Document doc;
        VXDocumentWindowController *controller = nullptr;
    };
};

} // namespace

// The current printer of the private server is Simplex_Printer.
TEST_F(Preferences, EditsLandUnderThePrinterShownAndTheTypeGivesItsPrintItemThePlainShortcut)
{
    QTemporaryDir folder;
    AppDelegate shell(nullptr);
    platform::PrinterCache::shared()->refresh();
    ASSERT_TRUE(QTest::qWaitFor([] { return platform::PrinterCache::shared()->printerNames().size() >= 2; }, 20000));
    platform::UserDefaults::standardUserDefaults()->setBool(false, VXPrintHelper::AutoShowUpsideDownPrintKey);
    DocumentWindow before(folder.path(), "before.pdf");
    ASSERT_EQ(before.shortcuts(), "Ctrl+P / Ctrl+Alt+P");

    VXPreferencesController preferences;
    preferences.showWindow();
    platform::Window *window = preferences.window();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(platform::UserDefaults::standardUserDefaults()->boolForKey(VXPrintHelper::AutoShowUpsideDownPrintKey));
    auto *printers = window->findChild<QComboBox *>("printersButton");
    auto *type = window->findChild<QComboBox *>("printerTypeButton");
    auto *facing = window->findChild<QCheckBox *>("facingCheckbox");
    auto *rotate = window->findChild<QCheckBox *>("rotateCheckbox");
    EXPECT_EQ(printers->currentText(), "Simplex_Printer");
    EXPECT_EQ(window->findChild<QLabel *>("didSetupImageView")->pixmap().toImage(),
              platform::Bundle::mainBundle()->imageNamed("ManualDuplex-Cross").convertToFormat(QImage::Format_ARGB32_Premultiplied));

    int announced = 0;
    QObject observer;
    platform::NotificationCenter::defaultCenter()->addObserver(&observer, VXPrintHelper::ChangedPrinterTypeNotification, &preferences,
                                                               [&](const platform::Notification &) { ++announced; });
    type->setCurrentIndex(VXPrintHelper::PrinterTypeManualDuplex);
    EXPECT_EQ(stored({"Simplex_Printer"}, "printerType"), QStringList{"Simplex_Printer=2"});
    EXPECT_EQ(before.shortcuts(), "Ctrl+Alt+P / Ctrl+P");
    DocumentWindow after(folder.path(), "after.pdf");
    EXPECT_EQ(after.shortcuts(), "Ctrl+Alt+P / Ctrl+P") << "a window opened later follows too";
    type->setCurrentIndex(VXPrintHelper::PrinterTypeNotChosen);
    EXPECT_EQ(after.shortcuts(), "Ctrl+Alt+P / Ctrl+P") << "no type leaves them";
    EXPECT_EQ(announced, 2);

    const QString title = window->findChild<QLabel *>("bindingTitleLabel")->text();
    rotate->click();
    EXPECT_TRUE(window->findChild<QCheckBox *>("rotateDuplexCheckbox")->isChecked());
    EXPECT_EQ(window->findChild<QLabel *>("bindingTitleLabel")->text(), rqs::localized("SidedBindingTitle").replace("%1", rqs::localized("LongSidedBinding")));
    EXPECT_NE(window->findChild<QLabel *>("bindingTitleLabel")->text(), title);

    // Another printer: the controls show its answers and edits go to it alone.
    printers->setCurrentIndex(printers->findText("Duplex_Printer"));
    emit printers->activated(printers->currentIndex());
    EXPECT_FALSE(rotate->isChecked());
    facing->click();
    EXPECT_EQ(stored({"Simplex_Printer", "Duplex_Printer"}, VXPrinterDefaults::TurnSheetsKey), (QStringList{"Simplex_Printer=", "Duplex_Printer=true"}));
    EXPECT_EQ(stored({"Simplex_Printer", "Duplex_Printer"}, VXPrinterDefaults::RotateBacksidesKey),
              (QStringList{"Simplex_Printer=true", "Duplex_Printer="}));

    // A printer that went, or none at all: its controls hide and no edit is stored anywhere.
    for (const QString &gone : {QString("Gone_Printer"), QString()}) {
        preferences.setDefaultPrinter(gone);
        EXPECT_FALSE(type->isVisibleTo(window));
        facing->click();
        rotate->click();
        EXPECT_EQ(stored({gone, "Duplex_Printer"}, VXPrinterDefaults::TurnSheetsKey), (QStringList{gone + "=", "Duplex_Printer=true"}));
        EXPECT_EQ(stored({gone, "Simplex_Printer"}, VXPrinterDefaults::RotateBacksidesKey), (QStringList{gone + "=", "Simplex_Printer=true"}));
    }
}

// The wizard and the preferences read and write the same answers: what the wizard records shows
// at once in the open preferences, and a printer never given a kind is now a manual duplex one.
TEST_F(Preferences, TheWizardsAnswersShowInThePreferencesOfThatPrinter)
{
    AppDelegate shell(nullptr);
    platform::PrinterCache::shared()->refresh();
    ASSERT_TRUE(QTest::qWaitFor([] { return platform::PrinterCache::shared()->printerNames().size() >= 2; }, 20000));
    VXPrinterDefaults::setValueForPrinter(VXPrintHelper::PrinterTypeAutomaticDuplex, "Duplex_Printer", VXPrinterDefaults::PrinterTypeKey);
    VXPreferencesController preferences;
    preferences.showWindow();
    platform::Window *window = preferences.window();
    auto *type = window->findChild<QComboBox *>("printerTypeButton");
    const auto shown = [&] {
        return QStringList{type->currentText(), window->findChild<QLabel *>("didSetupImageView")->pixmap().toImage() ==
                                   platform::Bundle::mainBundle()->imageNamed("ManualDuplex-Check").convertToFormat(QImage::Format_ARGB32_Premultiplied)
                               ? "set up" : "not set up",
                           QString("turn %1 rotate %2 reverse %3")
                               .arg(window->findChild<QCheckBox *>("facingCheckbox")->isChecked())
                               .arg(window->findChild<QCheckBox *>("rotateCheckbox")->isChecked())
                               .arg(window->findChild<QCheckBox *>("reverseCheckbox")->isChecked())};
    };
    const QStringList kinds = VXPrintHelper::printerTypeTitles();
    EXPECT_EQ(shown(), (QStringList{kinds.at(0), "not set up", "turn 0 rotate 0 reverse 0"}));

    struct Case { QString printer; QString kind; };
    for (const Case &c : {Case{"Simplex_Printer", kinds.at(VXPrintHelper::PrinterTypeManualDuplex)},
                          Case{"Duplex_Printer", kinds.at(VXPrintHelper::PrinterTypeAutomaticDuplex)}}) {
        SCOPED_TRACE(c.printer.toStdString());
        VXManualDuplexController *wizard = VXManualDuplexController::sharedController();
        wizard->setPrinterName(c.printer);
        wizard->showWindow();
        wizard->printedOnBothPage();
        wizard->window()->findChild<QAbstractButton *>("turnedInOrderButton")->click();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !wizard->isLoaded(); }));
        preferences.setDefaultPrinter(c.printer);
        EXPECT_EQ(shown(), (QStringList{c.kind, "set up", "turn 0 rotate 1 reverse 0"}));
        EXPECT_EQ(stored({c.printer}, VXPrinterDefaults::DidSetupKey), QStringList{c.printer + "=true"});
    }
    preferences.setDefaultPrinter("Simplex_Printer");
    EXPECT_TRUE(saveScreenshot(window, "preferences"));
}
