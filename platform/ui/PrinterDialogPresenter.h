#pragma once

#include "platform/printing/PrintInfo.h"

#include <QDialog>

#include <functional>

class QPrinter;

namespace platform {

class Window;

// Runs one of Qt's dialogs that edit a printer, the way the print and page set-up panels do: the
// printer is made for the print info's printer and lives as long as the dialog's end handler, a
// responder may stand in for the user, and the completion gets QDialog::Accepted with the print
// info read back from the edited printer, or QDialog::Rejected with the print info unchanged.
// GUI thread.
class PrinterDialogPresenter
{
public:
    using Completion = std::function<void(int result, const PrintInfo &printInfo)>;
    // Edits the printer as the user would; returns QDialog::Accepted or QDialog::Rejected.
    using Responder = std::function<int(QPrinter &printer)>;
    // Sets the printer up from the print info and makes the dialog on it.
    using DialogMaker = std::function<QDialog *(QPrinter &printer)>;
    using ReadBack = std::function<PrintInfo(const PrintInfo &printInfo, const QPrinter &printer)>;

    static void present(const PrintInfo &printInfo, Window *window, const DialogMaker &makeDialog,
                        const Responder &responder, ReadBack readBack, Completion completion);
};

} // namespace platform
