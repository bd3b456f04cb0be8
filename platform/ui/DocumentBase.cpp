#include "platform/ui/DocumentBase.h"

#include "platform/foundation/Bundle.h"
#include "platform/foundation/GuardedPointers.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/MainQueue.h"
#include "platform/ui/Alert.h"
#include "platform/ui/SavePanel.h"
#include "platform/ui/Window.h"

#include <QFileInfo>

namespace platform {

namespace {

QString localized(const QString &key, const QString &english)
{
    return Bundle::mainBundle()->localizedStringForKey(key, english);
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
}

DocumentBase::~DocumentBase() = default;

bool DocumentBase::openURL(const QUrl &url, const QString &type)
{
    if (!readFromURL(url, type))
        return false;
    m_fileURL = url;
    m_fileType = type;
    m_edited = false;
    return true;
}

QUrl DocumentBase::fileURL() const { return m_fileURL; }

void DocumentBase::setFileURL(const QUrl &url) { m_fileURL = url; }

QString DocumentBase::fileType() const { return m_fileType; }

void DocumentBase::setFileType(const QString &type) { m_fileType = type; }

QString DocumentBase::displayName() const
{
    const QString name = m_fileURL.fileName();
    return name.isEmpty() ? localized(QStringLiteral("Untitled"), QStringLiteral("Untitled")) : name;
}

bool DocumentBase::saveToURL(const QUrl &url, const QString &type, SaveOperation operation)
{
    if (!url.isLocalFile() || !writableTypes().contains(type)) {
        logError(QStringLiteral("Could not save \"%1\" as %2, because the document cannot write that")
                     .arg(url.toString(), type));
        return false;
    }
    const bool ownFile = QFileInfo(url.toLocalFile()).absoluteFilePath()
                         == QFileInfo(m_fileURL.toLocalFile()).absoluteFilePath();
    if (ownFile && m_fileURL.isLocalFile() && !writableTypes().contains(m_fileType)) {
        logError(QStringLiteral("Could not save over \"%1\", because it is a %2 file and would be replaced by a %3 file")
                     .arg(url.toLocalFile(), m_fileType, type));
        return false;
    }
    if (!writeToURL(url, type))
        return false;
    if (operation != SaveOperation::SaveTo) {
        m_fileURL = url;
        m_fileType = type;
        m_edited = false;
    }
    return true;
}

void DocumentBase::saveDocument(Completion completion)
{
    if (m_fileURL.isLocalFile() && writableTypes().contains(m_fileType)) {
        answerLater(completion, saveToURL(m_fileURL, m_fileType, SaveOperation::Save));
        return;
    }
    saveDocumentAs(std::move(completion));
}

void DocumentBase::saveDocumentAs(Completion completion)
{
    const QString type = writableTypes().value(0);
    SavePanel panel;
    panel.setAllowedFileTypes({type});
    const QFileInfo file(m_fileURL.toLocalFile());
    const QString base = m_fileURL.isLocalFile() ? file.completeBaseName() : displayName();
    panel.setNameFieldStringValue(base + QLatin1Char('.') + type);
    if (m_fileURL.isLocalFile())
        panel.setDirectoryURL(QUrl::fromLocalFile(file.absolutePath()));
    const QPointer<DocumentBase> self(this);
    panel.beginSheetModalForWindow(windowForSheet(), [self, type, completion](int result, const QUrl &url) {
        const bool saved = self && result == SavePanel::OKButton && self->saveToURL(url, type, SaveOperation::SaveAs);
        if (completion)
            completion(saved);
    });
}

bool DocumentBase::isDocumentEdited() const { return m_edited; }

void DocumentBase::setDocumentEdited(bool edited) { m_edited = edited; }

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
    if (!m_edited) {
        answerLater(completion, true);
        return;
    }
    Alert alert;
    alert.setMessageText(localized(QStringLiteral("SaveChangesTitle"),
                                   QStringLiteral("Do you want to save the changes made to the document “%1”?"))
                             .arg(displayName()));
    alert.setInformativeText(localized(QStringLiteral("SaveChangesText"),
                                       QStringLiteral("Your changes will be lost if you don’t save them.")));
    alert.addButtonWithTitle(localized(QStringLiteral("Save"), QStringLiteral("Save")));
    alert.addButtonWithTitle(localized(QStringLiteral("Cancel"), QStringLiteral("Cancel")));
    alert.addButtonWithTitle(localized(QStringLiteral("DontSave"), QStringLiteral("Don’t Save")));
    const QPointer<DocumentBase> self(this);
    alert.beginSheetModalForWindow(windowForSheet(), [self, completion](int code) {
        if (!self || code == Alert::FirstButtonReturn + 1) {
            completion(false);
        } else if (code == Alert::FirstButtonReturn) {
            self->saveDocument(completion);
        } else {
            completion(true);
        }
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
