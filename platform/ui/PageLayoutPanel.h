#pragma once

#include "platform/printing/PrintInfo.h"

#include <functional>

class QPrinter;

namespace platform {

class Window;

// The page set-up dialog (Qt's) editing the paper, orientation and margins of a print info. Shown
// as a sheet on a window, or application-modal when there is none; the completion runs on a later
// turn of the main queue with OKButton and the edited print info, or CancelButton and the print
// info unchanged. GUI thread.
class PageLayoutPanel
{
public:
    static constexpr int CancelButton = 0;
    static constexpr int OKButton = 1;

    using Completion = std::function<void(int result, const PrintInfo &printInfo)>;
    // Stands in for the user: while one is set, the dialog is not shown; the responder edits the
    // printer's page layout as the dialog would and returns OKButton or CancelButton.
    using Responder = std::function<int(QPrinter &printer)>;

    static void beginSheetWithPrintInfo(const PrintInfo &printInfo, Window *window, Completion completion);

    static void setResponder(Responder responder);
};

} // namespace platform
