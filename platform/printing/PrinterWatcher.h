#pragma once

#include <QObject>
#include <QSet>
#include <QString>
#include <QTimer>

#include <chrono>

namespace platform {

// Notices print queues coming and going by asking CUPS for the list at an interval, and posts
// RegisteredNotification / UnregisteredNotification on the distributed NotificationCenter for each
// one (no object; userInfo PrinterNameKey: the queue's name). The list it starts with is not
// announced. While the server cannot be asked the last known list stands, and the reason is
// logged once per outage. GUI thread.
class PrinterWatcher : public QObject
{
    Q_OBJECT
public:
    static inline const QString RegisteredNotification = QStringLiteral("CMDeviceRegisteredNotification");
    static inline const QString UnregisteredNotification = QStringLiteral("CMDeviceUnregisteredNotification");
    static inline const QString PrinterNameKey = QStringLiteral("printerName");

    explicit PrinterWatcher(std::chrono::milliseconds interval = std::chrono::seconds(2),
                            QObject *parent = nullptr);

private:
    // False while the server cannot be asked; the reason is logged when it is new.
    bool fetch(QSet<QString> *printers);
    void poll();

    QTimer m_timer;
    QSet<QString> m_printers;
    QString m_lastError;
};

} // namespace platform
