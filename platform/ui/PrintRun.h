#pragma once

#include "platform/printing/PrintInfo.h"
#include "platform/printing/PrintOperation.h"

#include <QString>

#include <functional>

class QObject;

namespace platform {

class Printable;
class Window;

// A print run modal to a window: the print panel on the job, then the printable that prepare
// makes ready for the chosen job is drawn under a progress sheet and sent off without blocking
// the window's event loop. finished hears the outcome and the chosen job on a later turn, unless
// context has gone; a cancelled panel or a null printable is an outcome that is not done, as is a
// printer that PrinterCache leaves out, which gets nothing. GUI thread.
class PrintRun
{
public:
    struct Job
    {
        PrintInfo printInfo;
        // The name the print queue shows.
        QString title;
        // The progress sheet's text; "%1" becomes the title.
        QString progressLabel;
        // False when the user already chose the printer and its settings for this job.
        bool showsPrintPanel = true;
        // Why nothing is sent when the printer chosen is one PrinterCache leaves out (the
        // application's own queue); "%1" becomes the printer's name.
        QString leftOutPrinterReason;
        // The print panel offers no other printer than the print info's (when it names one).
        bool printerFixed = false;
    };
    // The printable must live until begin's finished runs.
    using Prepare = std::function<Printable *(const PrintInfo &chosen)>;
    using Finished = std::function<void(const PrintOperation::Outcome &outcome, const PrintInfo &chosen)>;

    static void beginModalForWindow(const Job &job, Window *window, QObject *context, Prepare prepare, Finished finished);
    // Work on the operation under a progress sheet on the window that may stop it between two
    // pages; the sheet goes when the work returns.
    static bool withProgress(PrintOperation &operation, Window *window, const QString &label, const std::function<bool()> &work);

    PrintRun() = delete;
};

} // namespace platform
