#include "app/booklet/Document.h"
#include "app/shell/AppDelegate.h"
#include "app/shell/VXDocumentController.h"
#include "app/shell/VXKeptPrints.h"
#include "app/shell/VXSingleInstance.h"
#include "app/shell/VXWelcomeWindowController.h"
#include "RQS-Kit/Foundation/StringExtension.h"
#include "platform/foundation/Log.h"
#include "platform/ui/Alert.h"
#include "platform/ui/SavePanel.h"
#include "platform/ui/Window.h"

#include "support/PdfFixture.h"
#include "support/ShownWindow.h"

#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QProgressDialog>
#include <QStandardPaths>
#include <QTest>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <ctime>

namespace {

// Prints kept for Foldwise in the test's data folder, as the printer's backend leaves them.
class KeptPrintsTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        platform::SavePanel::setResponder(nullptr);
        platform::Alert::setResponder(nullptr);
        for (Document *document : documents.documents())
            documents.removeDocument(document);
        QDir(VXKeptPrints::folder()).removeRecursively();
        QDir().rmdir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    }
    static QString keep(const QString &job, const QString &title, qint64 ageInHours)
    {
        const QString folder = QDir(VXKeptPrints::folder()).filePath(job);
        const QString path = PdfFixture::write(folder, title + ".pdf", PdfFixture::pages(PdfFixture::numbered(4)));
        QFile file(path);
        file.open(QIODevice::ReadWrite);
        file.setFileTime(QDateTime::currentDateTime().addSecs(-ageInHours * 3600), QFileDevice::FileModificationTime);
        return path;
    }

    VXDocumentController documents;
    AppDelegate delegate{&documents};
};

TEST_F(KeptPrintsTest, WaitingPrintsComeOldestFirstAndThoseWaitingTooLongAreRemoved)
{
    const qint64 limit = std::chrono::duration_cast<std::chrono::hours>(VXKeptPrints::MaxWait).count();
    const QString recent = keep("job-aaaaaa", "Recent", 1);
    const QString older = keep("job-bbbbbb", "Older", limit - 1);
    const QString stale = keep("job-cccccc", "Stale", limit + 1);
    const QString stray = PdfFixture::write(VXKeptPrints::folder(), "Stray.pdf", "not in a job folder");
    platform::LogCapture log;
    EXPECT_EQ(VXKeptPrints::waiting(), (QStringList{older, recent}));
    EXPECT_FALSE(QFileInfo::exists(QFileInfo(stale).path()));
    EXPECT_TRUE(log.contains("Warning: Removed the print \"Stale.pdf\""));
    EXPECT_TRUE(VXKeptPrints::contains(recent));
    EXPECT_FALSE(VXKeptPrints::contains(stray)) << "only a job's own folder is ever removed";
    EXPECT_FALSE(VXKeptPrints::remove(stray));
    EXPECT_TRUE(QFileInfo::exists(stray));
}

namespace {

// Sets when the file or folder last changed.
void changedHoursAgo(const QString &path, qint64 hours)
{
    const timespec when{::time(nullptr) - hours * 3600, 0};
    const timespec times[2] = {when, when};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0) << path.toStdString();
}

} // namespace

// A print stopped while the backend copied it leaves its job's folder without a print. The folder
// goes once nothing in it has changed for longer than a copy pauses, never while a backend may
// still be filling it.
TEST_F(KeptPrintsTest, AFolderAStoppedPrintLeftWithoutAPrintIsRemovedOnceNothingInItChanges)
{
    const qint64 pause = std::chrono::duration_cast<std::chrono::hours>(VXKeptPrints::MaxCopyPause).count();
    const QDir kept(VXKeptPrints::folder());
    const QString waiting = keep("job-aaaaaa", "Waiting", pause + 1);
    changedHoursAgo(QFileInfo(waiting).path(), pause + 1);
    const struct { const char *job; qint64 partAge, folderAge; bool removed; } cases[] = {
        {"job-bbbbbb", -1, pause + 1, true},   // empty
        {"job-cccccc", pause + 1, pause + 1, true}, // its copy cut off
        {"job-dddddd", 0, pause + 1, false},   // a copy under way
        {"job-eeeeee", -1, 0, false},          // just made
        {"Not opened/job-ffffff", -1, pause + 1, true},
    };
    for (const auto &c : cases) {
        const QString folder = kept.filePath(c.job);
        ASSERT_TRUE(QDir().mkpath(folder));
        if (c.partAge >= 0) {
            const QString part = PdfFixture::write(folder, ".print.part.Xq3zTb", "%PDF-1.4\n");
            changedHoursAgo(part, c.partAge);
        }
        changedHoursAgo(folder, c.folderAge);
    }
    platform::LogCapture log;
    EXPECT_EQ(VXKeptPrints::waiting(), QStringList{waiting});
    for (const auto &c : cases) {
        SCOPED_TRACE(c.job);
        EXPECT_NE(QFileInfo::exists(kept.filePath(c.job)), c.removed);
        EXPECT_EQ(log.contains(QStringLiteral("Warning: Removed %1, which a print stopped while it was kept left without a print").arg(kept.filePath(c.job))),
                  c.removed);
    }
}

