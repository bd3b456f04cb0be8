#pragma once

#include "platform/printing/Printer.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace platform {

// The queues of the CUPS server libcups talks to ($CUPS_SERVER, client.conf, else the local one).
// Each call asks the server afresh. GUI thread.
class PrinterList
{
public:
    // Queue names in the server's order (by name). A server that cannot be reached gives an empty
    // list: with errorText the reason goes there for the caller to report, otherwise it is logged.
    static QStringList printerNames(QString *errorText = nullptr);
    // The user's lpoptions default when that queue exists, else the server's default; empty when
    // there is neither.
    static QString defaultPrinterName();
    // None for a name no queue has, the empty name included (logged with the server's reason).
    static std::optional<Printer> printerNamed(const QString &name);
};

} // namespace platform
