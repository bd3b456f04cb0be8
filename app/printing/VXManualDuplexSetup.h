#pragma once

#include <QString>

#include <functional>

// The manual duplex set-up wizard, which records how a printer turns the sheets of a second run.
class VXManualDuplexSetup
{
public:
    // The printer whose answers the wizard recorded; empty when it closed without recording.
    using Finished = std::function<void(const QString &recordedPrinter)>;

    virtual ~VXManualDuplexSetup() = default;

    // The printer to record; set before showWindow. Empty: the wizard asks for one.
    virtual void setPrinterName(const QString &printerName) = 0;
    virtual void showWindow() = 0;
    // Heard once, when the wizard's window has closed; everyone waiting hears the same.
    virtual void whenFinished(Finished finished) = 0;
};