// The print's folder goes once it is open, so the save panels start in Documents instead.
TEST_F(KeptPrintsTest, AnOpenedPrintIsRemovedAndItsDocumentSavesIntoDocuments)
{
    const QString documentsFolder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    ASSERT_TRUE(QDir().mkpath(documentsFolder));
    const QString print = keep("job-dddddd", "Club Leaflet", 0);
    const QString other = keep("job-eeeeee", "Other", 0);
    platform::LogCapture log;
    delegate.openKeptPrints({other});
    ASSERT_TRUE(QTest::qWaitFor([&] { return documents.documents().size() == 1; }, 10000));
    EXPECT_TRUE(log.contains("Info: Opening " + print));
    EXPECT_FALSE(QFileInfo::exists(QFileInfo(print).path()));
    EXPECT_EQ(VXKeptPrints::waiting(), QStringList{other}) << "a print the start was given itself is left to it";

    Document *document = documents.documents().first();
    QStringList proposed;
    platform::SavePanel::setResponder([&](QFileDialog &dialog) {
        proposed << dialog.directory().absolutePath() + " " + QFileInfo(dialog.selectedFiles().value(0)).fileName();
        return platform::SavePanel::CancelButton;
    });
    document->saveBooklet();
    document->saveDocumentAs(nullptr);
    EXPECT_EQ(proposed, (QStringList{documentsFolder + " Club Leaflet - Booklet.pdf", documentsFolder + " Club Leaflet.pdf"}));
}

// A print that cannot be opened (a damaged PDF) is told once, then set aside where the alert says:
// the next start neither opens it nor tells it again. Set aside, it still goes after 14 days.
TEST_F(KeptPrintsTest, AWaitingPrintThatCannotBeOpenedIsSetAsideWhereItsAlertSays)
{
    QStringList told;
    platform::Alert::setResponder([&](platform::Alert &alert) {
        told << alert.messageText() + "\n" + alert.informativeText();
        return platform::Alert::FirstButtonReturn;
    });
    keep("job-aaaaaa", "Leaflet", 1);
    const QString damaged = PdfFixture::write(QDir(VXKeptPrints::folder()).filePath("job-bbbbbb"), "Damaged.pdf", "%PDF-1.4\ncut off");
    const QString aside = QDir(VXKeptPrints::setAsideFolder()).filePath("job-bbbbbb/Damaged.pdf");
    delegate.openKeptPrints({});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !documents.isOpening(); }, 10000));
    EXPECT_EQ(documents.documents().size(), 1);
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told.first().startsWith(rqs::localized("OpenFailedTitle").arg("Damaged.pdf"))) << told.first().toStdString();
    EXPECT_TRUE(told.first().contains(rqs::localized("KeptPrintSetAsideText").arg(aside))) << told.first().toStdString();
    EXPECT_EQ(PdfFixture::read(aside), "%PDF-1.4\ncut off") << "kept for the user to look at";
    EXPECT_FALSE(QFileInfo::exists(damaged));

    told.clear();
    delegate.openKeptPrints({});
    EXPECT_EQ(told, QStringList()) << "the next start says nothing of it";
    EXPECT_EQ(documents.documents().size(), 1);
    EXPECT_EQ(VXKeptPrints::waiting(), QStringList());

    QFile file(aside);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    const qint64 limit = std::chrono::duration_cast<std::chrono::hours>(VXKeptPrints::MaxWait).count();
    file.setFileTime(QDateTime::currentDateTime().addSecs(-(limit + 1) * 3600), QFileDevice::FileModificationTime);
    file.close();
    EXPECT_EQ(VXKeptPrints::waiting(), QStringList());
    EXPECT_FALSE(QFileInfo::exists(QFileInfo(aside).path()));
}

