#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>

class Document;
class VXOpenFailures;

// The booklet documents the user has open: opens files into documents, keeps each file open only
// once, and lets a document go when it closes. GUI thread.
class VXDocumentController : public QObject
{
    Q_OBJECT
public:
    // The application's controller, made on first use; it goes with the application.
    static VXDocumentController *sharedDocumentController();

    explicit VXDocumentController(QObject *parent = nullptr);
    ~VXDocumentController() override;

    // The file as a document, its windows shown when display is set. A file that is open already
    // is not read again: its document is shown. Null when the file cannot be opened: the user is
    // told why, a line is logged, and the open documents stay as they are.
    Document *openDocumentWithContentsOfURL(const QUrl &url, bool display);
    // As above, but why the file could not be opened goes to failures, which the caller tells
    // together with the others of its request.
    Document *openDocumentWithContentsOfURL(const QUrl &url, bool display, VXOpenFailures &failures);
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

private:
    static void reportOpenFailure(const QUrl &url, const QString &reason, VXOpenFailures &failures);

    QList<Document *> m_documents;
};
