#pragma once

#include <QString>

class QAbstractButton;

namespace platform {
class PrintInfo;
} // namespace platform

// The batch factory as the print router sees it: where prints go when no document is given.
class VXPrintFactory
{
public:
    virtual ~VXPrintFactory() = default;

    // Prints every waiting task on the printer (the current one when empty), in manual duplex
    // or in automatic duplex.
    virtual void printOnPrinter(const QString &printerName, bool manual) = 0;
    virtual platform::PrintInfo &printInfo() = 0;
    // The factory's print button; may be null.
    virtual QAbstractButton *printButton() const = 0;
};
