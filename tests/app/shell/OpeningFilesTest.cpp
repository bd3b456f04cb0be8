#include "app/booklet/Document.h"
#include "app/shell/AppDelegate.h"
#include "app/shell/VXDocumentController.h"
#include "app/shell/VXSingleInstance.h"
#include "platform/ui/Alert.h"

#include "support/PdfFixture.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

namespace {

// Files opened through the shell, with the user's answers to its alerts given in advance.
class OpeningFilesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        platform::Alert::setResponder([this](const platform::Alert &alert) {
            asked << alert.messageText();
            told << alert.messageText() + " " + alert.informativeText();
            if (!lateFile.isEmpty())
                delegate.openFiles({std::exchange(lateFile, {})});
            return answer;
        });
    }
    void TearDown() override { platform::Alert::setResponder(nullptr); }

    QString pdf(const QString &name, int pages = 2)
    {
        return PdfFixture::write(folder.path(), name, PdfFixture::pages(PdfFixture::numbered(pages)));
    }
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
    QStringList told;
    int answer = platform::Alert::FirstButtonReturn + 2;
    QString lateFile;
};

using AppDelegateTest = OpeningFilesTest;
using VXDocumentControllerTest = OpeningFilesTest;

// What a process that died leaves behind: a socket file nobody listens on.
bool leaveStaleSocket(const QString &path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray bytes = QFile::encodeName(path);
    std::memcpy(address.sun_path, bytes.constData(), std::min(sizeof(address.sun_path) - 1, size_t(bytes.size())));
    const bool bound = ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)) == 0;
    ::close(fd);
    return bound && QFile::exists(path);
}

