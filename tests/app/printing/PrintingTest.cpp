#include "app/booklet/VXDocumentPrinter.h"
#include "app/booklet/VXPrintableDocument.h"
#include "app/printing/QSPDFPrintView.h"
#include "app/printing/VXApplicationServices.h"
#include "app/printing/VXManualDuplexSetup.h"
#include "app/printing/VXPreferencesWindow.h"
#include "app/printing/VXPrintFactory.h"
#include "app/printing/VXPrintHelper.h"
#include "app/shell/VXDocumentController.h"
#include "app/shell/VXFactoryController.h"
#include "app/window/VXDocumentWindowController.h"
#include "RQS-Kit/Foundation/StringExtension.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/printing/PrintInfo.h"
#include "platform/printing/PrintOperation.h"
#include "platform/printing/PrinterCache.h"
#include "platform/printing/PrinterList.h"
#include "platform/printing/PrinterWatcher.h"
#include "platform/ui/Alert.h"

#include "support/CupsServerTest.h"
#include "support/MainBundleScope.h"
#include "support/PdfFixture.h"
#include "support/QtPrinters.h"
#include "support/StringsTables.h"

#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

namespace {

// Stands in for all the router talks to (document, factory, shell, preferences, wizard) and, through the alerts'
// responder, for the user: records what is asked and gives the answers queued, the check box left as shown when none.
class FakePrintTargets : public QObject, public VXPrintableDocument, public VXPrintFactory, public VXApplicationServices,
                         public VXPreferencesWindow, public VXManualDuplexSetup
{
public:
    void printAutomaticDuplex(const QString &name) override { calls << "document automatic " + name; }
    void printManualDuplexWithPrinter(const QString &name) override { calls << "document manual " + name; }
    void printOnPrinter(const QString &name, bool manual) override { calls << QString("factory %1 %2").arg(manual ? "manual" : "automatic", name); }
    bool open(const QString &name, Finished finished) override
    {
        calls << "wizard for " + name;
        wizardFinished = std::move(finished);
        return true;
    }
    void showWindow() override { calls << "window shown"; }
    int respond(platform::Alert &alert)
    {
        asked << alert.messageText();
        preselected << alert.selectedChoice();
        proposed << alert.defaultButtonReturn();
        const auto [code, ticked] = answers.isEmpty() ? std::pair(0, alert.suppressionButtonTicked()) : answers.takeFirst();
        alert.setSuppressionButtonTicked(ticked);
        return code;
    }
    platform::Window *windowForSheet() const override { return nullptr; }
    platform::PrintInfo &printInfo() override { return info; }
    QAbstractButton *printButton() const override { return &button; }
    QString currentPrinterName() const override { return current; }
    platform::Window *factoryWindow() const override { return nullptr; }
    VXPrintFactory *factory() const override { return const_cast<FakePrintTargets *>(this); }
    VXPreferencesWindow *preferences() const override { return const_cast<FakePrintTargets *>(this); }
    VXManualDuplexSetup *manualDuplexSetup() const override { return wizard; }

    // Lets the ends of the alerts, and the work they post, run.
    static void settle()
    {
        for (int turn = 0; turn < 3; ++turn)
            QCoreApplication::processEvents();
    }
    QString outcome() const
    {
        const bool menu = button.findChild<QMenu *>();
        return !calls.isEmpty() ? calls.join('|') : !asked.isEmpty() ? "asked " + asked.last() : menu ? "menu" : "nothing";
    }
    void reset()
    {
        calls.clear();
        asked.clear();
        proposed.clear();
        preselected.clear();
        delete button.findChild<QMenu *>();
    }

    QStringList calls;
    QStringList asked;
    // Each alert's default button, and the choice it proposes.
    QList<int> proposed;
    QStringList preselected;
    QList<std::pair<int, bool>> answers;
    platform::PrintInfo info;
    mutable QPushButton button;
    QString current;
    VXManualDuplexSetup *wizard = nullptr;
    Finished wizardFinished;
};

} // namespace

class VXPrintHelperTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        helper->setApplicationServices(&fake);
        platform::Alert::setResponder([this](platform::Alert &alert) { return fake.respond(alert); });
        helper->setPrinterNamesSource([this] { return printers; });
        defaults->setBool(false, VXPrintHelper::AutoShowUpsideDownPrintKey);
    }
    void TearDown() override
    {
        helper->setApplicationServices(nullptr);
        platform::Alert::setResponder(nullptr);
        helper->setPrinterNamesSource({});
        helper->deregisterPrintButton(&fake.button);
        for (const QString &key : defaults->dictionaryRepresentation().keys())
            defaults->removeObjectForKey(key);
    }

    QStringList printers;
    FakePrintTargets fake;
    VXPrintHelper *helper = VXPrintHelper::sharedHelper();
    platform::UserDefaults *defaults = platform::UserDefaults::standardUserDefaults();
};

// A printer of no known kind is asked about; the next press of the print button goes by the kind kept.
TEST_F(VXPrintHelperTest, PrinterKindIsAskedForAndKeptOnlyWhenRemembered)
{
    const QString askedKind = "asked " + rqs::localized("PrinterKindTitle");
    const struct { QStringList printers; bool document; int code; bool ticked; QString printed; QString next; } cases[] = {
        {{"Fake_Laser"}, false, 1001, true, "factory manual Fake_Laser", "factory manual Fake_Laser"},
        {{"Fake_Laser"}, true, 1000, true, "document automatic Fake_Laser", "document automatic "},
        {{"Fake_Laser"}, true, 1001, false, "document manual Fake_Laser", askedKind},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.printers.size() << " printers, " << c.code << (c.ticked ? " ticked" : ""));
        TearDown();
        SetUp();
        fake.reset();
        printers = c.printers;
        VXPrintableDocument *target = c.document ? &fake : nullptr;
        fake.answers = {{c.code, c.ticked}};
        helper->printDocument(target);
        fake.settle();
        EXPECT_EQ(fake.calls, QStringList{c.printed});
        EXPECT_EQ(defaults->boolForKey(VXPrintHelper::RememberPrinterTypeKey), c.ticked);
        fake.reset();
        helper->printDocument(target);
        EXPECT_EQ(fake.outcome(), c.next);
        fake.settle();
    }
}

// The question can be backed out of: closed, it prints nothing and keeps nothing, and the next
// press asks again. A printer the print server says nothing of is proposed as printing one side.
TEST_F(VXPrintHelperTest, ClosingThePrinterKindQuestionPrintsNothing)
{
    printers = {"Fake_Laser"};
    for (VXPrintableDocument *target : {static_cast<VXPrintableDocument *>(&fake), static_cast<VXPrintableDocument *>(nullptr)}) {
        SCOPED_TRACE(target ? "document" : "factory");
        fake.reset();
        fake.answers = {{platform::Alert::DismissedReturn, false}};
        platform::LogCapture log;
        helper->printDocument(target);
        fake.settle();
        EXPECT_EQ(fake.asked, QStringList{rqs::localized("PrinterKindTitle")});
        EXPECT_EQ(fake.proposed, QList<int>{platform::Alert::FirstButtonReturn + 1});
        EXPECT_EQ(fake.calls, QStringList());
        EXPECT_TRUE(log.contains("Info: Nothing was printed: the question whether \"Fake_Laser\" prints both sides was closed unanswered"));
        EXPECT_TRUE(defaults->boolForKey(VXPrintHelper::RememberPrinterTypeKey)) << "the box was not answered either";
        EXPECT_EQ(defaults->integerForKey("Fake_Laser.printerType"), VXPrintHelper::PrinterTypeNotChosen);
    }
}

// Without any printer (none set up, or no print server to ask) every road says so at once and
// asks nothing.
TEST_F(VXPrintHelperTest, WithoutAPrinterEveryRoadTellsSoAtOnce)
{
    const QString none = rqs::localized("NoPrinterTitle");
    const std::pair<const char *, std::function<void()>> roads[] = {
        {"print button", [&] { helper->printDocument(&fake); }},
        {"factory's print button", [&] { helper->printDocument(nullptr); }},
        {"Print command", [&] { helper->printAutomaticDuplex(&fake, QString()); }},
        {"manual duplex command", [&] { helper->selectManualDuplexPrinterAndPrintDocument(&fake); }},
    };
    for (const auto &[road, press] : roads) {
        SCOPED_TRACE(road);
        fake.reset();
        fake.answers = {{platform::Alert::FirstButtonReturn, false}};
        press();
        fake.settle();
        EXPECT_EQ(fake.asked, QStringList{none});
        EXPECT_EQ(fake.calls, QStringList());
    }
}