// A print that cannot be opened, named twice in one request, is told once, with where it was set
// aside.
TEST_F(KeptPrintsTest, APrintThatCannotBeOpenedNamedTwiceIsToldOnceWithWhereItWasSetAside)
{
    QStringList told;
    platform::Alert::setResponder([&](platform::Alert &alert) {
        told << alert.messageText() + "\n" + alert.informativeText();
        return platform::Alert::FirstButtonReturn;
    });
    const QString damaged = PdfFixture::write(QDir(VXKeptPrints::folder()).filePath("job-ffffff"), "Damaged.pdf", "%PDF-1.4\ncut off");
    const QString aside = QDir(VXKeptPrints::setAsideFolder()).filePath("job-ffffff/Damaged.pdf");
    delegate.openRequested(VXSingleInstance::Request::Service, {damaged, damaged});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !documents.isOpening() && !told.isEmpty(); }, 10000));
    EXPECT_EQ(told.join("\n---\n").toStdString(),
              (rqs::localized("OpenFailedTitle").arg("Damaged.pdf") + "\n" + rqs::localized("OpenFailedContentsText") + " "
               + rqs::localized("KeptPrintSetAsideText").arg(aside)).toStdString());
    EXPECT_EQ(PdfFixture::read(aside), "%PDF-1.4\ncut off");
}

// A waiting print whose opening the user stops in its progress window was not found unopenable:
// nothing is told, and it waits for the next start where it was.
TEST_F(KeptPrintsTest, AWaitingPrintWhoseOpeningIsCancelledKeepsWaiting)
{
    QStringList told;
    platform::Alert::setResponder([&](platform::Alert &alert) {
        told << alert.messageText();
        return platform::Alert::FirstButtonReturn;
    });
    // qpdf reads 8 GiB of zeros for minutes.
    const QString print = PdfFixture::writeCutOff(QDir(VXKeptPrints::folder()).filePath("job-gggggg"), "Download.pdf", qint64(8) << 30);
    ASSERT_FALSE(print.isEmpty());
    platform::LogCapture log;
    delegate.openKeptPrints({});
    QProgressDialog *progress = shownWindow<QProgressDialog>();
    ASSERT_TRUE(progress);
    QTest::keyClick(progress, Qt::Key_Escape);
    EXPECT_FALSE(documents.isOpening());
    EXPECT_TRUE(QTest::qWaitFor([&] { return log.contains("Info: Stopped reading PDF"); }, 10000));
    EXPECT_EQ(told, QStringList());
    EXPECT_EQ(VXKeptPrints::waiting(), QStringList{print});
    EXPECT_FALSE(QFileInfo::exists(VXKeptPrints::setAsideFolder()));
}

} // namespace

// A start without files shows the welcome window once the prints that waited have been read,
// unless one of them opened: a print that cannot be read leaves the user its alert and the welcome
// window, not a process without windows.
TEST_F(KeptPrintsTest, AStartShowsTheWelcomeWindowOnceNoWaitingPrintOpened)
{
    VXWelcomeWindowController welcome{delegate};
    delegate.setWelcomeWindow(&welcome);
    QStringList told;
    platform::Alert::setResponder([&](const platform::Alert &alert) {
        told << alert.messageText();
        return platform::Alert::FirstButtonReturn;
    });
    struct Case { const char *what; QByteArray print; bool welcomes; };
    const QList<Case> cases{{"no PDF", "not a PDF at all", true}, {"a PDF", PdfFixture::pages(PdfFixture::numbered(4)), false}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        told.clear();
        PdfFixture::write(QDir(VXKeptPrints::folder()).filePath("job-ffffff"), "Waiting.pdf", c.print);
        delegate.openKeptPrints({});
        delegate.openUntitledUnlessDocumentsOpen();
        EXPECT_FALSE(welcome.window()->isVisible()) << "not while the print is read";
        ASSERT_TRUE(QTest::qWaitFor([&] { return !documents.isOpening(); }, 10000));
        EXPECT_EQ(welcome.window()->isVisible(), c.welcomes);
        EXPECT_EQ(told.size(), c.welcomes ? 1 : 0);
        welcome.window()->close();
        QDir(VXKeptPrints::folder()).removeRecursively();
    }
    platform::Alert::setResponder(nullptr);
}

// At start the prints that waited open before the application's menus are made; their windows get
// the menus all the same.
TEST_F(KeptPrintsTest, PrintsOpenedAtStartCarryTheApplicationsMenus)
{
    keep("job-aaaaaa", "Waiting", 1);
    delegate.openKeptPrints({});
    ASSERT_TRUE(QTest::qWaitFor([&] { return documents.documents().size() == 1; }, 10000));
    delegate.applicationDidFinishLaunching();
    auto *bar = qobject_cast<QMenuBar *>(documents.documents().first()->documentWindow()->menuWidget());
    ASSERT_NE(bar, nullptr);
    QStringList titles;
    for (QAction *menu : bar->actions())
        titles << menu->text();
    EXPECT_EQ(titles, (QStringList{"File", "Edit", "View", "Foldwise"}));
    EXPECT_EQ(bar->actions().first()->menu()->actions().first()->text(), "New");
}
