#include "app/booklet/VXPrinterDefaults.h"
#include "app/printing/VXPrintHelper.h"
#include "app/shell/AppDelegate.h"
#include "app/shell/VXPreferencesController.h"
#include "app/window/VXDocumentWindowController.h"
#include "RQS-Kit/Foundation/StringExtension.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/printing/PrinterCache.h"
#include "booklet/BookletExport.h"
#include "booklet/DocumentFixture.h"

#include "support/CupsServerTest.h"

#include <QAction>
#include <QCheckBox>
#include <QTest>

namespace {

class Preferences : public CupsServerTest
{
protected:
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
