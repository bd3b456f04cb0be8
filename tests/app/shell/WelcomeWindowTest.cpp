#include "app/booklet/Document.h"
#include "app/shell/AppDelegate.h"
#include "app/shell/VXDocumentController.h"
#include "app/shell/VXSingleInstance.h"
#include "app/shell/VXWelcomeWindowController.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/Alert.h"
#include "platform/ui/OpenPanel.h"
#include "RQS-Kit/Foundation/StringExtension.h"

#include "OpenedDocument.h"
#include "support/PdfFixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// The welcome window of a launched application, its buttons pressed; the open panel and the alerts
// answered by the test.
class WelcomeWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        platform::OpenPanel::setResponder([this](QFileDialog &dialog) {
            if (chosen.isEmpty())
                return platform::OpenPanel::CancelButton;
            filters = dialog.nameFilters();
            dialog.selectFile(chosen);
            return platform::OpenPanel::OKButton;
        });
        platform::Alert::setResponder([this](const platform::Alert &alert) {
            told << alert.messageText() + " " + alert.informativeText();
            return platform::Alert::FirstButtonReturn;
        });
        delegate.setWelcomeWindow(&welcome);
        delegate.applicationDidFinishLaunching();
    }
    void TearDown() override
    {
        platform::OpenPanel::setResponder(nullptr);
        platform::Alert::setResponder(nullptr);
        for (Document *document : documents.documents())
            documents.removeDocument(document);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        platform::UserDefaults::standardUserDefaults()->setBool(true, AppDelegate::ShowWelcomeAtStartKey);
    }

    QAbstractButton *button(const char *name) { return welcome.window()->findChild<QAbstractButton *>(name); }
    bool welcomeShown() { return welcome.window()->isVisible(); }

    QTemporaryDir folder;
    VXDocumentController documents;
    AppDelegate delegate{&documents};
    VXWelcomeWindowController welcome{delegate};
    QString chosen;
    QStringList told;
    QStringList filters;
};

TEST_F(WelcomeWindowTest, OpenClosesItAndOpensTheChosenPdfInAWindowWithTheApplicationsMenus)
{
    ASSERT_TRUE(welcomeShown()) << "shown at start";
    chosen = PdfFixture::write(folder.path(), "Leaflet.pdf", PdfFixture::pages(PdfFixture::numbered(3)));
    button("openButton")->click();
    EXPECT_FALSE(welcomeShown()) << "closed before the panel";
    ASSERT_TRUE(QTest::qWaitFor([&] { return documents.documents().size() == 1; }, 5000));
    ASSERT_EQ(filters.size(), 1);
    EXPECT_TRUE(filters.first().startsWith("PDF documents and pictures (*.pdf *.")) << filters.first().toStdString();
    platform::Window *window = documents.documents().first()->documentWindow();
    ASSERT_TRUE(window && window->isVisible());
    EXPECT_FALSE(welcomeShown());

    const QList<QAction *> menus = qobject_cast<QMenuBar *>(window->menuWidget())->actions();
    EXPECT_EQ(menus.first()->menu()->actions().first()->text(), "New") << "File begins with the application's items";
    QMenu *application = menus.last()->menu();
    ASSERT_EQ(menus.last()->text(), "Foldwise");
    for (QAction *item : application->actions()) {
        if (item->objectName() == "updateItem")
            item->trigger();
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return !told.isEmpty(); }, 5000));
    EXPECT_TRUE(told.first().contains("0.1") && told.first().contains("package manager")) << told.first().toStdString();
}

// Without it the process would end: no window would be left.
TEST_F(WelcomeWindowTest, CancellingTheOpenPanelBringsItBack)
{
    button("openButton")->click();
    EXPECT_FALSE(welcomeShown());
    EXPECT_FALSE(delegate.shouldTerminateNow()) << "the panel is up";
    EXPECT_TRUE(QTest::qWaitFor([&] { return welcomeShown(); }, 5000));
    EXPECT_TRUE(documents.documents().isEmpty());
}

TEST_F(WelcomeWindowTest, NewStartsAnEmptyDocumentAndTheCheckBoxKeepsTheChoice)
{
    ASSERT_EQ(welcome.checkbox(), welcome.window()->findChild<QAbstractButton *>("checkbox"));
    welcome.checkbox()->click();
    EXPECT_FALSE(platform::UserDefaults::standardUserDefaults()->boolForKey(AppDelegate::ShowWelcomeAtStartKey));
    button("newButton")->click();
    EXPECT_FALSE(welcomeShown());
    ASSERT_EQ(documents.documents().size(), 1);
    EXPECT_TRUE(documents.documents().first()->fileURL().isEmpty());
}

