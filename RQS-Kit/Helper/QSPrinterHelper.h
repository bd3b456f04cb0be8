#pragma once

#include <QString>

// A few questions to the print system (CUPS) about its printers. Each asks the server and may
// wait on it for seconds; the GUI thread reads platform::PrinterCache instead.
class QSPrinterHelper
{
public:
    // The default destination (the user's lpoptions default, else the server's); empty when none.
    static QString currentPrinterName();
    // The name of the printer called so; empty when the print system knows none.
    static QString printerByName(const QString &name);
    // Whether the printer can print two-sided with short-edge binding; NO for an unknown name.
    static bool printerSupportsDuplex(const QString &name);

    QSPrinterHelper() = delete;
};