TEST_F(VXPrintHelperTest, OptionAndSeveralPrintersGiveTheMenuThatShowsTypesAndPrintsOnTheChosenPrinter)
{
    printers = {"Fake_Auto"};
    defaults->setInteger(1, "Fake_Auto.printerType");
    helper->registerPrintButton(&fake.button);
    fake.button.show();
    // Option held: the marker, and the menu even for one automatic printer; its item asks for the kind again.
    QTest::keyPress(fake.button.windowHandle(), Qt::Key_Alt, Qt::AltModifier);
    EXPECT_FALSE(fake.button.icon().isNull());
    helper->printDocument(&fake);
    ASSERT_EQ(fake.outcome(), "menu");
    fake.button.findChild<QMenu *>()->actions().first()->trigger();
    EXPECT_EQ(fake.outcome(), "asked " + rqs::localized("PrinterKindTitle"));
    fake.settle();
    QTest::keyRelease(fake.button.windowHandle(), Qt::Key_Alt, Qt::NoModifier);
    EXPECT_TRUE(fake.button.icon().isNull());

    // Printers coming make several: the marker shows, and the menu names each with its type.
    printers = {"Fake_Manual", "Fake_New", "Fake_Auto"};
    defaults->setInteger(2, "Fake_Manual.printerType");
    defaults->setInteger(1, "Fake_Auto.printerType");
    platform::NotificationCenter::distributedCenter()->post(platform::PrinterWatcher::RegisteredNotification);
    EXPECT_FALSE(fake.button.icon().isNull());
    fake.reset();
    helper->printDocument(&fake);
    QMenu *menu = fake.button.findChild<QMenu *>();
    ASSERT_TRUE(menu);
    EXPECT_EQ(menu->actions().at(0)->text(), "Fake_Manual – (Manual Duplex)");
    EXPECT_EQ(menu->actions().at(1)->text(), "Fake_New");
    menu->actions().at(2)->trigger();
    menu->actions().at(4)->trigger();
    EXPECT_EQ(fake.calls, (QStringList{"document automatic Fake_Auto", "window shown"}));

    // A menu that outlived its printer prints nothing.
    platform::LogCapture log;
    helper->printDocument(&fake, 3);
    EXPECT_EQ(log.lines(), QStringList{"Warning: Printer number 3 is no longer there; nothing was printed"});
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
    fake.answers = {{1000, true}};
    helper->printDocument(&fake);
    fake.settle();
    EXPECT_EQ(fake.asked, QStringList{"Bound on the long edge"});
    EXPECT_EQ(fake.calls, QStringList{"document automatic "});
    EXPECT_FALSE(defaults->boolForKey(VXPrintHelper::AutoShowUpsideDownPrintKey));
}

// The print button, the menu and the printer chosen there read the cache of the private server's
// queues; none of them waits on the server.
TEST_F(VXPrintHelperTest, PrintButtonRoadsReadThePrinterCacheAndNeverAskTheServerOnTheGuiThread)
{
    if (qEnvironmentVariable("FOLDWISE_TEST_CUPS_DIR").isEmpty())
        GTEST_SKIP() << "no private cupsd (scripts/test starts one)";
    helper->setPrinterNamesSource({});
    platform::PrinterCache *cache = platform::PrinterCache::shared();
    ASSERT_TRUE(QTest::qWaitFor([&] { return cache->isLoaded(); }, 20000));
    const int asks = platform::PrinterList::guiThreadAsks();

    helper->printDocument(&fake);
    QMenu *menu = fake.button.findChild<QMenu *>();
    ASSERT_TRUE(menu);
    const QList<QAction *> items = menu->actions();
    const auto duplex = std::find_if(items.begin(), items.end(), [](QAction *item) { return item->text() == "Duplex_Printer"; });
    ASSERT_NE(duplex, items.end());
    fake.answers = {{1000, true}};
    (*duplex)->trigger();
    fake.settle();
    EXPECT_EQ(fake.asked, QStringList{rqs::localized("PrinterKindTitle")});
    EXPECT_EQ(fake.proposed, QList<int>{1000}) << "the queue has a duplex option";
    EXPECT_EQ(fake.calls, QStringList{"document automatic Duplex_Printer"});
    EXPECT_EQ(fake.info.printerName(), "Duplex_Printer");

    // A queue without one: "Prints One Side Only" is proposed.
    fake.reset();
    helper->printDocument(&fake);
    const QList<QAction *> again = fake.button.findChild<QMenu *>()->actions();
    const auto simplex = std::find_if(again.begin(), again.end(), [](QAction *item) { return item->text() == "Simplex_Printer"; });
    ASSERT_NE(simplex, again.end());
    fake.answers = {{platform::Alert::DismissedReturn, true}};
    (*simplex)->trigger();
    fake.settle();
    EXPECT_EQ(fake.proposed, QList<int>{1001});
    EXPECT_EQ(fake.calls, QStringList());
    EXPECT_EQ(platform::PrinterList::guiThreadAsks(), asks);
}

