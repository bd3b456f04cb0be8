#include "app/booklet/VXDocumentPrinter.h"
#include "app/booklet/VXPrintableDocument.h"
#include "app/printing/QSPDFPrintView.h"
#include "app/printing/VXApplicationServices.h"
#include "app/printing/VXManualDuplexSetup.h"
#include "app/printing/VXPreferencesWindow.h"
#include "app/printing/VXPrintAlertAdapter.h"
#include "app/printing/VXPrintFactory.h"
#include "app/printing/VXPrintHelper.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/printing/PrintInfo.h"
#include "platform/printing/PrintOperation.h"
#include "platform/printing/PrinterWatcher.h"

#include "support/MainBundleScope.h"
#include "support/PdfFixture.h"
#include "support/QtPrinters.h"
#include "support/StringsTables.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>
#include <poppler-qt6.h>

#include <memory>
#include <optional>

namespace {

// Stands in for a document, the factory, the application shell, the preferences and the user at
// the alerts all at once, and records what the router asks of each.
class FakePrintTargets : public QObject, public VXPrintableDocument, public VXPrintFactory,
                         public VXApplicationServices, public VXPreferencesWindow, public VXPrintAlert
{
public:
    void printAutomaticDuplex(const QString &name) override { calls << "document automatic " + name; }
    void printManualDuplexWithPrinter(const QString &name) override { calls << "document manual " + name; }
    void printOnPrinter(const QString &name, bool manual) override { calls << QString("factory %1 %2").arg(manual ? "manual" : "automatic", name); }
    void showWindow() override { calls << "preferences shown"; }
    void beginSheet(const Request &request, platform::Window *, Completion completion) override
    {
        asked << request;
        pending = std::move(completion);
    }
    platform::Window *windowForSheet() const override { return nullptr; }
    platform::PrintInfo &printInfo() override { return info; }
    QAbstractButton *printButton() const override { return &button; }
    QString currentPrinterName() const override { return current; }
    platform::Window *factoryWindow() const override { return nullptr; }
    VXPrintFactory *factory() const override { return const_cast<FakePrintTargets *>(this); }
    VXPreferencesWindow *preferences() const override { return const_cast<FakePrintTargets *>(this); }
    VXManualDuplexSetup *manualDuplexSetup() const override { return wizard; }

    // Answers the last alert and lets the work it posted run.
    void answer(int code, bool ticked)
    {
        std::exchange(pending, {})({code, ticked, {}});
        QCoreApplication::processEvents();
    }
    QString outcome() const
    {
        const bool menu = button.findChild<QMenu *>();
        return !calls.isEmpty() ? calls.join('|') : !asked.isEmpty() ? "asked " + asked.last().messageText : menu ? "menu" : "nothing";
    }
    void reset()
    {
        calls.clear();
        asked.clear();
        delete button.findChild<QMenu *>();
    }

    QStringList calls;
    QList<Request> asked;
    Completion pending;
    platform::PrintInfo info;
    mutable QPushButton button;
    QString current;
    VXManualDuplexSetup *wizard = nullptr;
};

// Prints the printable into a file on that paper and reads back the number of every printed page.
QList<int> printedNumbers(platform::Printable &printable, const QSizeF &paper)
{
    QTemporaryDir folder;
    platform::PrintInfo info;
    info.setPaperSize(paper);
    info.setJobDisposition(platform::PrintInfo::JobDisposition::Save);
    info.setJobSavingUrl(QUrl::fromLocalFile(folder.filePath(QStringLiteral("printed.pdf"))));
    if (!platform::PrintOperation(printable, info).run())
        return {-1};
    const std::unique_ptr<Poppler::Document> document = Poppler::Document::load(folder.filePath(QStringLiteral("printed.pdf")));
    QList<int> numbers;
    for (int page = 0; document && page < document->numPages(); ++page)
        numbers << document->page(page)->text(QRectF()).simplified().remove(QStringLiteral("Page ")).toInt();
    return numbers;
}

} // namespace

class VXPrintHelperTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        helper->setApplicationServices(&fake);
        helper->setAlert(&fake);
        helper->setPrinterNamesSource([this] { return printers; });
        defaults->setBool(false, VXPrintHelper::AutoShowUpsideDownPrintKey);
    }
    void TearDown() override
    {
        helper->setApplicationServices(nullptr);
        helper->setAlert(nullptr);
        helper->setPrinterNamesSource({});
        helper->setDocument(nullptr);
        helper->deregisterPrintButton(&fake.button);
        for (const QString &key : defaults->dictionaryRepresentation().keys())
            defaults->removeObjectForKey(key);
    }
    QStringList storedTypes() const { return defaults->dictionaryRepresentation().keys().filter("printerType"); }

    QStringList printers;
    FakePrintTargets fake;
    VXPrintHelper *helper = VXPrintHelper::sharedHelper();
    platform::UserDefaults *defaults = platform::UserDefaults::standardUserDefaults();
};

