#pragma once

#include <QString>

class VXManualDuplexSetup;
class VXPreferencesWindow;
class VXPrintFactory;

namespace platform {
class Window;
} // namespace platform

// What the application shell offers the printing code: the current printer and the process-wide
// windows. Any of the objects may be null while the shell has not made it yet.
class VXApplicationServices
{
public:
    virtual ~VXApplicationServices() = default;

    // The print system's current printer; empty when there is none.
    virtual QString currentPrinterName() const = 0;
    virtual platform::Window *factoryWindow() const = 0;
    virtual VXPrintFactory *factory() const = 0;
    virtual VXPreferencesWindow *preferences() const = 0;
    // Opened by a document's manual duplex run.
    virtual VXManualDuplexSetup *manualDuplexSetup() const = 0;
};
