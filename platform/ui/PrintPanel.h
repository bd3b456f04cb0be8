#pragma once

#include "platform/printing/PrintInfo.h"

#include <functional>

class QPrinter;

namespace platform {

class Window;

// The print dialog (Qt's) choosing the printer and the number of copies of a print info. Shown as
// a sheet on a window, or application-modal when there is none; the completion runs on a later
// turn of the main queue with OKButton and the edited print info, or CancelButton and the print
// info unchanged. GUI thread.
class PrintPanel
{
public:
    static constexpr int CancelButton = 0;
    static constexpr int OKButton = 1;

    using Completion = std::function<void(int result, const PrintInfo &printInfo)>;
    // Stands in for the user: while one is set, the dialog is not shown; the responder edits the
    // printer the dialog would edit and returns OKButton or CancelButton.
    using Responder = std::function<int(QPrinter &printer)>;

    // Whether the user may pick another printer than the print info's. A fixed printer shows in
    // the dialog without the choice, and the print info read back keeps it.
    enum class PrinterChoice { Free, Fixed };

    static void beginSheetWithPrintInfo(const PrintInfo &printInfo, Window *window, Completion completion,
                                        PrinterChoice choice = PrinterChoice::Free);

    static void setResponder(Responder responder);
};

} // namespace platform
