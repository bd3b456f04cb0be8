#include "platform/ui/DocumentBase.h"

#include "platform/foundation/Bundle.h"
#include "platform/foundation/GuardedPointers.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/MainQueue.h"
#include "platform/foundation/RegularFile.h"
#include "platform/ui/Alert.h"
#include "platform/ui/SavePanel.h"
#include "platform/ui/Window.h"

#include <QFile>
#include <QFileInfo>

namespace platform {

namespace {

QString localized(const QString &key, const QString &english)
{
    return Bundle::mainBundle()->localizedStringForKey(key, english);
}

QList<DocumentBase *> &liveDocuments()
{
    static QList<DocumentBase *> documents;
    return documents;
}

void answerLater(const DocumentBase::Completion &completion, bool answer)
{
    if (completion)
        MainQueue::post([completion, answer] { completion(answer); });
}

} // namespace

DocumentBase::DocumentBase(QObject *parent)
    : QObject(parent)
{
    connect(&m_undoManager, &UndoManager::cleanChanged, this, &DocumentBase::announceEdited);
    liveDocuments().append(this);
}

DocumentBase::~DocumentBase() { liveDocuments().removeAll(this); }

DocumentBase *DocumentBase::documentForWindow(const QWidget *window)
{
    for (DocumentBase *document : liveDocuments()) {
        for (const QPointer<Window> &shown : document->m_windows) {
            if (shown && shown.data() == window)
                return document;
        }
    }
    return nullptr;
}

bool DocumentBase::openURL(const QUrl &url, const QString &type, QString *reason)
{
    if (!readFromURL(url, type, reason))
        return false;
    openedURL(url, type);
    return true;
}

void DocumentBase::openedURL(const QUrl &url, const QString &type)
{
    takeFile(url, type, false);
    setDocumentEdited(false);
}

void DocumentBase::takeFile(const QUrl &url, const QString &type, bool owned)
{
    const bool changed = url != m_fileURL;
    m_fileURL = url;
    m_fileType = type;
    m_ownsFile = owned;
    if (changed)
        emit fileURLChanged();
}

QUrl DocumentBase::fileURL() const { return m_fileURL; }

void DocumentBase::setFileURL(const QUrl &url) { takeFile(url, m_fileType, false); }

bool DocumentBase::ownsFile() const { return m_ownsFile; }

QString DocumentBase::folderForSaving() const
{
    if (!m_folderForSaving.isEmpty() || !m_fileURL.isLocalFile())
        return m_folderForSaving;
    return QFileInfo(m_fileURL.toLocalFile()).absolutePath();
}

void DocumentBase::setFolderForSaving(const QString &folder) { m_folderForSaving = folder; }

QString DocumentBase::fileType() const { return m_fileType; }

void DocumentBase::setFileType(const QString &type) { m_fileType = type; }

QString DocumentBase::displayName() const
{
    const QString name = m_fileURL.fileName();
    return name.isEmpty() ? localized(QStringLiteral("Untitled"), QStringLiteral("Untitled")) : name;
}

bool DocumentBase::saveToURL(const QUrl &url, const QString &type, SaveOperation operation, QString *reason)
{
    const auto refuse = [reason](const QString &why) {
        if (reason)
            *reason = why;
        return false;
    };
    if (!url.isLocalFile() || !writableTypes().contains(type)) {
        logError(QStringLiteral("Could not save \"%1\" as %2, because the document cannot write that")
                     .arg(url.toString(), type));
        return refuse(localized(QStringLiteral("SaveTypeReason"), QStringLiteral("the document cannot be written as that")));
    }
    const bool sameFile = m_fileURL.isLocalFile()
                          && QFileInfo(url.toLocalFile()).absoluteFilePath() == QFileInfo(m_fileURL.toLocalFile()).absoluteFilePath();
    if (sameFile && !m_ownsFile) {
        logError(QStringLiteral("Could not save over \"%1\", because it is the file the document was opened from")
                     .arg(url.toLocalFile()));
        return refuse(localized(QStringLiteral("SaveOverSourceReason"), QStringLiteral("it is the file the document was opened from, which is never written over")));
    }
    QString written;
    if (!writeToURL(url, type, &written))
        return refuse(written);
    logInfo(QStringLiteral("Saved \"%1\" to \"%2\"").arg(displayName(), url.toLocalFile()));
    if (operation != SaveOperation::SaveTo) {
        takeFile(url, type, true);
        setDocumentEdited(false);
    }
    return true;
}

void DocumentBase::saveDocument(Completion completion)
{
    if (!m_ownsFile || !m_fileURL.isLocalFile()) {
        saveDocumentAs(std::move(completion));
        return;
    }
    QString reason;
    if (saveToURL(m_fileURL, m_fileType, SaveOperation::Save, &reason))
        answerLater(completion, true);
    else
        tellSaveFailure(m_fileURL, reason, completion);
}

void DocumentBase::saveDocumentAs(Completion completion)
{
    const QString type = writableTypes().value(0);
    SavePanel panel;
    panel.setAllowedFileTypes({type});
    panel.setNameFieldStringValue(proposedName());
    if (const QString folder = folderForSaving(); !folder.isEmpty())
        panel.setDirectoryURL(QUrl::fromLocalFile(folder));
    const QPointer<DocumentBase> self(this);
    panel.beginSheetModalForWindow(windowForSheet(), [self, type, completion](int result, const QUrl &url) {
        if (!self || result != SavePanel::OKButton) {
            if (completion)
                completion(false);
            return;
        }
        QString reason;
        if (!self->saveToURL(url, type, SaveOperation::SaveAs, &reason)) {
            self->tellSaveFailure(url, reason, completion);
            return;
        }
        if (completion)
            completion(true);
    });
}

QString DocumentBase::notWrittenText(const QUrl &url, const QString &reason)
{
    const QString path = url.toLocalFile();
    // Writes replace a file only once all is written: a file there now is the one that was there.
    const QString text = QFileInfo::exists(path)
        ? localized(QStringLiteral("WriteFailedText"), QStringLiteral("Nothing was written to “%1”: %2. A file of that name stays as it was."))
        : localized(QStringLiteral("WriteFailedNewText"), QStringLiteral("Nothing was written to “%1”: %2."));
    return text.arg(path, reason);
}

void DocumentBase::tellSaveFailure(const QUrl &url, const QString &reason, const Completion &completion)
{
    Alert alert;
    alert.setAlertStyle(Alert::Style::Critical);
    alert.setMessageText(localized(QStringLiteral("SaveFailedTitle"), QStringLiteral("The document could not be saved as “%1”."))
                             .arg(url.fileName()));
    alert.setInformativeText(notWrittenText(url, reason));
    alert.addButtonWithTitle(localized(QStringLiteral("OK"), QStringLiteral("OK")));
    alert.beginSheetModalForWindow(windowForSheet(), [completion](int) {
        if (completion)
            completion(false);
    });
}

// Named after the document's own file; a source keeps its name only when the new type changes
// the file's name or the panel starts in another folder, so that the proposal never points at
// the source.
QString DocumentBase::proposedName() const
{
    const QString type = writableTypes().value(0);
    if (!m_fileURL.isLocalFile())
        return displayName() + QLatin1Char('.') + type;
    const QFileInfo file(m_fileURL.toLocalFile());
    const QString name = file.completeBaseName() + QLatin1Char('.') + type;
    if (m_ownsFile || name != file.fileName() || folderForSaving() != file.absolutePath())
        return name;
    return localized(QStringLiteral("CopyName"), QStringLiteral("%1 copy")).arg(file.completeBaseName())
           + QLatin1Char('.') + type;
}

void DocumentBase::revertDocumentToSaved(Completion completion)
{
    if (!completion)
        completion = [](bool) {};
    if (!m_fileURL.isLocalFile() || !isDocumentEdited()) {
        answerLater(completion, false);
        return;
    }
    Alert alert;
    alert.setMessageText(localized(QStringLiteral("RevertTitle"), QStringLiteral("Do you want to revert “%1” to its file?"))
                             .arg(displayName()));
    alert.setInformativeText(localized(QStringLiteral("RevertText"), QStringLiteral("Your changes will be lost.")));
    alert.addButtonWithTitle(localized(QStringLiteral("Revert"), QStringLiteral("Revert")), Alert::ButtonRole::Discard);
    alert.addButtonWithTitle(localized(QStringLiteral("Cancel"), QStringLiteral("Cancel")), Alert::ButtonRole::Cancel);
    const QPointer<DocumentBase> self(this);
    alert.beginSheetModalForWindow(windowForSheet(), [self, completion](int code) {
        if (self && code == Alert::FirstButtonReturn)
            self->readAgain(completion);
        else
            completion(false);
    });
}

void DocumentBase::readAgain(const Completion &completion)
{
    const QString path = m_fileURL.toLocalFile();
    QString reason;
    if (QFile file; !RegularFile::open(file, path, &reason)) {
        logError(QStringLiteral("Could not revert to \"%1\": %2").arg(path, reason));
        tellRevertFailure(localized(QStringLiteral("RevertFailedText"),
                                    QStringLiteral("Reading “%1” failed: %2. The document stays as it is, with your changes."))
                              .arg(path, reason),
                          completion);
        return;
    }
    // The file is read whole before anything of the document changes: a file that no longer
    // reads leaves the pages and their undo as they were.
    if (!readFromURL(m_fileURL, m_fileType, &reason)) {
        logError(QStringLiteral("Could not revert to \"%1\", as it no longer reads as a document").arg(path));
        tellRevertFailure(localized(QStringLiteral("RevertUnreadableText"), QStringLiteral("%1 The document stays as it is, with your changes."))
                              .arg(reason),
                          completion);
        return;
    }
    // The undo steps no longer fit the pages read.
    m_undoManager.removeAllActions();
    setDocumentEdited(false);
    emit reverted();
    completion(true);
}

void DocumentBase::tellRevertFailure(const QString &text, const Completion &completion)
{
    Alert alert;
    alert.setMessageText(localized(QStringLiteral("RevertFailedTitle"), QStringLiteral("“%1” could not be reverted.")).arg(displayName()));
    alert.setInformativeText(text);
    alert.addButtonWithTitle(localized(QStringLiteral("OK"), QStringLiteral("OK")));
    alert.beginSheetModalForWindow(windowForSheet(), [completion](int) { completion(false); });
}

bool DocumentBase::isDocumentEdited() const { return m_edited || !m_undoManager.isClean(); }

void DocumentBase::setDocumentEdited(bool edited)
{
    m_edited = edited;
    if (!edited)
        m_undoManager.setClean();
    announceEdited();
}

void DocumentBase::announceEdited()
{
    const bool edited = isDocumentEdited();
    if (edited == m_announcedEdited)
        return;
    m_announcedEdited = edited;
    emit editedChanged(edited);
}

UndoManager *DocumentBase::undoManager() { return &m_undoManager; }

void DocumentBase::addWindow(Window *window)
{
    if (window && !windows().contains(window))
        m_windows.append(window);
}

void DocumentBase::removeWindow(Window *window) { m_windows.removeAll(window); }

QList<Window *> DocumentBase::windows() const { return livePointers(m_windows); }

Window *DocumentBase::windowForSheet() const
{
    const QList<Window *> live = windows();
    return live.isEmpty() ? nullptr : live.last();
}

void DocumentBase::showWindows() {}

void DocumentBase::canClose(Completion completion)
{
    if (!completion)
        completion = [](bool) {};
    if (!isDocumentEdited()) {
        answerLater(completion, true);
        return;
    }
    Alert alert;
    alert.setMessageText(localized(QStringLiteral("SaveChangesTitle"),
                                   QStringLiteral("Do you want to save the changes made to the document “%1”?"))
                             .arg(displayName()));
    alert.setInformativeText(localized(QStringLiteral("SaveChangesText"),
                                       QStringLiteral("Your changes will be lost if you don’t save them.")));
    alert.addButtonWithTitle(localized(QStringLiteral("Save"), QStringLiteral("Save")), Alert::ButtonRole::Save);
    alert.addButtonWithTitle(localized(QStringLiteral("DontSave"), QStringLiteral("Don’t Save")), Alert::ButtonRole::Discard);
    alert.addButtonWithTitle(localized(QStringLiteral("Cancel"), QStringLiteral("Cancel")), Alert::ButtonRole::Cancel);
    const QPointer<DocumentBase> self(this);
    alert.beginSheetModalForWindow(windowForSheet(), [self, completion](int code) {
        if (self && code == Alert::FirstButtonReturn)
            self->saveDocument(completion);
        else
            completion(self && code == Alert::FirstButtonReturn + 1);
    });
}

void DocumentBase::close()
{
    for (Window *window : windows())
        window->close();
    m_windows.clear();
    emit didClose();
}

void DocumentBase::performClose()
{
    const QPointer<DocumentBase> self(this);
    canClose([self](bool allowed) {
        if (self && allowed)
            self->close();
    });
}

} // namespace platform
