#include "app/shell/VXDocumentController.h"

#include "app/booklet/Document.h"
#include "app/booklet/VXDocumentReading.h"
#include "app/booklet/VXOpenFailures.h"
#include "app/window/VXDocumentWindowController.h"
#include "RQS-Kit/Foundation/StringExtension.h"
#include "platform/foundation/Log.h"
#include "platform/ui/ProgressPanel.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <algorithm>

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

// One file being read for a document, and who asked for it.
struct VXDocumentController::Opening
{
    // One request's ask for the file: what follows the opening, and where its failure goes.
    struct Ask
    {
        Opened opened;
        std::shared_ptr<VXOpenFailures> failures;
    };

    QUrl url;
    QString path;
    bool display = false;
    // Children of the controller, deleted later once the opening ends: they may be what ends it.
    VXDocumentReading *reading = nullptr;
    platform::ProgressPanel *progress = nullptr;
    // Made while the file is read, to take what is read; deleted when nothing is.
    std::unique_ptr<Document> document;
    QList<Ask> asked;
};

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

void VXDocumentController::openDocumentWithContentsOfURL(const QUrl &url, bool display, Opened opened,
                                                          std::shared_ptr<VXOpenFailures> failures)
{
    if (Document *open = documentForURL(url)) {
        if (display)
            showWindowsOf(open);
        if (opened)
            opened(open);
        return;
    }
    Opening *opening = openingFor(url);
    if (!opening) {
        m_openings.push_back(std::make_unique<Opening>());
        opening = m_openings.back().get();
        opening->url = url;
        opening->path = canonicalPath(url);
        // A document to be shown reads the pages it shows first, the rest once they are shown.
        opening->reading = new VXDocumentReading(url, display, [this, opening](Document::Contents contents) {
            Document *document = nullptr;
            const QString failure = contents.failureText();
            if (opening->document->openWithContents(opening->url, std::move(contents)))
                document = opening->document.release();
            else
                reportOpenFailure(*opening, failure);
            keep(document, *opening);
            endOpening(opening, document);
        }, this);
        opening->document = std::make_unique<Document>();
        opening->document->setReadsShownPagesFirst(display);
    }
    if (display && !std::exchange(opening->display, true))
        showProgress(*opening);
    if (!failures) {
        failures = std::make_shared<VXOpenFailures>();
        opened = [failures, opened = std::move(opened)](Document *document) {
            if (opened)
                opened(document);
            failures->tell();
        };
    }
    opening->asked.append({std::move(opened), std::move(failures)});
}

bool VXDocumentController::isOpening() const { return !m_openings.empty(); }

void VXDocumentController::afterOpenings(std::function<void()> call)
{
    if (isOpening())
        m_afterOpenings.append(std::move(call));
    else
        call();
}

VXDocumentController::Opening *VXDocumentController::openingFor(const QUrl &url) const
{
    const QString path = canonicalPath(url);
    const auto found = std::find_if(m_openings.cbegin(), m_openings.cend(), [&](const std::unique_ptr<Opening> &opening) {
        return !path.isEmpty() && opening->path == path;
    });
    return found != m_openings.cend() ? found->get() : nullptr;
}

void VXDocumentController::showProgress(Opening &opening)
{
    const QString name = QFileInfo(opening.url.toLocalFile()).fileName();
    opening.progress = new platform::ProgressPanel(opening.reading->progress(),
                                                   rqs::localized(QStringLiteral("OpeningFileText")).replace(QLatin1String("%1"), name), this);
    Opening *cancelled = &opening;
    connect(opening.progress, &platform::ProgressPanel::cancelled, this, [this, cancelled] {
        platform::logInfo(QStringLiteral("Stopped opening \"%1\", as the user asked").arg(cancelled->url.toLocalFile()));
        endOpening(cancelled, nullptr);
    });
}

void VXDocumentController::keep(Document *document, const Opening &opening)
{
    if (!document)
        return;
    document->setParent(this);
    m_documents.append(document);
    platform::logInfo(QStringLiteral("Opened \"%1\"").arg(opening.url.toLocalFile()));
    connect(document, &Document::didClose, this, [this, document] { removeDocument(document); });
    if (opening.display)
        showWindowsOf(document);
}

void VXDocumentController::endOpening(Opening *opening, Document *document)
{
    const auto found = std::find_if(m_openings.begin(), m_openings.end(),
                                    [opening](const std::unique_ptr<Opening> &each) { return each.get() == opening; });
    if (found == m_openings.end())
        return;
    const std::unique_ptr<Opening> ended = std::move(*found);
    m_openings.erase(found);
    ended->reading->cancel();
    ended->reading->deleteLater();
    if (ended->progress) {
        ended->progress->disconnect(this);
        ended->progress->close();
        ended->progress->deleteLater();
    }
    for (const Opening::Ask &ask : std::as_const(ended->asked)) {
        if (ask.opened)
            ask.opened(document);
    }
    emit openingEnded();
    if (!isOpening()) {
        for (const std::function<void()> &call : std::exchange(m_afterOpenings, {}))
            call();
    }
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

void VXDocumentController::reportOpenFailure(const Opening &opening, const QString &reason)
{
    const QString name = opening.url.isLocalFile() ? opening.url.toLocalFile() : opening.url.toString();
    for (const Opening::Ask &ask : opening.asked)
        ask.failures->add(name, reason);
}
