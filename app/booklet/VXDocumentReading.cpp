#include "app/booklet/VXDocumentReading.h"

#include "platform/foundation/Log.h"
#include "platform/foundation/Progress.h"

#include <QCoreApplication>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>

namespace {

// How long the exit waits for the readings it stopped: a PDF stops at its next block of the file,
// a picture only once it is decoded.
constexpr int ExitWaitMilliseconds = 2000;

// The readings under way, stopped together when the application quits. GUI thread.
QList<VXDocumentReading *> &readingsUnderWay()
{
    static QList<VXDocumentReading *> readings;
    return readings;
}

// Never destroyed, so that a reading that outlasts the exit's wait does not hold the exit up.
QThreadPool *readingPool()
{
    static QThreadPool *pool = [] {
        auto *made = new QThreadPool;
        made->setMaxThreadCount(std::max(2, QThread::idealThreadCount()));
        if (const QCoreApplication *application = QCoreApplication::instance())
            QObject::connect(application, &QCoreApplication::aboutToQuit, made, &VXDocumentReading::stopAll);
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
    readingsUnderWay().append(this);
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

VXDocumentReading::~VXDocumentReading()
{
    readingsUnderWay().removeOne(this);
    cancel();
}

void VXDocumentReading::stopAll()
{
    for (VXDocumentReading *reading : std::as_const(readingsUnderWay()))
        reading->cancel();
    if (!readingPool()->waitForDone(ExitWaitMilliseconds))
        platform::logWarning(QStringLiteral("A file was still being read %1 seconds after it was asked to stop").arg(ExitWaitMilliseconds / 1000));
}

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
