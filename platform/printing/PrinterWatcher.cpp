#include "platform/printing/PrinterWatcher.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/printing/PrinterCache.h"

#include <algorithm>

namespace platform {

namespace {

QList<QString> sorted(const QSet<QString> &names)
{
    QList<QString> list(names.cbegin(), names.cend());
    std::sort(list.begin(), list.end());
    return list;
}

} // namespace

PrinterWatcher::PrinterWatcher(PrinterCache *cache, QObject *parent) : QObject(parent), m_cache(cache)
{
    connect(cache, &PrinterCache::printersChanged, this, &PrinterWatcher::update);
    connect(cache, &PrinterCache::loaded, this, &PrinterWatcher::update);
    if (cache->isLoaded())
        update();
}

void PrinterWatcher::update()
{
    const QStringList names = m_cache->printerNames();
    const QSet<QString> now(names.cbegin(), names.cend());
    if (!std::exchange(m_started, true)) {
        m_printers = now;
        return;
    }
    const QSet<QString> gone = m_printers - now;
    const QSet<QString> added = now - m_printers;
    m_printers = now;
    NotificationCenter *center = NotificationCenter::distributedCenter();
    for (const QString &name : sorted(gone))
        center->post(UnregisteredNotification, nullptr, {{PrinterNameKey, name}});
    for (const QString &name : sorted(added))
        center->post(RegisteredNotification, nullptr, {{PrinterNameKey, name}});
}

} // namespace platform