TEST_F(VXPrintHelperTest, PrintButtonRoutesByPrinterType)
{
    const struct { QStringList printers; int type; bool withDocument; QString outcome; } cases[] = {
        {{"Fake_Laser"}, 1, true, "document automatic "},
        {{"Fake_Laser"}, 2, true, "document manual Fake_Laser"},
        {{"Fake_Laser"}, 1, false, "factory automatic "},
        {{"Fake_Laser"}, 2, false, "factory manual Fake_Laser"},
        {{"Fake_Laser"}, 7, true, "menu"},
        {{"Fake_Laser", "Fake_Inkjet"}, 1, true, "menu"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.printers.join(',').toStdString() << " type " << c.type);
        fake.reset();
        printers = c.printers;
        if (!printers.isEmpty())
            defaults->setInteger(c.type, printers.first() + ".printerType");
        helper->printDocument(c.withDocument ? static_cast<VXPrintableDocument *>(&fake) : nullptr);
        EXPECT_EQ(fake.outcome(), c.outcome);
    }
}

TEST_F(VXPrintHelperTest, PrinterKindIsKeptOnlyWhenRememberedAndNeverWithoutAName)
{
    const struct { QStringList printers; int code; bool ticked; QString printed; QStringList stored; QString nextPress; } cases[] = {
        {{"Fake_Laser"}, 1001, true, "document manual Fake_Laser", {"Fake_Laser.printerType"}, "document manual Fake_Laser"},
        {{"Fake_Laser"}, 1000, true, "document automatic Fake_Laser", {"Fake_Laser.printerType"}, "document automatic "},
        {{"Fake_Laser"}, 1001, false, "document manual Fake_Laser", {"Fake_Laser.printerType"}, "asked PrinterKindTitle"},
        {{}, 1001, true, "document manual ", {}, "asked PrinterKindTitle"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.printers.size() << " printers, " << c.code << (c.ticked ? " ticked" : ""));
        TearDown();
        SetUp();
        fake.reset();
        printers = c.printers;
        helper->printDocument(&fake);
        ASSERT_EQ(fake.asked.size(), 1);
        EXPECT_TRUE(fake.asked.first().suppressionButtonTicked);
        fake.answer(c.code, c.ticked);
        EXPECT_EQ(fake.calls, QStringList{c.printed});
        EXPECT_EQ(storedTypes(), c.stored);
        EXPECT_EQ(defaults->boolForKey(VXPrintHelper::RememberPrinterTypeKey), c.ticked);
        fake.reset();
        helper->printDocument(&fake);
        EXPECT_EQ(fake.outcome(), c.nextPress);
    }
}

TEST_F(VXPrintHelperTest, PrinterMenuShowsTypesAndPrintsOnTheChosenPrinter)
{
    printers = {"Fake_Manual", "Fake_New", "Fake_Auto"};
    defaults->setInteger(2, "Fake_Manual.printerType");
    defaults->setInteger(1, "Fake_Auto.printerType");
    helper->printDocument(&fake);
    QMenu *menu = fake.button.findChild<QMenu *>();
    ASSERT_TRUE(menu);
    QStringList titles;
    for (const QAction *item : menu->actions())
        titles << item->text();
    EXPECT_EQ(titles, (QStringList{"Fake_Manual – (Manual Duplex)", "Fake_New", "Fake_Auto – (Automatic Duplex)", "", "Edit Settings …"}));
    menu->actions().at(2)->trigger();
    menu->actions().at(4)->trigger();
    EXPECT_EQ(fake.calls, (QStringList{"document automatic Fake_Auto", "preferences shown"}));

    // A menu that outlived its printer prints nothing.
    platform::LogCapture log;
    helper->printDocument(&fake, 3);
    EXPECT_EQ(log.lines(), QStringList{"Warning: Printer number 3 is no longer there; nothing was printed"});
}

TEST_F(VXPrintHelperTest, OptionKeyAndPrinterChangesSetThePopupMarker)
{
    printers = {"Fake_Laser"};
    defaults->setInteger(1, "Fake_Laser.printerType");
    helper->registerPrintButton(&fake.button);
    QWidget window;
    window.show();
    QTest::keyPress(window.windowHandle(), Qt::Key_Alt, Qt::AltModifier);
    EXPECT_FALSE(fake.button.icon().isNull());
    // Option held: the menu even for one automatic printer, and its item asks for the kind again.
    helper->printDocument(&fake);
    ASSERT_EQ(fake.outcome(), "menu");
    fake.button.findChild<QMenu *>()->actions().first()->trigger();
    EXPECT_EQ(fake.outcome(), "asked PrinterKindTitle");
    QTest::keyRelease(window.windowHandle(), Qt::Key_Alt, Qt::NoModifier);
    EXPECT_TRUE(fake.button.icon().isNull());
    // A printer coming makes several: the marker shows.
    printers << "Fake_Inkjet";
    platform::NotificationCenter::distributedCenter()->post(platform::PrinterWatcher::RegisteredNotification);
    EXPECT_FALSE(fake.button.icon().isNull());
}

