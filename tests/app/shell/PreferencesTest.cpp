#include "app/booklet/VXPrinterDefaults.h"
#include "app/printing/VXPrintHelper.h"
#include "app/shell/AppDelegate.h"
#include "app/shell/VXDocumentController.h"
#include "app/shell/VXDuplexAnimationView.h"
#include "app/shell/VXFactoryController.h"
#include "app/shell/VXManualDuplexController.h"
#include "app/shell/VXPreferencesController.h"
#include "app/window/VXDocumentWindowController.h"
#include "RQS-Kit/Foundation/StringExtension.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/printing/PrinterCache.h"
#include "platform/ui/Alert.h"
#include "platform/ui/PrintPanel.h"
#include "booklet/BookletExport.h"
#include "booklet/DocumentFixture.h"

#include "PrinterAnswers.h"

#include "support/CupsServerTest.h"
#include "support/Screenshot.h"

#include <QAction>
#include <QCheckBox>
#include <QStackedWidget>
#include <QVariantAnimation>
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

    // What a fresh reader of the user's defaults file finds for the binding explanation's key
    // ("" when it holds none).
    static std::string storedExplanation()
    {
        platform::UserDefaults::standardUserDefaults()->synchronize();
        return platform::UserDefaults(platform::UserDefaults::standardUserDefaults()->fileName())
            .objectForKey(VXPrintHelper::AutoShowUpsideDownPrintKey)
            .toString()
            .toStdString();
    }

    // While it lives, the binding explanation is answered "Understood", its "Do not show this message
    // again" ticked as the case sets, and every print panel is cancelled; both are counted. The
    // explanation's key is forgotten before and after.
    struct AnsweredPrints
    {
        AnsweredPrints()
        {
            platform::UserDefaults::standardUserDefaults()->removeObjectForKey(VXPrintHelper::AutoShowUpsideDownPrintKey);
            platform::Alert::setResponder([this](platform::Alert &alert) {
                if (alert.buttonTitles() == QStringList{rqs::localized("Understood")}) {
                    ++explained;
                    alert.setSuppressionButtonTicked(turnOff);
                }
                return platform::Alert::FirstButtonReturn;
            });
            platform::PrintPanel::setResponder([this](QPrinter &) { return ++panels, platform::PrintPanel::CancelButton; });
        }
        ~AnsweredPrints()
        {
            platform::UserDefaults::standardUserDefaults()->removeObjectForKey(VXPrintHelper::AutoShowUpsideDownPrintKey);
            platform::Alert::setResponder(nullptr);
            platform::PrintPanel::setResponder(nullptr);
        }
        // Prints the document two-sided on Duplex_Printer through the router: "explained, printed"
        // when the explanation came before the print panel, "printed" without it.
        std::string print(Document &doc)
        {
            const int explainedBefore = explained, panelsBefore = panels;
            VXPrintHelper::sharedHelper()->printAutomaticDuplex(&doc, "Duplex_Printer");
            const bool printed = QTest::qWaitFor([&] { return panels == panelsBefore + 1; }, 20000);
            return std::string(explained > explainedBefore ? "explained, " : "") + (printed ? "printed" : "no print panel");
        }

        bool turnOff = false;
        int explained = 0;
        int panels = 0;
    };

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
    DocumentWindow before(folder.path(), "before.pdf");
    ASSERT_EQ(before.shortcuts(), "Ctrl+P / Ctrl+Alt+P");

    VXPreferencesController preferences;
    preferences.showWindow();
    platform::Window *window = preferences.window();
    ASSERT_NE(window, nullptr);
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
// at once in the open preferences; the printer's kind stays as it was.
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
    for (const Case &c : {Case{"Simplex_Printer", kinds.at(VXPrintHelper::PrinterTypeNotChosen)},
                          Case{"Duplex_Printer", kinds.at(VXPrintHelper::PrinterTypeAutomaticDuplex)}}) {
        SCOPED_TRACE(c.printer.toStdString());
        VXManualDuplexController *wizard = VXManualDuplexController::sharedController();
        ASSERT_TRUE(wizard->open(c.printer, {}));
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

// The window is as large as what it shows and no larger, its picture at the size it is drawn for;
// the current printer of the private server is Simplex_Printer.
TEST_F(Preferences, TheWindowFitsWhatItShowsWithItsPictureWhole)
{
    AppDelegate shell(nullptr);
    platform::PrinterCache::shared()->refresh();
    ASSERT_TRUE(QTest::qWaitFor([] { return platform::PrinterCache::shared()->printerNames().size() >= 2; }, 20000));
    VXPrinterDefaults::setValueForPrinter(VXPrintHelper::PrinterTypeManualDuplex, "Simplex_Printer", VXPrinterDefaults::PrinterTypeKey);
    VXPreferencesController preferences;
    preferences.showWindow();
    platform::Window *window = preferences.window();
    ASSERT_EQ(window->findChild<QStackedWidget *>("duplexTabView")->currentIndex(), VXPrintHelper::PrinterTypeManualDuplex);
    QCoreApplication::processEvents();
    EXPECT_LE(window->height(), window->sizeHint().height()) << "no empty space below what it shows";
    auto *picture = window->findChild<VXDuplexAnimationView *>("animatedDuplexImageView");
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->size(), QSize(180, 130));
    EXPECT_TRUE(saveScreenshot(window, "preferences-manual-duplex"));
}

