#include "platform/ui/PrintPanel.h"

#include "platform/ui/PrinterDialogPresenter.h"

#include <QPrintDialog>
#include <QPrinter>

namespace platform {

namespace {

PrintPanel::Responder &responder()
{
    static PrintPanel::Responder shared;
    return shared;
}

} // namespace

static_assert(PrintPanel::OKButton == QDialog::Accepted && PrintPanel::CancelButton == QDialog::Rejected);

void PrintPanel::beginSheetWithPrintInfo(const PrintInfo &printInfo, Window *window, Completion completion)
{
    const auto makeDialog = [&printInfo](QPrinter &printer) -> QDialog * {
        printer.setCopyCount(printInfo.copies());
        auto *dialog = new QPrintDialog(&printer);
        dialog->setOptions(QAbstractPrintDialog::PrintShowPageSize);
        return dialog;
    };
    const auto readBack = [](PrintInfo edited, const QPrinter &printer) {
        // A printer that Qt does not know reads back as no name; the chosen one is kept then.
        if (!printer.printerName().isEmpty())
            edited.setPrinterName(printer.printerName());
        edited.setCopies(printer.copyCount());
        return edited;
    };
    PrinterDialogPresenter::present(printInfo, window, makeDialog, responder(), readBack, std::move(completion));
}

void PrintPanel::setResponder(Responder responder) { platform::responder() = std::move(responder); }

} // namespace platform