TEST_F(VXPrintHelperTest, AutomaticDuplexFirstExplainsTheBindingUntilTicked)
{
    QTemporaryDir folder;
    ASSERT_TRUE(writeStringsTable(folder.path(), "en", "Localizable",
                                  {{"FAQ-UpsideDownPrint-Title", "Bound on the %1"}, {"LongSidedBinding", "long edge"}}));
    MainBundleScope bundle(folder.path());
    LanguageScope language("en");
    printers = {"Fake_Laser"};
    fake.current = "Fake_Laser";
    defaults->setInteger(1, "Fake_Laser.printerType");
    defaults->setBool(true, "Fake_Laser.manualDuplexRotateBacksides");
    defaults->setBool(true, VXPrintHelper::AutoShowUpsideDownPrintKey);
    helper->printDocument(&fake);
    ASSERT_EQ(fake.outcome(), "asked Bound on the long edge");
    EXPECT_TRUE(fake.asked.first().showsSuppressionButton && !fake.asked.first().suppressionButtonTicked);
    fake.answer(1000, true);
    EXPECT_EQ(fake.calls, QStringList{"document automatic "});
    EXPECT_FALSE(defaults->boolForKey(VXPrintHelper::AutoShowUpsideDownPrintKey));
}

TEST_F(VXPrintHelperTest, ServesTheDocumentsWithTheShellsWizard)
{
    struct Wizard : VXManualDuplexSetup
    {
        void setPrinterName(const QString &name) override { shownFor = name; }
        void showWindow() override { shownFor += " shown"; }
        QString shownFor;
    } wizard;
    EXPECT_EQ(VXDocumentPrinter::printServices(), helper);
    EXPECT_FALSE(helper->showManualDuplexSetup("Fake_Laser"));
    fake.wizard = &wizard;
    EXPECT_TRUE(helper->showManualDuplexSetup("Fake_Laser"));
    EXPECT_EQ(wizard.shownFor, "Fake_Laser shown");
}

// The router's request reaches the user as an alert with its check box and pop-up, and what the
// user leaves them at comes back with the button's code.
TEST(VXPrintAlertAdapter, CarriesTheCheckBoxAndThePopUpBothWays)
{
    VXPrintAlert::Request request;
    request.messageText = "Which printer?";
    request.buttonTitles = {"Select", "Cancel"};
    request.showsSuppressionButton = true;
    request.suppressionButtonTicked = true;
    request.choices = {"Laser", "Inkjet", "Plotter"};
    request.selectedChoice = "Inkjet";
    std::optional<VXPrintAlert::Response> response;
    VXPrintAlertAdapter().beginSheet(request, nullptr, [&](const VXPrintAlert::Response &given) { response = given; });

    auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    auto *popUp = box->findChild<QComboBox *>();
    ASSERT_TRUE(popUp && box->checkBox());
    EXPECT_TRUE(box->checkBox()->isChecked());
    EXPECT_EQ(popUp->count(), 3);
    EXPECT_EQ(popUp->currentText(), "Inkjet");
    box->checkBox()->setChecked(false);
    popUp->setCurrentIndex(2);
    box->buttons()[1]->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return response.has_value(); }));
    EXPECT_EQ(response->returnCode, 1001);
    EXPECT_FALSE(response->suppressionButtonTicked);
    EXPECT_EQ(response->choice, "Plotter");
}

TEST(QSPDFPrintView, PrintsTheChosenPagesAndKeepsTheLastOddOne)
{
    QTemporaryDir folder;
    const struct { int pageCount; int printPages; QList<int> printed; } cases[] = {
        {2, QSPDFPrintView::OddPages, {1}},
        {2, QSPDFPrintView::EvenPages, {2}},
        {2, QSPDFPrintView::AllPages, {1, 2}},
        {5, QSPDFPrintView::OddPages, {1, 3, 5}},
        {5, QSPDFPrintView::EvenPages, {2, 4}},
        {1, QSPDFPrintView::EvenPages, {-1}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.pageCount << " pages, printPages " << c.printPages);
        const QString path = PdfFixture::write(folder.path(), QStringLiteral("test%1.pdf").arg(c.pageCount),
                                               PdfFixture::pages(PdfFixture::numbered(c.pageCount)));
        QSPDFPrintView view(QUrl::fromLocalFile(path));
        view.setPrintPages(c.printPages);
        platform::LogCapture log;
        EXPECT_EQ(printedNumbers(view, view.pageSize()), c.printed);
    }

    platform::LogCapture log;
    EXPECT_EQ(QSPDFPrintView(QUrl::fromLocalFile(folder.filePath(QStringLiteral("missing.pdf")))).pageCount(), 0u);
}