// "Do not show this message again" on the binding explanation holds: the next document's print,
// the preferences opened, the batch factory's print-all and a new start on the same settings file
// all go on without it.
TEST_F(Preferences, TheBindingExplanationTurnedOffStaysOffAcrossDocumentsTheFactoryAndARestart)
{
    QTemporaryDir folder;
    AnsweredPrints prints;
    prints.turnOff = true;
    ASSERT_TRUE(QTest::qWaitFor([] { return platform::PrinterCache::shared()->printerNames().size() >= 2; }, 20000));
    VXDocumentController documents;
    VXFactoryController factory(&documents);
    AppDelegate shell(&documents);
    VXPrinterDefaults::setValueForPrinter(VXPrintHelper::PrinterTypeAutomaticDuplex, "Duplex_Printer", VXPrinterDefaults::PrinterTypeKey);
    platform::UserDefaults *defaults = platform::UserDefaults::standardUserDefaults();
    ASSERT_TRUE(defaults->boolForKey(VXPrintHelper::AutoShowUpsideDownPrintKey)) << "a new user is shown it";

    DocumentWindow first(folder.path(), "first.pdf");
    EXPECT_EQ(prints.print(first.doc), "explained, printed");

    VXPreferencesController preferences;
    preferences.showWindow();
    DocumentWindow second(folder.path(), "second.pdf");
    EXPECT_EQ(prints.print(second.doc), "printed");

    factory.addURLs({QUrl::fromLocalFile(PdfFixture::write(folder.path(), "task.pdf", PdfFixture::pages(BookletExport::portraitPages(4))))});
    ASSERT_TRUE(QTest::qWaitFor([&] { return factory.tasks().size() == 1; }, 20000));
    VXPrintHelper::sharedHelper()->printDocument(nullptr, int(platform::PrinterCache::shared()->printerNames().indexOf("Duplex_Printer")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return prints.panels == 3; }, 20000));
    EXPECT_EQ(prints.explained, 1) << "neither the next document, the preferences nor the factory brought it back";

    ASSERT_TRUE(defaults->synchronize());
    platform::UserDefaults restarted(defaults->fileName());
    restarted.registerDefaults({{VXPrintHelper::AutoShowUpsideDownPrintKey, true}});
    EXPECT_FALSE(restarted.boolForKey(VXPrintHelper::AutoShowUpsideDownPrintKey)) << "kept in the settings file";
}

