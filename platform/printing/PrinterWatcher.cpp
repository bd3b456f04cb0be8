#include "platform/printing/PrinterWatcher.h"

#include "platform/foundation/Log.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/printing/PrinterList.h"

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

PrinterWatcher::PrinterWatcher(std::chrono::milliseconds interval, QObject *parent) : QObject(parent)
{
    fetch(&m_printers);
    m_timer.setInterval(interval);
    connect(&m_timer, &QTimer::timeout, this, &PrinterWatcher::poll);
    m_timer.start();
}

bool PrinterWatcher::fetch(QSet<QString> *printers)
{
    QString error;
    const QStringList names = PrinterList::printerNames(&error);
    if (!error.isEmpty()) {
        if (error != m_lastError)
            logWarning(QStringLiteral("The printers could not be listed: %1").arg(error));
        m_lastError = error;
        return false;
    }
    m_lastError.clear();
    *printers = QSet<QString>(names.cbegin(), names.cend());
    return true;
}

void PrinterWatcher::poll()
{
    QSet<QString> now;
    if (!fetch(&now))
        return;
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
