#include "app/booklet/Document.h"
#include "app/shell/AppDelegate.h"
#include "app/shell/VXDocumentController.h"
#include "app/shell/VXSingleInstance.h"
#include "app/shell/VXTask.h"
#include "platform/foundation/Bundle.h"
#include "platform/ui/Alert.h"
#include "RQS-Kit/Foundation/StringExtension.h"

#include "support/PdfFixture.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Files opened through the shell, with the user's answers to its alerts given in advance.
class OpeningFilesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        platform::Alert::setResponder([this](const platform::Alert &alert) {
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

    QTemporaryDir folder;
    VXDocumentController documents;
    AppDelegate delegate{&documents};
    QSignalSpy replies{&delegate, &AppDelegate::replyToOpenOrPrint};
    QStringList told;
    int answer = platform::Alert::FirstButtonReturn + 2;
    QString lateFile;
};

using AppDelegateTest = OpeningFilesTest;
using VXDocumentControllerTest = OpeningFilesTest;

TEST_F(AppDelegateTest, FilesArriveInBatchesThatAskOnceWhenSeveralAndFollowTheAnswer)
{
    struct Case { QStringList files; int answer; qsizetype alerts; QList<int> replies; qsizetype opened; };
    const int inFactory = platform::Alert::FirstButtonReturn;
    const QStringList several{pdf("a.pdf"), pdf("b.pdf"), pdf("c.pdf")};
    const QList<Case> cases{
        {{pdf("one.pdf")}, inFactory, 0, {AppDelegate::OpenSuccess}, 1},
        // A file that cannot be read is told to the user and answered as a failure.
        {{folder.filePath("missing.pdf")}, inFactory, 1, {AppDelegate::OpenFailure}, 0},
        // Several are asked about once; the batch factory is not there: its files open as documents.
        {several, inFactory, 1, {AppDelegate::OpenSuccess}, 3},
        // A file that arrives while the user is asked is a batch of its own, not dropped with the cancelled one.
        {several, inFactory + 2, 1, {AppDelegate::OpenCancel, AppDelegate::OpenSuccess}, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.files.size() << " files, answer " << c.answer);
        for (Document *document : documents.documents())
            documents.removeDocument(document);
        told.clear();
        replies.clear();
        answer = c.answer;
        lateFile = c.answer == inFactory + 2 ? pdf("late.pdf") : QString();
        // Each file arrives by itself; all come within the gathering time.
        for (const QString &file : c.files)
            delegate.openFiles({file});
        EXPECT_FALSE(delegate.applicationShouldTerminateAfterLastWindowClosed()) << "a batch is on its way";
        ASSERT_TRUE(QTest::qWaitFor([&] { return replies.size() >= c.replies.size(); }, 5000));
        EXPECT_EQ(told.size(), c.alerts);
        for (qsizetype i = 0; i < c.replies.size(); ++i)
            EXPECT_EQ(replies.at(i).at(0).toInt(), c.replies[i]);
        EXPECT_EQ(documents.documents().size(), c.opened);
    }
}

// A file opens once by whatever path it is named, afresh once closed; one that cannot be opened is told and changes nothing.
TEST_F(VXDocumentControllerTest, AFileOpensOnceAndOneThatCannotBeOpenedIsTold)
{
    const QUrl url = QUrl::fromLocalFile(pdf("four.pdf", 4));
    ASSERT_TRUE(QFile::link(url.toLocalFile(), folder.filePath("link.pdf")));
    Document *document = documents.openDocumentWithContentsOfURL(url, true);
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(documents.openDocumentWithContentsOfURL(QUrl::fromLocalFile(folder.filePath("link.pdf")), true), document);
    // Not there, and not a PDF.
    for (const QString &path : {folder.filePath("missing.pdf"), PdfFixture::write(folder.path(), "notes.pdf", "only words")}) {
        told.clear();
        EXPECT_EQ(documents.openDocumentWithContentsOfURL(QUrl::fromLocalFile(path), true), nullptr) << path.toStdString();
        EXPECT_TRUE(told.size() == 1 && told.first().contains(QFileInfo(path).fileName())) << told.join('|').toStdString();
    }
    EXPECT_EQ(documents.documents(), QList<Document *>{document});

    document->close();
    EXPECT_TRUE(documents.documents().isEmpty());
    Document *again = documents.openDocumentWithContentsOfURL(url, false);
    EXPECT_EQ(documents.documents(), QList<Document *>{again});
}

// A PDF locked by a password is told as such, in an alert and in the batch factory's task, not as
// a file that is damaged or no PDF; a file only an owner's password protects opens.
TEST_F(VXDocumentControllerTest, APdfLockedByAPasswordIsToldAsSuch)
{
    struct Case { const char *name; QByteArray bytes; QString told; };
    const QList<Case> cases{
        {"locked.pdf", PdfFixture::encrypted(PdfFixture::numbered(2), "user", "owner"), "protected by a password"},
        {"words.pdf", "only words", "this file is neither, or it is damaged"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        told.clear();
        const QUrl url = QUrl::fromLocalFile(PdfFixture::write(folder.path(), c.name, c.bytes));
        EXPECT_EQ(documents.openDocumentWithContentsOfURL(url, true), nullptr);
        ASSERT_EQ(told.size(), 1);
        EXPECT_TRUE(told.first().contains(c.told)) << told.first().toStdString();
        VXTask task(url);
        EXPECT_FALSE(task.isPDF());
        EXPECT_TRUE(task.errorMessage().contains(c.told)) << task.errorMessage().toStdString();
    }
    const QUrl owner = QUrl::fromLocalFile(PdfFixture::write(folder.path(), "owner.pdf", PdfFixture::encrypted(PdfFixture::numbered(2), "", "owner")));
    EXPECT_NE(documents.openDocumentWithContentsOfURL(owner, true), nullptr);
}

TEST(VXSingleInstanceTest, ALaterLaunchHandsItsFilesToTheRunningOne)
{
    using Request = VXSingleInstance::Request;
    QTemporaryDir folder;
    const QString name = folder.filePath("foldwise-test");
    VXSingleInstance later(name);
    EXPECT_FALSE(later.forward(Request::OpenFiles, {"/a.pdf"})) << "nobody listens yet";

    // What a process that ended leaves behind: a file where the socket was, with nobody listening.
    ASSERT_TRUE(QFile(name).open(QIODevice::WriteOnly));
    VXSingleInstance running(name);
    ASSERT_TRUE(running.listen()) << "the stale socket is replaced";
    QSignalSpy received(&running, &VXSingleInstance::filesReceived);
    EXPECT_FALSE(VXSingleInstance(name).listen()) << "a live instance keeps its socket";

    const QString relative = QDir::current().relativeFilePath(folder.filePath("b c.pdf"));
    struct Case { Request request; QStringList paths; QStringList arrive; };
    const QList<Case> cases{
        {Request::OpenFiles, {"/x/Ünïcode.pdf", relative}, {"/x/Ünïcode.pdf", folder.filePath("b c.pdf")}},
        {Request::Service, {"/spool/job 1.pdf"}, {"/spool/job 1.pdf"}},
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

// The desktop entry's icon ships among the resources and draws, which needs Qt's SVG plugin.
TEST(ApplicationIcon, TheDesktopEntryNamesAnIconThatShipsAndDraws)
{
    const platform::BundlePtr resources = platform::Bundle::mainBundle();
    QFile entry(QDir(resources->bundlePath()).filePath("foldwise.desktop"));
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
    const QRegularExpressionMatch icon = QRegularExpression("^Icon=(.+)$", QRegularExpression::MultilineOption).match(QString::fromUtf8(entry.readAll()));
    ASSERT_TRUE(icon.hasMatch());
    const QImage drawn = QIcon(resources->pathForResource(icon.captured(1), "svg")).pixmap(48).toImage();
    ASSERT_FALSE(drawn.isNull());
    EXPECT_GT(qAlpha(drawn.pixel(16, 24)), 0) << "the left page is drawn";
}

namespace {

// Takes the addresses the desktop is asked to open, as a browser would.
class AddressCatcher : public QObject
{
    Q_OBJECT
public slots:
    void open(const QUrl &url) { opened << url.toString(); }

public:
    QStringList opened;
};

} // namespace

// The offscreen desktop opens nothing, as a desktop without a browser or mail program; the user
// is told with the address to copy. With a handler the address goes to it and nothing is told.
TEST_F(AppDelegateTest, AWebOrMailItemTheDesktopCannotOpenTellsTheUserTheAddress)
{
    struct Case { const char *item; void (AppDelegate::*action)(QObject *); const char *address; };
    const QList<Case> cases{{"home page", &AppDelegate::openHomePage, "https://foldwise.example.org/"},
                            {"rate", &AppDelegate::rateFoldwise, "https://foldwise.example.org/rate"},
                            {"feedback", &AppDelegate::sendFeedback, "feedback@foldwise.example.org"}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.item);
        told.clear();
        (delegate.*c.action)(nullptr);
        ASSERT_EQ(told.size(), 1);
        EXPECT_TRUE(told.first().startsWith(rqs::localized("CannotOpenAddressTitle")));
        EXPECT_TRUE(told.first().contains(c.address));
    }
    AddressCatcher browser;
    QDesktopServices::setUrlHandler("https", &browser, "open");
    told.clear();
    delegate.openHomePage(nullptr);
    QDesktopServices::unsetUrlHandler("https");
    EXPECT_EQ(told, QStringList());
    EXPECT_EQ(browser.opened, QStringList{"https://foldwise.example.org/"});
}

#include "OpeningFilesTest.moc"
