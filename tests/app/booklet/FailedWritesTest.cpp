#include "DocumentFixture.h"

#include "app/window/VXPagesController.h"
#include "RQS-Kit/Foundation/StringExtension.h"
#include "platform/foundation/Log.h"

#include "support/FullDisk.h"
#include "support/ReadOnlyMount.h"

#include <QDir>
#include <QFileDialog>
#include <QRegularExpression>
#include <QSignalSpy>

namespace {

// What the user was told: the alert's title and text, one entry per alert.
class ToldAlerts
{
public:
    ToldAlerts()
    {
        platform::Alert::setResponder([this](platform::Alert &alert) {
            told << alert.messageText() + "\n" + alert.informativeText();
            return platform::Alert::FirstButtonReturn;
        });
    }
    ~ToldAlerts() { platform::Alert::setResponder(nullptr); }
    bool waitForOne() { return QTest::qWaitFor([this] { return !told.isEmpty(); }, 5000) && told.size() == 1; }

    QStringList told;
};

// The save panel chooses this file.
void chooseInSavePanel(const QString &path)
{
    platform::SavePanel::setResponder([path](QFileDialog &dialog) {
        dialog.selectFile(path);
        return platform::SavePanel::OKButton;
    });
}

QString written(const QString &path, const QString &reason) { return rqs::localized("WriteFailedText").arg(path, reason); }
// The same for a file of a new name, of which there is none to keep.
QString notWritten(const QString &path, const QString &reason) { return rqs::localized("WriteFailedNewText").arg(path, reason); }

} // namespace

