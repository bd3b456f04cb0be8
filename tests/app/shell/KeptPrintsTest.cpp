#include "app/booklet/Document.h"
#include "app/shell/AppDelegate.h"
#include "app/shell/VXDocumentController.h"
#include "app/shell/VXKeptPrints.h"
#include "platform/foundation/Log.h"
#include "RQS-Kit/Foundation/StringExtension.h"
#include "platform/ui/Alert.h"
#include "platform/ui/SavePanel.h"
#include "platform/ui/Window.h"

#include "support/PdfFixture.h"

#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QStandardPaths>

#include <gtest/gtest.h>

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

// The print's folder goes once it is open, so the save panels start in Documents instead.
TEST_F(KeptPrintsTest, AnOpenedPrintIsRemovedAndItsDocumentSavesIntoDocuments)
{
    const QString documentsFolder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    ASSERT_TRUE(QDir().mkpath(documentsFolder));
    const QString print = keep("job-dddddd", "Club Leaflet", 0);
    const QString other = keep("job-eeeeee", "Other", 0);
    platform::LogCapture log;
    delegate.openKeptPrints({other});
    ASSERT_EQ(documents.documents().size(), 1);
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

} // namespace

// At start the prints that waited open before the application's menus are made; their windows get
// the menus all the same.
TEST_F(KeptPrintsTest, PrintsOpenedAtStartCarryTheApplicationsMenus)
{
    keep("job-aaaaaa", "Waiting", 1);
    delegate.openKeptPrints({});
    ASSERT_EQ(documents.documents().size(), 1);
    delegate.applicationDidFinishLaunching();
    auto *bar = qobject_cast<QMenuBar *>(documents.documents().first()->documentWindow()->menuWidget());
    ASSERT_NE(bar, nullptr);
    QStringList titles;
    for (QAction *menu : bar->actions())
        titles << menu->text();
    EXPECT_EQ(titles, (QStringList{"File", "Edit", "View", "Foldwise"}));
    EXPECT_EQ(bar->actions().first()->menu()->actions().first()->text(), "New");
}
