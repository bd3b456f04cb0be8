#include "platform/PrintPanel.h"

#include "platform/DialogPresenter.h"

#include <QPrintDialog>
#include <QPrinter>

#include <memory>

namespace platform {

namespace {

PrintPanel::Responder &responder()
{
    static PrintPanel::Responder shared;
    return shared;
}

} // namespace

void PrintPanel::beginSheetWithPrintInfo(const PrintInfo &printInfo, Window *window, Completion completion)
{
    // The dialog refers to the printer, so the printer lives as long as the dialog's end handler.
    auto printer = std::make_shared<QPrinter>();
    if (!printInfo.printerName().isEmpty())
        printer->setPrinterName(printInfo.printerName());
    printer->setCopyCount(printInfo.copies());
    auto *dialog = new QPrintDialog(printer.get());
    dialog->setOptions(QAbstractPrintDialog::PrintShowPageSize);

    DialogPresenter::Responder answer;
    if (const Responder &stand = responder())
        answer = [stand, printer](QDialog &) { return stand(*printer); };
    DialogPresenter::present(dialog, window, answer, [printer, printInfo, completion](QDialog *, int result) {
        if (result != OKButton) {
            completion(CancelButton, printInfo);
            return;
        }
        PrintInfo edited = printInfo;
        // A printer that Qt does not know reads back as no name; the chosen one is kept then.
        if (!printer->printerName().isEmpty())
            edited.setPrinterName(printer->printerName());
        edited.setCopies(printer->copyCount());
        completion(OKButton, edited);
    });
}

void PrintPanel::setResponder(Responder responder) { platform::responder() = std::move(responder); }

} // namespace platform