TEST_F(AppDelegateTest, FilesArriveInBatchesThatAskOnceWhenSeveralAndFollowTheAnswer)
{
    struct Case { QStringList files; int answer; QStringList asked; QList<int> replies; QStringList opened; };
    const int inFactory = platform::Alert::FirstButtonReturn;
    const QStringList several{pdf("a.pdf"), pdf("b.pdf"), pdf("c.pdf")};
    const QStringList question{"Several files were opened at once"};
    const QList<Case> cases{
        {{pdf("one.pdf")}, inFactory, {}, {AppDelegate::OpenSuccess}, {"one.pdf"}},
        // A file that cannot be read is told to the user and answered as a failure.
        {{folder.filePath("missing.pdf")}, inFactory, {"The file “missing.pdf” could not be opened."}, {AppDelegate::OpenFailure}, {}},
        // The batch factory is not there: its files open as documents.
        {several, inFactory, question, {AppDelegate::OpenSuccess}, {"a.pdf", "b.pdf", "c.pdf"}},
        {several, inFactory + 1, question, {AppDelegate::OpenSuccess}, {"a.pdf", "b.pdf", "c.pdf"}},
        // A file that arrives while the user is asked is a batch of its own, not dropped.
        {several, inFactory + 2, question, {AppDelegate::OpenCancel, AppDelegate::OpenSuccess}, {"late.pdf"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.files.size() << " files, answer " << c.answer);
        for (Document *document : documents.documents())
            documents.removeDocument(document);
        asked.clear();
        replies.clear();
        answer = c.answer;
        lateFile = c.answer == inFactory + 2 ? pdf("late.pdf") : QString();
        // Each file arrives by itself; all come within the gathering time.
        for (const QString &file : c.files)
            delegate.openFiles({file});
        EXPECT_FALSE(delegate.applicationShouldTerminateAfterLastWindowClosed()) << "a batch is on its way";
        ASSERT_TRUE(replied(c.replies.size()));
        EXPECT_EQ(asked, c.asked);
        for (qsizetype i = 0; i < c.replies.size(); ++i)
            EXPECT_EQ(replies.at(i).at(0).toInt(), c.replies[i]);
        EXPECT_EQ(openNames(), c.opened);
    }
}

TEST_F(VXDocumentControllerTest, AFileOpensOnceByWhateverPathItIsNamed)
{
    const QUrl url = QUrl::fromLocalFile(pdf("four.pdf", 4));
    ASSERT_TRUE(QFile::link(url.toLocalFile(), folder.filePath("link.pdf")));
    Document *document = documents.openDocumentWithContentsOfURL(url, true);
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(document->inputFilter()->allPages().size(), 4);
    QDir(folder.path()).mkdir("sub");
    for (const QString &same : {url.toLocalFile(), folder.filePath("link.pdf"), folder.path() + "/./sub/../four.pdf"})
        EXPECT_EQ(documents.openDocumentWithContentsOfURL(QUrl::fromLocalFile(same), true), document) << same.toStdString();
    EXPECT_EQ(documents.documents(), QList<Document *>{document});

    // Closing lets the document go; the file then opens afresh.
    document->close();
    EXPECT_TRUE(documents.documents().isEmpty());
    EXPECT_EQ(documents.documentForURL(url), nullptr);
    Document *again = documents.openDocumentWithContentsOfURL(url, false);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(documents.documents(), QList<Document *>{again});
    EXPECT_TRUE(told.isEmpty());
}

TEST_F(VXDocumentControllerTest, AFileThatCannotBeOpenedIsToldAndChangesNothing)
{
    const QUrl kept = QUrl::fromLocalFile(pdf("kept.pdf", 1));
    Document *document = documents.openDocumentWithContentsOfURL(kept, true);
    ASSERT_NE(document, nullptr);
    const QList<std::pair<QString, QString>> cases{
        {folder.filePath("missing.pdf"),
         "The file “missing.pdf” could not be opened. The file does not exist, or you are not allowed to read it."},
        {PdfFixture::write(folder.path(), "notes.pdf", "only words, no PDF"),
         "The file “notes.pdf” could not be opened. Foldwise opens PDF documents and pictures; this file is neither, or it is damaged."},
    };
    for (const auto &[path, message] : cases) {
        told.clear();
        EXPECT_EQ(documents.openDocumentWithContentsOfURL(QUrl::fromLocalFile(path), true), nullptr) << path.toStdString();
        EXPECT_EQ(told, QStringList{message});
    }
    EXPECT_EQ(documents.documents(), QList<Document *>{document});
    EXPECT_EQ(document->fileURL(), kept);
}

TEST(VXSingleInstanceTest, ALaterLaunchHandsItsFilesToTheRunningOne)
{
    using Request = VXSingleInstance::Request;
    QTemporaryDir folder;
    const QString name = folder.filePath("foldwise-test");
    VXSingleInstance later(name);
    EXPECT_FALSE(later.forward(Request::OpenFiles, {"/a.pdf"})) << "nobody listens yet";

    ASSERT_TRUE(leaveStaleSocket(name));
    VXSingleInstance running(name);
    ASSERT_TRUE(running.listen()) << "the stale socket is replaced";
    QSignalSpy received(&running, &VXSingleInstance::filesReceived);
    EXPECT_FALSE(VXSingleInstance(name).listen()) << "a live instance keeps its socket";

    const QString relative = QDir::current().relativeFilePath(folder.filePath("b c.pdf"));
    struct Case { Request request; QStringList paths; QStringList arrive; };
    const QList<Case> cases{
        {Request::OpenFiles, {"/x/Ünïcode.pdf", relative}, {"/x/Ünïcode.pdf", folder.filePath("b c.pdf")}},
        {Request::Service, {"/spool/job 1.pdf"}, {"/spool/job 1.pdf"}},
        {Request::OpenFiles, {}, {}},
    };
    for (const Case &c : cases) {
        received.clear();
        ASSERT_TRUE(later.forward(c.request, c.paths));
        ASSERT_TRUE(QTest::qWaitFor([&] { return received.size() == 1; }, 5000));
        EXPECT_EQ(received.at(0).at(0).value<Request>(), c.request);
        EXPECT_EQ(received.at(0).at(1).toStringList(), c.arrive);
    }
}

} // namespace
