#include "app/booklet/VXDocumentReading.h"

#include "platform/foundation/Progress.h"

#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>

namespace {

// Never destroyed, so that the exit does not wait for a reading that is still ending.
QThreadPool *readingPool()
{
    static QThreadPool *pool = [] {
        auto *made = new QThreadPool;
        made->setMaxThreadCount(std::max(2, QThread::idealThreadCount()));
        return made;
    }();
    return pool;
}

} // namespace

VXDocumentReading::VXDocumentReading(const QUrl &url, bool shownPagesFirst, Finished finished, QObject *parent)
    : QObject(parent)
    , m_progress(std::make_shared<platform::Progress>())
    , m_finished(std::move(finished))
{
    connect(&m_watcher, &QFutureWatcher<Document::Contents>::finished, this, [this] {
        if (isCancelled())
            return;
        // Called last: the call may delete the reading.
        const Finished finished = std::exchange(m_finished, {});
        finished(m_watcher.future().takeResult());
    });
    const QString path = url.toLocalFile();
    const std::shared_ptr<platform::Progress> progress = m_progress;
    m_watcher.setFuture(QtConcurrent::run(readingPool(), [path, shownPagesFirst, progress] {
        return Document::readContents(path, shownPagesFirst, progress.get());
    }));
}

VXDocumentReading::~VXDocumentReading() { cancel(); }

void VXDocumentReading::start(const QUrl &url, bool shownPagesFirst, QObject *context, Finished finished)
{
    auto *reading = new VXDocumentReading(url, shownPagesFirst, {}, context);
    reading->m_finished = [reading, finished](Document::Contents contents) {
        reading->deleteLater();
        finished(std::move(contents));
    };
}

const std::shared_ptr<platform::Progress> &VXDocumentReading::progress() const { return m_progress; }

bool VXDocumentReading::isCancelled() const { return m_progress->isCancelled(); }

void VXDocumentReading::cancel()
{
    m_progress->cancel();
    m_finished = {};
}
