#pragma once

#include "platform/printing/Printer.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>

namespace platform {

// The queues of the CUPS server libcups talks to ($CUPS_SERVER, client.conf, else the local one).
// Each call asks the server afresh and may wait on it for seconds: call it off the GUI thread
// (PrinterCache does) or where a wait is due anyway, such as a job's submission.
class PrinterList
{
public:
    struct Queues
    {
        // In the server's order (by name).
        QStringList names;
        // The user's lpoptions default when that queue exists, else the server's; empty when
        // there is neither.
        QString defaultName;
        // Each queue's device URI, where the server tells it.
        QHash<QString, QString> deviceURIs;
        // The queues that the server says print both sides by themselves (a duplex option).
        QSet<QString> twoSided;
    };

    // None when the server cannot be reached: with errorText the reason goes there for the
    // caller to report, otherwise it is logged.
    static std::optional<Queues> queues(QString *errorText = nullptr);
    static QString defaultPrinterName();
    // None for a name no queue has, the empty name included (logged with the server's reason).
    static std::optional<Printer> printerNamed(const QString &name);

    // How many of the asks above were made on the GUI thread, where none belongs: a count that
    // tests read to show that GUI paths only read PrinterCache.
    static int guiThreadAsks();
};

} // namespace platform
