#include "app/shell/VXDocumentController.h"

#include "app/booklet/Document.h"
#include "app/booklet/VXOpenFailures.h"
#include "app/window/VXDocumentWindowController.h"
#include "RQS-Kit/Foundation/StringExtension.h"
#include "platform/foundation/Log.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace {

// Symbolic links and relative paths name the same file as its own path does.
QString canonicalPath(const QUrl &url)
{
    return url.isLocalFile() ? QFileInfo(url.toLocalFile()).canonicalFilePath() : QString();
}

// A document opened here is shown in the document window.
void showWindowsOf(Document *document)
{
    VXDocumentWindowController::makeWindowController(document);
    document->showWindows();
}

} // namespace

VXDocumentController *VXDocumentController::sharedDocumentController()
{
    static VXDocumentController *shared = new VXDocumentController(QCoreApplication::instance());
    return shared;
}

VXDocumentController::VXDocumentController(QObject *parent)
    : QObject(parent)
{
}

VXDocumentController::~VXDocumentController() = default;

Document *VXDocumentController::openDocumentWithContentsOfURL(const QUrl &url, bool display)
{
    VXOpenFailures failures;
    Document *document = openDocumentWithContentsOfURL(url, display, failures);
    failures.tell();
    return document;
}

Document *VXDocumentController::openDocumentWithContentsOfURL(const QUrl &url, bool display, VXOpenFailures &failures)
{
    if (Document *open = documentForURL(url)) {
        if (display)
            showWindowsOf(open);
        return open;
    }
    const QString type = Document::typeForContentsOfURL(url);
    if (type.isEmpty()) {
        reportOpenFailure(url, rqs::localized(QStringLiteral("OpenFailedUnreadableText")), failures);
        return nullptr;
    }
    auto *document = new Document(this);
    document->setReadsShownPagesFirst(display);
    if (!document->openURL(url, type)) {
        const QString reason = document->openFailureText();
        delete document;
        reportOpenFailure(url, reason, failures);
        return nullptr;
    }
    m_documents.append(document);
    platform::logInfo(QStringLiteral("Opened \"%1\"").arg(url.toLocalFile()));
    connect(document, &Document::didClose, this, [this, document] { removeDocument(document); });
    if (display)
        showWindowsOf(document);
    return document;
}

Document *VXDocumentController::newDocument()
{
    auto *document = new Document(this);
    m_documents.append(document);
    connect(document, &Document::didClose, this, [this, document] { removeDocument(document); });
    showWindowsOf(document);
    return document;
}

QList<Document *> VXDocumentController::documents() const { return m_documents; }

Document *VXDocumentController::documentForURL(const QUrl &url) const
{
    const QString path = canonicalPath(url);
    if (path.isEmpty())
        return nullptr;
    for (Document *document : m_documents) {
        if (canonicalPath(document->fileURL()) == path)
            return document;
    }
    return nullptr;
}

void VXDocumentController::removeDocument(Document *document)
{
    if (!m_documents.removeOne(document))
        return;
    document->deleteLater();
    emit documentRemoved();
}

void VXDocumentController::reportOpenFailure(const QUrl &url, const QString &reason, VXOpenFailures &failures)
{
    const QString name = url.isLocalFile() ? url.toLocalFile() : url.toString();
    platform::logError(QStringLiteral("Could not open \"%1\" as a booklet").arg(name));
    failures.add(name, reason);
}
