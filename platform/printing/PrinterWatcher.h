#pragma once

#include <QObject>
#include <QSet>
#include <QString>

namespace platform {

class PrinterCache;

// Turns the changes a PrinterCache announces into RegisteredNotification and
// UnregisteredNotification on the distributed NotificationCenter, one per queue that came or went
// (no object; userInfo PrinterNameKey: the queue's name). The cache's first answer is where it
// starts and is not announced. GUI thread.
class PrinterWatcher : public QObject
{
    Q_OBJECT
public:
    static inline const QString RegisteredNotification = QStringLiteral("CMDeviceRegisteredNotification");
    static inline const QString UnregisteredNotification = QStringLiteral("CMDeviceUnregisteredNotification");
    static inline const QString PrinterNameKey = QStringLiteral("printerName");

    explicit PrinterWatcher(PrinterCache *cache, QObject *parent = nullptr);

private:
    void update();

    PrinterCache *m_cache;
    QSet<QString> m_printers;
    bool m_started = false;
};

} // namespace platform
