#include "platform/printing/PrinterCache.h"

#include "platform/foundation/Log.h"
#include "platform/printing/PrinterList.h"

#include <QCoreApplication>
#include <QMutexLocker>
#include <QPointer>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>

#include <cups/cups.h>

namespace platform {

namespace {

// One thread for every ask: libcups keeps its server and connection per thread, and asks never
// overlap. Never destroyed, so that a server that does not answer cannot hold up the exit.
QThreadPool *askingPool()
{
    static QThreadPool *pool = [] {
        auto *made = new QThreadPool;
        made->setMaxThreadCount(1);
        made->setExpiryTimeout(-1);
        return made;
    }();
    return pool;
}

} // namespace

PrinterCache *PrinterCache::shared()
{
    static QPointer<PrinterCache> shared;
    if (!shared)
        shared = new PrinterCache(std::chrono::seconds(2), QCoreApplication::instance());
    return shared;
}

PrinterCache::PrinterCache(std::chrono::milliseconds interval, QObject *parent) : QObject(parent)
{
    connect(&m_asking, &QFutureWatcher<Answer>::finished, this, [this] {
        take(m_asking.result());
        if (std::exchange(m_askAgain, false))
            refresh();
    });
    m_timer.setInterval(interval);
    connect(&m_timer, &QTimer::timeout, this, &PrinterCache::refresh);
    m_timer.start();
    refresh();
}

bool PrinterCache::isLeftOut(const QString &name) const
{
    return !m_leftOutScheme.isEmpty() && m_deviceURIs.value(name).startsWith(m_leftOutScheme + QLatin1Char(':'));
}

QStringList PrinterCache::printerNames() const
{
    const QMutexLocker locker(&m_mutex);
    QStringList names = m_names;
    names.removeIf([this](const QString &name) { return isLeftOut(name); });
    return names;
}

QString PrinterCache::defaultPrinterName() const
{
    const QMutexLocker locker(&m_mutex);
    return isLeftOut(m_defaultName) ? QString() : m_defaultName;
}

QString PrinterCache::printerNamed(const QString &name) const
{
    const QMutexLocker locker(&m_mutex);
    for (const QString &queue : m_names) {
        if (queue.compare(name, Qt::CaseInsensitive) == 0)
            return isLeftOut(queue) ? QString() : queue;
    }
    return {};
}

bool PrinterCache::printsBothSides(const QString &name) const
{
    const QString queue = printerNamed(name);
    const QMutexLocker locker(&m_mutex);
    return m_twoSided.contains(queue);
}

void PrinterCache::leaveOutDeviceScheme(const QString &scheme)
{
    const QMutexLocker locker(&m_mutex);
    m_leftOutScheme = scheme;
}

bool PrinterCache::leavesOut(const QString &name) const
{
    const QMutexLocker locker(&m_mutex);
    return isLeftOut(name);
}

bool PrinterCache::isLoaded() const
{
    const QMutexLocker locker(&m_mutex);
    return m_loaded;
}

void PrinterCache::whenLoaded(QObject *context, std::function<void()> work)
{
    if (isLoaded())
        work();
    else
        connect(this, &PrinterCache::loaded, context, std::move(work), Qt::SingleShotConnection);
}

void PrinterCache::refresh()
{
    if (m_asking.isRunning()) {
        m_askAgain = true;
        return;
    }
    QString server;
    {
        const QMutexLocker locker(&m_mutex);
        server = m_server;
    }
    m_asking.setFuture(QtConcurrent::run(askingPool(), &PrinterCache::ask, server));
}

void PrinterCache::setServer(const QString &server)
{
    const QMutexLocker locker(&m_mutex);
    m_server = server;
}

PrinterCache::Answer PrinterCache::ask(const QString &server)
{
    // Switching servers drops the thread's connection, so it is done only on a change.
    thread_local QString askedServer;
    if (server != askedServer) {
        cupsSetServer(server.isEmpty() ? nullptr : server.toUtf8().constData());
        askedServer = server;
    }
    Answer answer;
    if (const std::optional<PrinterList::Queues> queues = PrinterList::queues(&answer.error)) {
        answer.names = queues->names;
        answer.defaultName = queues->defaultName;
        answer.deviceURIs = queues->deviceURIs;
        answer.twoSided = queues->twoSided;
    }
    return answer;
}

void PrinterCache::take(const Answer &answer)
{
    bool first = false;
    bool changed = false;
    {
        const QMutexLocker locker(&m_mutex);
        first = !m_loaded;
        m_loaded = true;
        if (answer.error.isEmpty()) {
            changed = first || answer.names != m_names || answer.defaultName != m_defaultName
                || answer.deviceURIs != m_deviceURIs || answer.twoSided != m_twoSided;
            m_names = answer.names;
            m_defaultName = answer.defaultName;
            m_deviceURIs = answer.deviceURIs;
            m_twoSided = answer.twoSided;
        }
    }
    if (!answer.error.isEmpty() && answer.error != m_lastError)
        logWarning(QStringLiteral("The printers could not be listed: %1").arg(answer.error));
    m_lastError = answer.error;
    if (changed)
        emit printersChanged();
    if (first)
        emit loaded();
}

} // namespace platform
