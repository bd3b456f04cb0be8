#include "app/booklet/Document.h"
#include "app/shell/AppDelegate.h"
#include "app/shell/VXDocumentController.h"
#include "app/shell/VXSingleInstance.h"
#include "app/shell/VXTask.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/Log.h"
#include "platform/ui/Alert.h"
#include "RQS-Kit/Foundation/StringExtension.h"

#include "OpenedDocument.h"
#include "support/PdfFixture.h"
#include "support/PictureFixture.h"
#include "support/ShownWindow.h"

#include <QAbstractButton>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <optional>

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
    Document *document = openedDocument(documents, url);
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(openedDocument(documents, QUrl::fromLocalFile(folder.filePath("link.pdf"))), document);
    // Not there, and not a PDF.
    for (const QString &path : {folder.filePath("missing.pdf"), PdfFixture::write(folder.path(), "notes.pdf", "only words")}) {
        told.clear();
        EXPECT_EQ(openedDocument(documents, QUrl::fromLocalFile(path)), nullptr) << path.toStdString();
        EXPECT_TRUE(told.size() == 1 && told.first().contains(QFileInfo(path).fileName())) << told.join('|').toStdString();
    }
    EXPECT_EQ(documents.documents(), QList<Document *>{document});

    document->close();
    EXPECT_TRUE(documents.documents().isEmpty());
    Document *again = openedDocument(documents, url, false);
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
        EXPECT_EQ(openedDocument(documents, url), nullptr);
        ASSERT_EQ(told.size(), 1);
        EXPECT_TRUE(told.first().contains(c.told)) << told.first().toStdString();
        VXTask task(url);
        std::optional<bool> opens;
        task.checkOpens([&](bool checked) { opens = checked; });
        ASSERT_TRUE(QTest::qWaitFor([&] { return opens.has_value(); }, 10000));
        EXPECT_FALSE(*opens);
        EXPECT_TRUE(task.errorMessage().contains(c.told)) << task.errorMessage().toStdString();
    }
    const QUrl owner = QUrl::fromLocalFile(PdfFixture::write(folder.path(), "owner.pdf", PdfFixture::encrypted(PdfFixture::numbered(2), "", "owner")));
    EXPECT_NE(openedDocument(documents, owner), nullptr);
}

