#include "app/booklet/Document.h"
#include "app/shell/AppDelegate.h"
#include "app/shell/VXDocumentController.h"
#include "platform/ui/Alert.h"

#include "support/PdfFixture.h"

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
            if (!lateFile.isEmpty())
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
    EXPECT_EQ(asked.size(), 1);
    EXPECT_EQ(openNames(), QStringList{"one.pdf"});
}

TEST_F(AppDelegateTest, SeveralFilesAskOnceAndFollowTheAnswer)
{
    struct Case
    {
        int answer;
        QList<int> replies;
        QStringList opened;
    };
    const int inFactory = platform::Alert::FirstButtonReturn;
    const QList<Case> cases{
        // The batch factory is not there: its files open as documents.
        {inFactory, {AppDelegate::OpenSuccess}, {"a.pdf", "b.pdf", "c.pdf"}},
        {inFactory + 1, {AppDelegate::OpenSuccess}, {"a.pdf", "b.pdf", "c.pdf"}},
        // A file that arrives while the user is asked is a batch of its own, not dropped.
        {inFactory + 2, {AppDelegate::OpenCancel, AppDelegate::OpenSuccess}, {"late.pdf"}},
    };
    const QStringList files{pdf("a.pdf"), pdf("b.pdf"), pdf("c.pdf")};
    for (const Case &c : cases) {
        for (Document *document : documents.documents())
            documents.removeDocument(document);
        asked.clear();
        replies.clear();
        answer = c.answer;
        lateFile = c.answer == inFactory + 2 ? pdf("late.pdf") : QString();
        // Each file arrives by itself; all come within the gathering time.
        for (const QString &file : files)
            delegate.openFiles({file});
        ASSERT_TRUE(replied(c.replies.size())) << c.answer;
        EXPECT_EQ(asked, QStringList{"Several files were opened at once"}) << c.answer;
        for (qsizetype i = 0; i < c.replies.size(); ++i)
            EXPECT_EQ(replies.at(i).at(0).toInt(), c.replies[i]) << c.answer;
        EXPECT_EQ(openNames(), c.opened) << c.answer;
    }
}

} // namespace
