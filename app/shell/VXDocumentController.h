#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>
#include <memory>
#include <vector>

class Document;
class VXOpenFailures;

// The booklet documents the user has open: opens files into documents, keeps each file open only
// once, and lets a document go when it closes. GUI thread.
class VXDocumentController : public QObject
{
    Q_OBJECT
public:
    // What an opening came to: the document, or null when the file did not open.
    using Opened = std::function<void(Document *document)>;

    // The application's controller, made on first use; it goes with the application.
    static VXDocumentController *sharedDocumentController();

    explicit VXDocumentController(QObject *parent = nullptr);
    ~VXDocumentController() override;

    // Opens the file as a document, its windows shown when display is set, then calls opened.
    // The file is read away from the GUI thread, so that every window stays usable however long
    // it takes; a reading that takes more than a moment shows its progress with a Cancel button
    // when display is set. A file that is open already is not read again: its document is shown
    // and opened is called at once; a file being read is read once for every ask. A file that
    // cannot be opened is logged, and why goes to failures before opened is called, for the
    // caller to tell together with the others of its request; without failures it is told alone
    // once opened has been called. A cancelled one is only logged. The open documents stay as
    // they are.
    void openDocumentWithContentsOfURL(const QUrl &url, bool display, Opened opened = {},
                                       std::shared_ptr<VXOpenFailures> failures = {});
    // Files being read for documents.
    bool isOpening() const;
    // Runs the call once no file is being read for a document: at once when none is.
    void afterOpenings(std::function<void()> call);
    // An empty document without a file, shown; its pages are added in its window.
    Document *newDocument();
    // In the order they were opened.
    QList<Document *> documents() const;
    // The open document of that file, by whatever path it is named; null when none.
    Document *documentForURL(const QUrl &url) const;
    // Forgets the document and deletes it later; one it does not keep is left alone.
    void removeDocument(Document *document);

signals:
    void documentRemoved();
    // A file has been read for a document, whatever came of it.
    void openingEnded();

private:
    struct Opening;

    Opening *openingFor(const QUrl &url) const;
    void showProgress(Opening &opening);
    // Keeps the document read for the opening (null when there is none) and shows it as asked.
    void keep(Document *document, const Opening &opening);
    // Takes the opening out of those under way and tells those who asked for it what it came to.
    void endOpening(Opening *opening, Document *document);
    // Adds the failure, which the reading logged, to the failures of every request that asked for
    // the file.
    static void reportOpenFailure(const Opening &opening, const QString &reason);

    QList<Document *> m_documents;
    std::vector<std::unique_ptr<Opening>> m_openings;
    QList<std::function<void()>> m_afterOpenings;
};
