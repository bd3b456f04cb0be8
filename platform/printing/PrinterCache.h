#pragma once

#include <QFutureWatcher>
#include <QHash>
#include <QMutex>
#include <QSet>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <chrono>
#include <functional>
#include <optional>

namespace platform {

// The print server's queues and default printer as last asked, for the GUI thread to read at no
// wait: asking CUPS can take seconds with network printers. A worker thread asks (PrinterList)
// at every interval and on refresh(); printersChanged() then tells the GUI thread of a changed
// answer. Until the first ask has finished the list is empty and isLoaded() false. While the
// server cannot be asked the last answer stands and the reason is logged once per outage.
// Reads are safe from any thread; the object itself lives on the GUI thread.
class PrinterCache : public QObject
{
    Q_OBJECT
public:
    // The process's cache, made on first use (on the GUI thread); asks every 2 s.
    static PrinterCache *shared();

    explicit PrinterCache(std::chrono::milliseconds interval, QObject *parent = nullptr);

    QStringList printerNames() const;
    QString defaultPrinterName() const;
    // The queue's own spelling of name (CUPS names ignore case); empty when no queue has it.
    QString printerNamed(const QString &name) const;
    // The server says that the queue prints both sides by itself; false for a queue without a
    // duplex option and for a name no queue has.
    bool printsBothSides(const QString &name) const;
    // True once the server was first asked, whether it answered or not.
    bool isLoaded() const;
    // Runs work on the GUI thread once isLoaded(), at once when it already is; dropped when
    // context goes first.
    void whenLoaded(QObject *context, std::function<void()> work);

    // Asks again now (after the ask under way, if any).
    void refresh();
    // Queues whose device URI has this scheme are left out of every answer (an empty scheme
    // leaves none out): the application's own queue, which hands what is printed back to it, is
    // never where the user means to print.
    void leaveOutDeviceScheme(const QString &scheme);
    // The queue of that name is one the answers leave out.
    bool leavesOut(const QString &name) const;

    // From the next ask on, the CUPS server at this address or socket instead of libcups's own
    // choice; empty for that again. For tests and measurements.
    void setServer(const QString &server);

signals:
    // After the first ask, and after every ask whose answer differs from the last.
    void printersChanged();
    void loaded();

private:
    struct Answer
    {
        QStringList names;
        QString defaultName;
        QHash<QString, QString> deviceURIs;
        QSet<QString> twoSided;
        QString error;
    };
    static Answer ask(const QString &server);
    bool isLeftOut(const QString &name) const;
    void take(const Answer &answer);

    mutable QMutex m_mutex;
    // As the server answered; the reads leave out the queues of m_leftOutScheme.
    QStringList m_names;
    QString m_defaultName;
    QHash<QString, QString> m_deviceURIs;
    QSet<QString> m_twoSided;
    QString m_leftOutScheme;
    QString m_server;
    bool m_loaded = false;

    QTimer m_timer;
    QFutureWatcher<Answer> m_asking;
    bool m_askAgain = false;
    QString m_lastError;
};

} // namespace platform