// The Print command never sends a two-sided job to a printer kept as printing one side at a time:
// the booklet goes there in two runs, whether the printer is named, the document's or the current
// one. A printer kept as automatic duplex, or not yet known, gets the one job.
TEST_F(VXPrintHelperTest, ThePrintCommandPrintsInTwoRunsOnAPrinterKeptAsManualDuplex)
{
    printers = {"Fake_Laser", "Fake_Inkjet", "Fake_New"};
    defaults->setInteger(VXPrintHelper::PrinterTypeAutomaticDuplex, "Fake_Laser.printerType");
    defaults->setInteger(VXPrintHelper::PrinterTypeManualDuplex, "Fake_Inkjet.printerType");
    const struct { const char *named, *documents, *current; bool document; QString printed; } cases[] = {
        {"", "", "Fake_Inkjet", true, "document manual Fake_Inkjet"},
        {"", "", "Fake_Inkjet", false, "factory manual Fake_Inkjet"},
        {"", "Fake_Inkjet", "Fake_Laser", true, "document manual Fake_Inkjet"},
        {"Fake_Inkjet", "Fake_Laser", "Fake_Laser", true, "document manual Fake_Inkjet"},
        {"", "Fake_Laser", "Fake_Inkjet", true, "document automatic "},
        {"", "", "Fake_New", true, "document automatic "},
        {"Fake_Laser", "", "Fake_Inkjet", false, "factory automatic Fake_Laser"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "named " << c.named << ", document's " << c.documents << ", current " << c.current);
        fake.reset();
        fake.info.setPrinterName(c.documents);
        fake.current = c.current;
        helper->printAutomaticDuplex(c.document ? &fake : nullptr, c.named);
        fake.settle();
        EXPECT_EQ(fake.calls, QStringList{c.printed});
        EXPECT_EQ(fake.asked, QStringList()) << "no binding advice for a printer that prints one side";
    }
}

// Without a printer of its own the document proposes the system's current printer for a manual
// duplex run, not the first of the list.
TEST_F(VXPrintHelperTest, TheManualDuplexPrinterSheetProposesTheDocumentsOrTheCurrentPrinter)
{
    printers = {"Fake_Laser", "Fake_Inkjet", "Fake_Office"};
    fake.current = "Fake_Office";
    for (const QString &documents : {QString(), QString("Fake_Inkjet")}) {
        SCOPED_TRACE(documents.toStdString());
        fake.reset();
        fake.info.setPrinterName(documents);
        fake.answers = {{platform::Alert::FirstButtonReturn, false}};
        helper->selectManualDuplexPrinterAndPrintDocument(&fake);
        fake.settle();
        const QString proposed = documents.isEmpty() ? fake.current : documents;
        EXPECT_EQ(fake.asked, QStringList{rqs::localized("SelectManualDuplexPrinterTitle")});
        EXPECT_EQ(fake.preselected, QStringList{proposed});
        EXPECT_EQ(fake.calls, QStringList{"document manual " + proposed});
    }
}

TEST_F(VXPrintHelperTest, ServesTheDocumentsWithTheShellsWizard)
{
    EXPECT_EQ(VXDocumentPrinter::printServices(), helper);
    QStringList heard;
    const auto finished = [&](const QString &recorded) { heard << recorded; };
    EXPECT_FALSE(helper->showManualDuplexSetup("Fake_Laser", finished));
    fake.wizard = &fake;
    EXPECT_TRUE(helper->showManualDuplexSetup("Fake_Laser", finished));
    EXPECT_EQ(fake.calls, QStringList{"wizard for Fake_Laser"});
    ASSERT_TRUE(fake.wizardFinished);
    fake.wizardFinished("Fake_Laser");
    EXPECT_EQ(heard, QStringList{"Fake_Laser"}) << "the wizard's end reaches the run that opened it";
}

