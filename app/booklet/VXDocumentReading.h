#pragma once

#include "app/booklet/Document.h"

#include <QFutureWatcher>
#include <QObject>
#include <QUrl>

#include <functional>
#include <memory>

namespace platform {
class Progress;
} // namespace platform

// One file read for a document away from the GUI thread (Document::readContents on threads of
// its own), so that no window waits for it: a damaged PDF of gigabytes keeps qpdf repairing it
// for minutes. What was read is handed to the finished call on the GUI thread.
//
// Cancelling stops the reading at its next block of the file (PdfFileInput) and hands nothing
// over. The thread is not waited for: it ends by itself, and the user's Cancel is not held up by
// a file that is slow to read. Destroying the reading cancels it. When the application quits, every
// reading is cancelled and its thread waited for a moment, so that none reads on into what the
// exit destroys (the log, Qt's image plugins, the lock of qpdf). GUI thread.
class VXDocumentReading : public QObject
{
    Q_OBJECT
public:
    using Finished = std::function<void(Document::Contents contents)>;

    // Starts at once; shownPagesFirst as Document::readContents takes it. The reading may be
    // deleted in the finished call, but only later (deleteLater).
    VXDocumentReading(const QUrl &url, bool shownPagesFirst, Finished finished, QObject *parent = nullptr);
    ~VXDocumentReading() override;
    // A reading that goes by itself once finished, or with the context, cancelled.
    static void start(const QUrl &url, bool shownPagesFirst, QObject *context, Finished finished);

    // Cancels every reading under way and waits for their threads to end, two seconds at most
    // (logged). Run as the application quits.
    static void stopAll();

    // The bytes of the file read so far of its size.
    const std::shared_ptr<platform::Progress> &progress() const;
    bool isCancelled() const;
    void cancel();

private:
    std::shared_ptr<platform::Progress> m_progress;
    Finished m_finished;
    QFutureWatcher<Document::Contents> m_watcher;
};