// What went wrong with a file is logged once, as one "Error: " line that names the file and why,
// whatever kind of file it was and wherever the reading failed.
TEST_F(VXDocumentControllerTest, EachFileThatCannotBeOpenedLogsOneErrorLineNamingItAndWhy)
{
    const QByteArray png = PictureFixture::encoded(PictureFixture::marked({40, 30}, Qt::white, Qt::red), "png");
    const QByteArray jpeg = PictureFixture::encoded(PictureFixture::marked({40, 30}, Qt::white, Qt::red), "jpeg");
    struct Case { const char *name; std::optional<QByteArray> bytes; const char *why; };
    const QList<Case> cases{
        {"cut.png", png.left(60), "Unable to read image data"},
        {"cut.jpg", jpeg.left(jpeg.size() / 2), "damaged JPEG"},
        {"words.pdf", QByteArray("only words"), "not a PDF"},
        {"empty.pdf", QByteArray(), "the file is empty"},
        {"locked.pdf", PdfFixture::encrypted(PdfFixture::numbered(2), "user", "owner"), "password"},
        {"missing.pdf", std::nullopt, "no readable file"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = c.bytes ? PdfFixture::write(folder.path(), c.name, *c.bytes) : folder.filePath(c.name);
        platform::LogCapture log;
        EXPECT_EQ(openedDocument(documents, QUrl::fromLocalFile(path)), nullptr);
        const QStringList errors = log.lines().filter(QRegularExpression("^Error: "));
        ASSERT_EQ(errors.size(), 1) << log.lines().join('\n').toStdString();
        EXPECT_TRUE(errors.first().contains("\"" + path + "\"")) << errors.first().toStdString();
        EXPECT_TRUE(errors.first().contains(c.why, Qt::CaseInsensitive)) << errors.first().toStdString();
    }
}

// Another window of the application, and what it answered while a file was being opened.
struct AnsweringWindow
{
    AnsweringWindow()
    {
        field.show();
        ticks.setInterval(10);
        QObject::connect(&ticks, &QTimer::timeout, &field, [this] { ++ticked; });
        ticks.start();
    }
    QLineEdit field;
    QTimer ticks;
    int ticked = 0;
};

// The file is read away from the GUI thread: other windows take keys and timers fire meanwhile.
// Left to finish, the file is refused with its alert; cancelled in its progress window, the
// reading stops at once and nothing is told.
TEST_F(VXDocumentControllerTest, ALargeDamagedPdfIsReadWhileTheOtherWindowsAnswer)
{
    enum class Cancel { No, WithItsButton, WithEscape };
    struct Case { const char *what; qint64 size; Cancel cancel; };
    // qpdf reads 8 GiB of zeros for minutes, 32 MiB within a second.
    const QList<Case> cases{{"left to finish", qint64(32) << 20, Cancel::No},
                            {"cancelled with its button", qint64(8) << 30, Cancel::WithItsButton},
                            {"cancelled with Escape", qint64(8) << 30, Cancel::WithEscape}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        told.clear();
        const QString path = PdfFixture::writeCutOff(folder.path(), QStringLiteral("download-%1.pdf").arg(c.size), c.size);
        ASSERT_FALSE(path.isEmpty());
        AnsweringWindow other;
        platform::LogCapture log;
        std::optional<Document *> opened;
        documents.openDocumentWithContentsOfURL(QUrl::fromLocalFile(path), true, [&](Document *document) { opened = document; });
        ASSERT_TRUE(documents.isOpening());
        const int tickedBefore = other.ticked;
        QTest::keyClicks(&other.field, "typed");
        if (c.cancel != Cancel::No) {
            QProgressDialog *progress = shownWindow<QProgressDialog>();
            ASSERT_TRUE(progress) << "a reading that takes more than a moment shows its progress";
            EXPECT_TRUE(progress->labelText().contains(QFileInfo(path).fileName()));
            EXPECT_TRUE(QTest::qWaitFor([&] { return progress->minimum() == 0 && progress->maximum() == 0; }, 5000))
                << "busy: a repair knows no end";
            EXPECT_TRUE(documents.isOpening());
            QAbstractButton *cancel = progress->findChild<QPushButton *>();
            ASSERT_NE(cancel, nullptr);
            if (c.cancel == Cancel::WithItsButton)
                QTest::mouseClick(cancel, Qt::LeftButton, {}, cancel->rect().center());
            else
                QTest::keyClick(progress, Qt::Key_Escape);
            EXPECT_TRUE(opened.has_value()) << "Cancel ends the opening at once";
            EXPECT_TRUE(QTest::qWaitFor([&] { return log.contains("Info: Stopped reading PDF"); }, 10000)) << "and the reading itself";
        } else {
            ASSERT_TRUE(QTest::qWaitFor([&] { return opened.has_value(); }, 120000));
        }
        EXPECT_EQ(opened.value_or(nullptr), nullptr);
        EXPECT_FALSE(documents.isOpening());
        EXPECT_GE(other.ticked - tickedBefore, 3) << "the timer of another window fired while the file was read";
        EXPECT_EQ(other.field.text(), "typed") << "another window took keys meanwhile";
        EXPECT_TRUE(documents.documents().isEmpty());
        if (c.cancel != Cancel::No) {
            EXPECT_EQ(told, QStringList());
            EXPECT_TRUE(log.contains("Info: Stopped opening \"" + path + "\", as the user asked"));
        } else {
            ASSERT_EQ(told.size(), 1);
            EXPECT_EQ(told.first(), rqs::localized("OpenFailedTitle").arg(QFileInfo(path).fileName()) + " " + rqs::localized("OpenFailedContentsText"));
        }
    }
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
