#pragma once

#include <QString>

// The manual duplex set-up wizard, which records how a printer turns the sheets of a second run.
class VXManualDuplexSetup
{
public:
    virtual ~VXManualDuplexSetup() = default;

    // The printer to record; set before showWindow. Empty: the wizard asks for one.
    virtual void setPrinterName(const QString &printerName) = 0;
    virtual void showWindow() = 0;
};