// There is no batch factory window: the chosen files take the road of files put into the factory.
TEST_F(WelcomeWindowTest, TheFactoryButtonKeepsItOpen)
{
    chosen = PdfFixture::write(folder.path(), "Leaflet.pdf", PdfFixture::pages(PdfFixture::numbered(3)));
    button("factoryButton")->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return documents.documents().size() == 1; }, 5000));
    EXPECT_TRUE(welcomeShown());
}

// Starting Foldwise again without files, through the socket a later launch uses.
TEST_F(WelcomeWindowTest, ALaunchWithoutFilesBringsTheRunningOneToTheFront)
{
    VXSingleInstance running(folder.filePath("foldwise-test"));
    ASSERT_TRUE(running.listen());
    QObject::connect(&running, &VXSingleInstance::filesReceived, &delegate,
                     [this](VXSingleInstance::Request request, const QStringList &paths) { delegate.openRequested(request, paths); });
    const auto launchAgain = [&] { return VXSingleInstance(folder.filePath("foldwise-test")).forward(VXSingleInstance::Request::OpenFiles, {}); };

    welcome.window()->close();
    ASSERT_TRUE(launchAgain());
    EXPECT_TRUE(QTest::qWaitFor([&] { return welcomeShown(); }, 5000)) << "no window was open: the welcome window shows";

    Document *document = openedDocument(documents, QUrl::fromLocalFile(PdfFixture::write(folder.path(), "Leaflet.pdf", PdfFixture::pages(PdfFixture::numbered(3)))));
    ASSERT_TRUE(document && document->documentWindow());
    welcome.window()->close();
    QWidget elsewhere;
    elsewhere.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&elsewhere));
    elsewhere.activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &elsewhere; }, 5000));
    ASSERT_TRUE(launchAgain());
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == document->documentWindow(); }, 5000))
        << "the document's window comes to the front";
    EXPECT_FALSE(welcomeShown());
}

