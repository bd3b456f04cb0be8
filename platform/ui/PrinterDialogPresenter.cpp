#include "platform/ui/PrinterDialogPresenter.h"

#include "platform/ui/DialogPresenter.h"

#include <QPrinter>

#include <memory>

namespace platform {

void PrinterDialogPresenter::present(const PrintInfo &printInfo, Window *window, const DialogMaker &makeDialog,
                                     const Responder &responder, ReadBack readBack, Completion completion)
{
    // The dialog refers to the printer, so the printer lives as long as the dialog's end handler.
    auto printer = std::make_shared<QPrinter>();
    if (!printInfo.printerName().isEmpty())
        printer->setPrinterName(printInfo.printerName());
    QDialog *dialog = makeDialog(*printer);

    DialogPresenter::Responder answer;
    if (responder)
        answer = [responder, printer](QDialog &) { return responder(*printer); };
    DialogPresenter::present(dialog, window, answer,
                             [printer, printInfo, readBack = std::move(readBack),
                              completion = std::move(completion)](QDialog *, int result) {
                                 if (result != QDialog::Accepted)
                                     completion(QDialog::Rejected, printInfo);
                                 else
                                     completion(QDialog::Accepted, readBack(printInfo, *printer));
                             });
}

} // namespace platform
