#include "app/core/Document.h"
#include "app/workflow/AppDelegate.h"
#include "app/workflow/VXApplicationMover.h"
#include "app/workflow/VXBookmarks.h"
#include "app/workflow/VXDocumentController.h"
#include "app/workflow/VXPDFServiceInstaller.h"
#include "app/workflow/VXSoftwareUpdater.h"
#include "app/workflow/VXWelcomeWindow.h"
#include "platform/Alert.h"
#include "platform/UserDefaults.h"
#include "platform/Window.h"

#include "support/PdfFixture.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class AppDelegateTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        platform::Alert::setResponder([this](const platform::Alert &alert) {
            asked << alert.messageText();
            // A file that arrives while the user is asked.
            if (lateFile.size())
                delegate.openFiles({std::exchange(lateFile, {})});
            return answer;
        });
    }
    void TearDown() override { platform::Alert::setResponder(nullptr); }

    QString pdf(const QString &name) { return PdfFixture::write(folder.path(), name, PdfFixture::pages(PdfFixture::numbered(2))); }
    // Waits until that many batches have been answered.
    bool replied(qsizetype count) { return QTest::qWaitFor([&] { return replies.size() >= count; }, 5000); }
    QStringList openNames() const
    {
        QStringList names;
        for (const Document *document : documents.documents())
            names << document->fileURL().fileName();
        return names;
    }

    QTemporaryDir folder;
    VXDocumentController documents;
    AppDelegate delegate{&documents};
    QSignalSpy replies{&delegate, &AppDelegate::replyToOpenOrPrint};
    QStringList asked;
    int answer = platform::Alert::FirstButtonReturn + 2;
    QString lateFile;
};

TEST_F(AppDelegateTest, OneFileOpensAsADocumentWithoutAQuestion)
{
    delegate.openFiles({pdf("one.pdf")});
    EXPECT_FALSE(delegate.applicationShouldTerminateAfterLastWindowClosed()) << "a batch is on its way";
    ASSERT_TRUE(replied(1));
    EXPECT_EQ(replies.at(0).at(0).toInt(), AppDelegate::OpenSuccess);
    EXPECT_EQ(openNames(), QStringList{"one.pdf"});
    EXPECT_TRUE(asked.isEmpty());

    // A file that cannot be read is told to the user and answered as a failure.
    delegate.openFiles({folder.filePath("missing.pdf")});
    ASSERT_TRUE(replied(2));
    EXPECT_EQ(replies.at(1).at(0).toInt(), AppDelegate::OpenFailure);
    EXPECT_EQ(asked, QStringList{"The file “missing.pdf” could not be opened."});
    EXPECT_EQ(openNames(), QStringList{"one.pdf"});
}

TEST_F(AppDelegateTest, SeveralFilesAskOnceAndFollowTheAnswer)
{
    struct Case
    {
        int answer;
        int reply;
        QStringList opened;
    };
    const QList<Case> cases{
        // The batch factory is not there: its files open as documents.
        {platform::Alert::FirstButtonReturn, AppDelegate::OpenSuccess, {"a.pdf", "b.pdf", "c.pdf"}},
        {platform::Alert::FirstButtonReturn + 1, AppDelegate::OpenSuccess, {"a.pdf", "b.pdf", "c.pdf"}},
        {platform::Alert::FirstButtonReturn + 2, AppDelegate::OpenCancel, {}},
    };
    const QStringList files{pdf("a.pdf"), pdf("b.pdf"), pdf("c.pdf")};
    for (const Case &c : cases) {
        for (Document *document : documents.documents())
            documents.removeDocument(document);
        asked.clear();
        replies.clear();
        answer = c.answer;
        // Each file arrives by itself; all come within the gathering time.
        for (const QString &file : files)
            delegate.openFiles({file});
        ASSERT_TRUE(replied(1)) << c.answer;
        EXPECT_EQ(asked, QStringList{"Several files were opened at once"}) << c.answer;
        EXPECT_EQ(replies.at(0).at(0).toInt(), c.reply) << c.answer;
        EXPECT_EQ(openNames(), c.opened) << c.answer;
    }
}

TEST_F(AppDelegateTest, AFileArrivingWhileTheUserIsAskedIsNotLost)
{
    answer = platform::Alert::FirstButtonReturn + 2;
    lateFile = pdf("late.pdf");
    delegate.openFiles({pdf("a.pdf"), pdf("b.pdf")});
    ASSERT_TRUE(replied(2));
    EXPECT_EQ(replies.at(0).at(0).toInt(), AppDelegate::OpenCancel);
    EXPECT_EQ(replies.at(1).at(0).toInt(), AppDelegate::OpenSuccess);
    EXPECT_EQ(openNames(), QStringList{"late.pdf"});
}

// Records the start-up steps of the pieces behind their interfaces.
class FakeSteps : public VXApplicationMover, public VXSoftwareUpdater, public VXPDFServiceInstaller,
                  public VXBookmarks, public VXWelcomeWindow
{
public:
    void moveToApplicationsFolderIfNecessary() override { steps << "move"; }
    void checkForUpdatesInBackground() override { steps << "update"; }
    void checkForUpdates() override {}
    bool revealOldServiceWorkflow() override
    {
        steps << "reveal";
        return true;
    }
    void addPDFService() override {}
    void activateBookmarks(bool start) override { steps << (start ? "bookmarks on" : "bookmarks off"); }
    platform::Window *welcomeWindow() override
    {
        steps << "welcome";
        return nullptr;
    }

    QStringList steps;
};

TEST_F(AppDelegateTest, StartsUpInOrderAndLooksForTheOldServiceOnlyOnce)
{
    platform::UserDefaults *defaults = platform::UserDefaults::standardUserDefaults();
    defaults->removeObjectForKey(AppDelegate::FirstRunServiceKey);
    defaults->setBool(true, AppDelegate::AutomaticChecksKey);
    FakeSteps fake;
    delegate.setApplicationMover(&fake);
    delegate.setSoftwareUpdater(&fake);
    delegate.setPDFServiceInstaller(&fake);
    delegate.setBookmarks(&fake);
    delegate.setWelcomeWindow(&fake);

    delegate.applicationDidFinishLaunching();
    // The alert about the old service looks for a window to hang on: with none shown, the
    // welcome window is asked for.
    EXPECT_EQ(fake.steps, QStringList({"move", "update", "reveal", "welcome", "bookmarks on", "welcome"}));
    EXPECT_FALSE(defaults->boolForKey(AppDelegate::FirstRunServiceKey));
    EXPECT_TRUE(QTest::qWaitFor([&] { return asked.size() == 1; }, 5000));
    EXPECT_EQ(asked.value(0), "An older Foldwise service is installed");

    fake.steps.clear();
    delegate.applicationDidFinishLaunching();
    delegate.applicationWillTerminate();
    EXPECT_EQ(fake.steps, QStringList({"move", "update", "bookmarks on", "welcome", "bookmarks off"}));
    EXPECT_FALSE(delegate.applicationShouldOpenUntitledFile());
}

} // namespace