// With the box unticked, a start without files shows the welcome window all the same, once no
// document is being opened: without a window Foldwise would end. Files given keep it away, ticked
// or not.
TEST(WelcomeWindowAtLaunch, TheBoxUntickedAStartWithoutFilesStillShowsItAndFilesKeepItAway)
{
    QTemporaryDir folder;
    platform::UserDefaults *defaults = platform::UserDefaults::standardUserDefaults();
    for (const bool ticked : {true, false}) {
        for (const bool withFile : {false, true}) {
            SCOPED_TRACE(QStringLiteral("ticked %1, with a file %2").arg(ticked).arg(withFile).toStdString());
            defaults->setBool(ticked, AppDelegate::ShowWelcomeAtStartKey);
            VXDocumentController documents;
            AppDelegate delegate{&documents};
            VXWelcomeWindowController welcome{delegate};
            delegate.setWelcomeWindow(&welcome);
            if (withFile)
                delegate.openFiles({PdfFixture::write(folder.path(), "Leaflet.pdf", PdfFixture::pages(PdfFixture::numbered(2)))});
            delegate.applicationDidFinishLaunching();
            if (!withFile)
                delegate.openUntitledUnlessDocumentsOpen();
            if (withFile)
                ASSERT_TRUE(QTest::qWaitFor([&] { return documents.documents().size() == 1 && documents.documents().first()->documentWindow(); }, 10000));
            else
                EXPECT_TRUE(QTest::qWaitFor([&] { return welcome.window()->isVisible(); }, 5000));
            EXPECT_EQ(welcome.window()->isVisible(), !withFile);
            for (Document *document : documents.documents())
                documents.removeDocument(document);
            welcome.window()->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }
    defaults->setBool(true, AppDelegate::ShowWelcomeAtStartKey);
}

// The titles of the windows shown, the welcome window's by its name. A panel of a shown window
// (the help a document's window opens by itself on its first turn, which comes before or after the
// other document is read) is part of that window.
QStringList shownWindows(VXWelcomeWindowController &welcome)
{
    QStringList shown;
    for (QWidget *window : QApplication::topLevelWidgets()) {
        const QWidget *owner = window->parentWidget() ? window->parentWidget()->window() : nullptr;
        if (window->isVisible() && !(owner && owner->isVisible()))
            shown << (window == welcome.window() ? QStringLiteral("welcome") : window->windowTitle().remove("[*]"));
    }
    shown.sort();
    return shown;
}

// Started with several files, as main() starts: the question about them stands alone, and then
// only what the user chose shows; never the welcome window, which would be left over.
TEST(WelcomeWindowAtLaunch, SeveralFilesGivenAtLaunchAskAloneThenShowOnlyWhatWasChosen)
{
    QTemporaryDir folder;
    const QStringList files{PdfFixture::write(folder.path(), "Front.pdf", PdfFixture::pages(PdfFixture::numbered(2))),
                            PdfFixture::write(folder.path(), "Back.pdf", PdfFixture::pages(PdfFixture::numbered(2)))};
    const struct
    {
        const char *answered;
        int answer;
        QStringList shown;
        bool ends;
    } cases[] = {
        {"as documents", platform::Alert::FirstButtonReturn + 1, {"Back.pdf", "Front.pdf"}, false},
        {"cancelled", platform::Alert::FirstButtonReturn + 2, {}, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.answered);
        VXDocumentController documents;
        AppDelegate delegate{&documents};
        VXWelcomeWindowController welcome{delegate};
        QSignalSpy replies(&delegate, &AppDelegate::replyToOpenOrPrint);
        QStringList asked;
        QStringList shownWhenAsked{"not asked"};
        platform::Alert::setResponder([&](const platform::Alert &alert) {
            asked << alert.messageText();
            shownWhenAsked = shownWindows(welcome);
            return c.answer;
        });
        delegate.setWelcomeWindow(&welcome);
        delegate.openFiles(files);
        delegate.applicationDidFinishLaunching();
        EXPECT_EQ(shownWindows(welcome), QStringList());
        ASSERT_TRUE(QTest::qWaitFor([&] { return !replies.isEmpty(); }, 10000));
        EXPECT_EQ(asked, QStringList{rqs::localized("OpenMultipleTitle")});
        EXPECT_EQ(shownWhenAsked, QStringList()) << "nothing behind the question";
        EXPECT_EQ(shownWindows(welcome), c.shown);
        EXPECT_EQ(delegate.shouldTerminateNow(), c.ends);
        platform::Alert::setResponder(nullptr);
        for (Document *document : documents.documents())
            document->close();
        EXPECT_TRUE(QTest::qWaitFor([&] { return shownWindows(welcome).isEmpty(); }, 5000));
    }
}

} // namespace

// Ctrl+Q in a document window's File menu closes the documents, asking about an edited one as its
// close button does: Cancel keeps it and quits nothing; Don't Save closes it and the process may end.
TEST_F(WelcomeWindowTest, QuitInTheFileMenuAsksAboutUnsavedDocumentsBeforeEnding)
{
    QSignalSpy quits(&delegate, &AppDelegate::readyToQuit);
    for (const char *name : {"First.pdf", "Edited.pdf"})
        openedDocument(documents, QUrl::fromLocalFile(PdfFixture::write(folder.path(), name, PdfFixture::pages(PdfFixture::numbered(2)))));
    ASSERT_EQ(documents.documents().size(), 2);
    Document *edited = documents.documents().last();
    edited->setDocumentEdited(true);
    const auto quitItem = [&]() -> QAction * {
        QAction *file = qobject_cast<QMenuBar *>(documents.documents().first()->documentWindow()->menuWidget())->actions().first();
        for (QAction *item : file->menu()->actions())
            if (item->objectName() == "quitItem")
                return item;
        return nullptr;
    };
    QAction *quit = quitItem();
    ASSERT_NE(quit, nullptr);
    EXPECT_EQ(quit->shortcut(), QKeySequence("Ctrl+Q"));

    struct Case { int answer; qsizetype left; qsizetype quits; };
    for (const Case &c : {Case{platform::Alert::FirstButtonReturn + 2, 1, 0}, Case{platform::Alert::FirstButtonReturn + 1, 0, 1}}) {
        SCOPED_TRACE(c.answer);
        told.clear();
        platform::Alert::setResponder([&](const platform::Alert &alert) {
            told << alert.messageText();
            return c.answer;
        });
        quitItem()->trigger();
        EXPECT_TRUE(QTest::qWaitFor([&] { return told.size() == 1 && documents.documents().size() == c.left && quits.size() == c.quits; }, 5000));
        EXPECT_EQ(documents.documents().size(), c.left);
        EXPECT_EQ(quits.size(), c.quits);
        EXPECT_EQ(told.size(), 1) << "only the edited one asks";
    }
}