// The preferences' box for the binding explanation shows the settings file's answer and leaves it
// as it is on opening, a new user's included; each click is in the settings file at once and
// decides whether the next automatic duplex print explains the binding; and the explanation turned
// off on its own alert unticks the open box.
TEST_F(Preferences, TheExplanationBoxShowsTheSettingAndTurnsTheExplanationOnAndOff)
{
    QTemporaryDir folder;
    AnsweredPrints prints;
    ASSERT_TRUE(QTest::qWaitFor([] { return platform::PrinterCache::shared()->printerNames().size() >= 2; }, 20000));
    AppDelegate shell(nullptr);
    VXPrinterDefaults::setValueForPrinter(VXPrintHelper::PrinterTypeAutomaticDuplex, "Duplex_Printer", VXPrinterDefaults::PrinterTypeKey);
    platform::UserDefaults *defaults = platform::UserDefaults::standardUserDefaults();
    const QString key = VXPrintHelper::AutoShowUpsideDownPrintKey;

    struct Opening { const char *stored; QVariant value; bool ticked; };
    for (const Opening &c : {Opening{"", QVariant(), true}, Opening{"false", false, false}, Opening{"true", true, true}}) {
        SCOPED_TRACE(std::string("stored: \"") + c.stored + "\"");
        defaults->setObject(c.value, key);
        ASSERT_EQ(storedExplanation(), c.stored);
        VXPreferencesController preferences;
        preferences.showWindow();
        auto *box = preferences.window()->findChild<QCheckBox *>("explainBindingCheckbox");
        ASSERT_NE(box, nullptr);
        EXPECT_TRUE(box->isVisibleTo(preferences.window()));
        EXPECT_EQ(box->isChecked(), c.ticked);
        EXPECT_EQ(storedExplanation(), c.stored) << "opening wrote nothing";
    }

    defaults->setBool(false, key);
    VXPreferencesController preferences;
    preferences.showWindow();
    auto *box = preferences.window()->findChild<QCheckBox *>("explainBindingCheckbox");
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(rqs::localizedOrNilForBundle(box->text(), nullptr, "Controls").isNull()) << "a text of the shipped table";
    DocumentWindow document(folder.path(), "booklet.pdf");
    ASSERT_EQ(prints.print(document.doc), "printed");
    struct Click { bool ticked; const char *stored; const char *next; };
    for (const Click &c : {Click{true, "true", "explained, printed"}, Click{false, "false", "printed"}, Click{true, "true", "explained, printed"}}) {
        SCOPED_TRACE(c.ticked ? "ticked" : "unticked");
        box->click();
        EXPECT_EQ(box->isChecked(), c.ticked);
        EXPECT_EQ(storedExplanation(), c.stored);
        EXPECT_EQ(prints.print(document.doc), c.next);
        EXPECT_EQ(storedExplanation(), c.stored) << "explained and understood, the setting stays";
    }

    prints.turnOff = true;
    EXPECT_EQ(prints.print(document.doc), "explained, printed");
    EXPECT_TRUE(QTest::qWaitFor([&] { return !box->isChecked(); })) << "the open box follows the alert's answer";
    EXPECT_EQ(storedExplanation(), "false");
    EXPECT_EQ(prints.print(document.doc), "printed");
}

// The sheet turns now and then and rests on each face in between, so that the picture shows the
// sheet whole most of the time, not a sliver of it; stopped, it shows its front whole.
TEST(DuplexAnimation, TheSheetRestsWholeOnEachFaceMostOfTheTime)
{
    VXDuplexAnimationView view;
    view.resize(180, 130);
    // Across the sheet between its top band and its number: where it differs from the background.
    const auto sheetWidth = [&] {
        const QImage shown = view.grab().toImage();
        const int row = shown.height() / 2 - int(shown.height() * 0.8 * 0.3);
        const int background = shown.pixelColor(0, row).lightness();
        int left = -1, right = -1;
        for (int x = 0; x < shown.width(); ++x) {
            if (std::abs(shown.pixelColor(x, row).lightness() - background) > 2) {
                left = left < 0 ? x : left;
                right = x;
            }
        }
        return left < 0 ? 0 : right - left + 1;
    };
    const int whole = sheetWidth();
    EXPECT_GE(whole, 120);
    view.startAnimation();
    auto *turn = view.findChild<QVariantAnimation *>();
    ASSERT_NE(turn, nullptr);
    int samples = 0, wholeSamples = 0;
    for (int time = 0; time < turn->duration(); time += turn->duration() / 100, ++samples) {
        turn->setCurrentTime(time);
        wholeSamples += sheetWidth() >= whole * 95 / 100;
    }
    EXPECT_GE(wholeSamples * 100 / samples, 60) << wholeSamples << " of " << samples;
    view.stopAnimation();
    EXPECT_EQ(sheetWidth(), whole);
}