// Export and Save As into a full disk or a read-only folder, or over the file the document was
// read from: each alert names the file that was not written and gives the system's reason, and
// says that the file of that name stays as it was only where there is one. An export that fails
// is logged as an export.
TEST_F(DocumentTest, AFailedExportOrSaveTellsTheFileAndTheSystemsReasonAndKeepsTheOldFile)
{
    QTemporaryDir full;
    const FullDisk disk(full.path(), "Menu - Booklet.pdf", "old");
    if (!disk.mounted)
        GTEST_SKIP() << "a full disk needs root and a tmpfs";
    const QString readOnlyFolder = folder.filePath("read-only");
    const ReadOnlyMount readOnly(readOnlyFolder, [](const QString &at) { PdfFixture::write(at, "Menu - Booklet.pdf", "old"); });
    ASSERT_TRUE(readOnly.readOnly);
    const QString source = PdfFixture::write(folder.path(), "Menu.pdf", PdfFixture::pages(PdfFixture::numbered(4)));
    const QByteArray sourceBytes = PdfFixture::read(source);
    const QString exportTitle = rqs::localized("ErrorWhileExportingDocument");
    const QString saveTitle = rqs::localized("SaveFailedTitle");

    struct Case { const char *name; bool exports; QString target; QString reason; QByteArray kept; };
    const QList<Case> cases{
        {"export, full disk", true, disk.oldFile, "the disk is full", "old"},
        {"export, read-only folder", true, readOnlyFolder + "/Menu - Booklet.pdf", "Read-only file system", "old"},
        {"export over the source", true, source, rqs::localized("ExportOverSourceReason"), sourceBytes},
        {"save as, full disk", false, disk.oldFile, "the disk is full", "old"},
        {"save as, read-only folder", false, readOnlyFolder + "/Menu - Booklet.pdf", "Read-only file system", "old"},
        {"save as over the source", false, source, rqs::localized("SaveOverSourceReason"), sourceBytes},
        {"export, read-only folder, new name", true, readOnlyFolder + "/New - Booklet.pdf", "Read-only file system", {}},
        {"save as, read-only folder, new name", false, readOnlyFolder + "/New.pdf", "Read-only file system", {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Document doc;
        ASSERT_TRUE(doc.openURL(QUrl::fromLocalFile(source), Document::PdfType));
        chooseInSavePanel(c.target);
        ToldAlerts alerts;
        platform::LogCapture log;
        if (c.exports)
            doc.saveBooklet();
        else
            doc.saveDocumentAs(nullptr);
        ASSERT_TRUE(alerts.waitForOne()) << alerts.told.join("\n---\n").toStdString();
        const QString title = c.exports ? exportTitle : QString(saveTitle).arg(QFileInfo(c.target).fileName());
        const QString text = c.kept.isEmpty() ? notWritten(c.target, c.reason) : written(c.target, c.reason);
        EXPECT_EQ(alerts.told.first().toStdString(), (title + "\n" + text).toStdString());
        EXPECT_EQ(PdfFixture::read(c.target), c.kept);
        EXPECT_EQ(QFileInfo::exists(c.target), !c.kept.isEmpty());
        EXPECT_EQ(doc.fileURL(), QUrl::fromLocalFile(source)) << "the document keeps its file";
        if (c.exports) {
            EXPECT_EQ(log.lines().filter("print job"), QStringList()) << "an export is no print job";
            EXPECT_EQ(log.lines().filter(QRegularExpression("^Error: Could not export the booklet to \"" + QRegularExpression::escape(c.target) + "\"")).size(), 1)
                << log.lines().join('\n').toStdString();
        }
    }
    EXPECT_EQ(QDir(full.path()).entryList(QDir::Files | QDir::Hidden), (QStringList{"filler", "Menu - Booklet.pdf"}));
}

// Save into a file of the document's own once the disk has filled up: the alert names that file
// and says the disk is full; the file keeps what was saved before.
TEST_F(DocumentTest, SavingIntoItsOwnFileOnAFullDiskIsToldAndKeepsWhatWasSaved)
{
    QTemporaryDir full;
    const FullDisk disk(full.path(), "placeholder", "x", 8192);
    if (!disk.mounted)
        GTEST_SKIP() << "a full disk needs root and a tmpfs";
    Document doc;
    ASSERT_TRUE(doc.openURL(QUrl::fromLocalFile(PdfFixture::write(folder.path(), "Menu.pdf", PdfFixture::pages(PdfFixture::numbered(2)))),
                            Document::PdfType));
    const QString own = full.filePath("Menu copy.pdf");
    chooseInSavePanel(own);
    std::optional<bool> saved;
    doc.saveDocumentAs([&](bool done) { saved = done; });
    ASSERT_TRUE(waitFor([&] { return saved.has_value(); }) && *saved);
    const QByteArray first = PdfFixture::read(own);
    // The rest of the disk goes.
    QFile rest(full.filePath("rest"));
    ASSERT_TRUE(rest.open(QIODevice::WriteOnly));
    while (rest.write(QByteArray(512, 'x')) == 512 && rest.flush()) {
    }
    rest.close();

    doc.inputFilter()->removePage(doc.inputFilter()->allPages().first());
    ToldAlerts alerts;
    saved.reset();
    doc.saveDocument([&](bool done) { saved = done; });
    ASSERT_TRUE(alerts.waitForOne());
    EXPECT_EQ(alerts.told.first(), rqs::localized("SaveFailedTitle").arg("Menu copy.pdf") + "\n" + written(own, "the disk is full"));
    ASSERT_TRUE(waitFor([&] { return saved.has_value(); }));
    EXPECT_FALSE(*saved);
    EXPECT_EQ(PdfFixture::read(own), first);
}

// Revert to Saved after the file was deleted says so, and the document keeps its changes.
TEST_F(DocumentTest, RevertingToAFileThatIsGoneSaysSoAndKeepsTheChanges)
{
    const QString path = PdfFixture::write(folder.path(), "Menu.pdf", PdfFixture::pages(PdfFixture::numbered(4)));
    Document doc;
    ASSERT_TRUE(doc.openURL(QUrl::fromLocalFile(path), Document::PdfType));
    doc.inputFilter()->removePage(doc.inputFilter()->allPages().first());
    doc.setDocumentEdited(true);
    ASSERT_TRUE(QFile::remove(path));
    QStringList asked;
    platform::Alert::setResponder([&](platform::Alert &alert) {
        asked << alert.messageText() + "\n" + alert.informativeText();
        return platform::Alert::FirstButtonReturn;
    });
    std::optional<bool> reverted;
    doc.revertDocumentToSaved([&](bool done) { reverted = done; });
    ASSERT_TRUE(waitFor([&] { return reverted.has_value(); }));
    EXPECT_FALSE(*reverted);
    ASSERT_EQ(asked.size(), 2) << "the question, then what became of it";
    EXPECT_EQ(asked.last(), rqs::localized("RevertFailedTitle").arg("Menu.pdf") + "\n"
                                + rqs::localized("RevertFailedText").arg(path, "No such file or directory"));
    EXPECT_EQ(doc.inputFilter()->allPages().size(), 3);
    EXPECT_TRUE(doc.isDocumentEdited());
}

// Revert to Saved once the file was overwritten with what is no PDF: the alert gives the reason,
// and the document keeps its pages, its changes and their undo.
TEST_F(DocumentTest, RevertingToAFileDamagedSinceOpeningSaysSoAndKeepsThePagesAndTheirUndo)
{
    const QString path = PdfFixture::write(folder.path(), "Menu.pdf", PdfFixture::pages(PdfFixture::numbered(4)));
    Document doc;
    ASSERT_TRUE(doc.openURL(QUrl::fromLocalFile(path), Document::PdfType));
    VXPagesController list(doc.inputFilter(), doc.undoManager());
    const QList<VXPagePtr> opened = doc.inputFilter()->allPages();
    ASSERT_TRUE(list.removeObjectsAtArrangedObjectIndexes({1}));
    ASSERT_TRUE(doc.isDocumentEdited());
    PdfFixture::write(folder.path(), "Menu.pdf", QByteArray(4096, '\x7f'));
    ToldAlerts alerts;
    QSignalSpy reverts(&doc, &Document::reverted);
    std::optional<bool> reverted;
    doc.revertDocumentToSaved([&](bool done) { reverted = done; });
    ASSERT_TRUE(waitFor([&] { return reverted.has_value(); }));
    EXPECT_FALSE(*reverted);
    ASSERT_EQ(alerts.told.size(), 2) << "the question, then what became of it";
    EXPECT_EQ(alerts.told.last(), rqs::localized("RevertFailedTitle").arg("Menu.pdf") + "\n"
                                      + rqs::localized("RevertUnreadableText").arg(rqs::localized("OpenFailedContentsText")));
    EXPECT_EQ(reverts.size(), 0);
    EXPECT_EQ(doc.inputFilter()->allPages(), opened.mid(1));
    EXPECT_TRUE(doc.isDocumentEdited());
    ASSERT_TRUE(doc.undoManager()->canUndo());
    doc.undoManager()->undo();
    EXPECT_EQ(doc.inputFilter()->allPages(), opened);
}