// The fronts and the backs of a test print are as many: an odd last page is in neither run.
TEST(QSPDFPrintView, PrintsTheChosenPagesIntoAFileAndLeavesAnOddLastPageOutOfBothRuns)
{
    QTemporaryDir folder;
    const struct { int pageCount; int printPages; QList<int> printed; } cases[] = {
        {2, QSPDFPrintView::AllPages, {1, 2}},
        {2, QSPDFPrintView::OddPages, {1}},
        {2, QSPDFPrintView::EvenPages, {2}},
        {5, QSPDFPrintView::OddPages, {1, 3}},
        {5, QSPDFPrintView::EvenPages, {2, 4}},
        {5, QSPDFPrintView::AllPages, {1, 2, 3, 4, 5}},
        {1, QSPDFPrintView::OddPages, {}},
        {0, QSPDFPrintView::AllPages, {}}, // a file that cannot be read: nothing to print
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.pageCount << " pages, printPages " << c.printPages);
        const QByteArray bytes = c.pageCount ? PdfFixture::pages(PdfFixture::numbered(c.pageCount)) : QByteArray("no PDF");
        QSPDFPrintView view(QUrl::fromLocalFile(PdfFixture::write(folder.path(), QString("test%1.pdf").arg(c.pageCount), bytes)));
        view.setPrintPages(c.printPages);
        platform::PrintInfo info;
        info.setPaperSize(view.pageSize());
        info.setJobDisposition(platform::PrintInfo::JobDisposition::Save);
        info.setJobSavingUrl(QUrl::fromLocalFile(folder.filePath("printed.pdf")));
        platform::LogCapture log;
        EXPECT_EQ(platform::PrintOperation(view, info).run(), !c.printed.isEmpty());
        const QByteArray printed = c.printed.isEmpty() ? QByteArray() : PdfFixture::read(folder.filePath("printed.pdf"));
        QList<int> numbers;
        for (int page = 0; page < PdfFixture::pdfPages(printed).size(); ++page)
            numbers << PdfFixture::text(printed, page).simplified().remove("Page ").toInt();
        EXPECT_EQ(numbers, c.printed);
    }
}

// Print buttons made once the printers are known (a document window opened, the factory shown
// after the list has loaded) show at once the marker that fits the printers, before any update:
// the marker with several, none with one.
class PrintButtonMarker : public CupsServerTest
{
protected:
    void TearDown() override { VXPrintHelper::sharedHelper()->setPrinterNamesSource({}); }
};

TEST_F(PrintButtonMarker, AButtonMadeAfterThePrintersAreKnownShowsTheMarkerThatFitsThem)
{
    ASSERT_TRUE(QTest::qWaitFor([] { return platform::PrinterCache::shared()->printerNames().size() >= 2; }, 20000));
    QTemporaryDir folder;
    const QString pdf = PdfFixture::write(folder.path(), "Leaflet.pdf", PdfFixture::pages(PdfFixture::numbered(4)));
    const struct { const char *printers; std::function<QStringList()> source; bool marker; } cases[] = {
        {"the print server's queues", {}, true},
        {"one printer", [] { return QStringList{"Fake_Laser"}; }, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.printers);
        VXPrintHelper::sharedHelper()->setPrinterNamesSource(c.source);
        Document document;
        ASSERT_TRUE(document.openURL(QUrl::fromLocalFile(pdf), Document::PdfType));
        VXDocumentWindowController *window = VXDocumentWindowController::makeWindowController(&document);
        document.showWindows();
        ASSERT_TRUE(window->printButton());
        EXPECT_EQ(!window->printButton()->icon().isNull(), c.marker) << "the document window's Print…";
        VXDocumentController documents;
        VXFactoryController factory(&documents);
        factory.showWindow();
        ASSERT_TRUE(factory.printButton());
        EXPECT_EQ(!factory.printButton()->icon().isNull(), c.marker) << "the factory's Print All";
        document.close();
    }
}
