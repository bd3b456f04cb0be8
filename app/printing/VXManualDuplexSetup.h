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

    // Opens the wizard on the printer (empty: it asks for one), or brings it to the front when it
    // is open for that printer already. finished (may be empty) is heard once, when the window
    // has closed; everyone waiting for one opening hears the same. While the wizard is open for
    // another printer nothing changes: false, and the user is told that it is open for another.
    virtual bool open(const QString &printerName, Finished finished) = 0;
};
