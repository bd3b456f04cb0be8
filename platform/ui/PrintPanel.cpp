#include "platform/ui/PrintPanel.h"

#include "platform/ui/PrinterDialogPresenter.h"

#include <QPrintDialog>
#include <QPrinter>

namespace platform {

namespace {

QPrinter::DuplexMode duplexModeOf(PrintInfo::Duplex duplex)
{
    switch (duplex) {
    case PrintInfo::Duplex::TwoSidedLongEdge:
        return QPrinter::DuplexLongSide;
    case PrintInfo::Duplex::TwoSidedShortEdge:
        return QPrinter::DuplexShortSide;
    case PrintInfo::Duplex::OneSided:
        break;
    }
    return QPrinter::DuplexNone;
}

PrintInfo::Duplex duplexOf(QPrinter::DuplexMode mode)
{
    switch (mode) {
    case QPrinter::DuplexLongSide:
    case QPrinter::DuplexAuto:
        return PrintInfo::Duplex::TwoSidedLongEdge;
    case QPrinter::DuplexShortSide:
        return PrintInfo::Duplex::TwoSidedShortEdge;
    case QPrinter::DuplexNone:
        break;
    }
    return PrintInfo::Duplex::OneSided;
}

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
        // The dialog shows the sides the job will be sent with, and the user's change is sent.
        printer.setDuplex(duplexModeOf(printInfo.duplex()));
        auto *dialog = new QPrintDialog(&printer);
        dialog->setOptions(QAbstractPrintDialog::PrintShowPageSize);
        return dialog;
    };
    const auto readBack = [](PrintInfo edited, const QPrinter &printer) {
        // A printer that Qt does not know reads back as no name; the chosen one is kept then.
        if (!printer.printerName().isEmpty())
            edited.setPrinterName(printer.printerName());
        edited.setCopies(printer.copyCount());
        edited.setDuplex(duplexOf(printer.duplex()));
        return edited;
    };
    PrinterDialogPresenter::present(printInfo, window, makeDialog, responder(), readBack, std::move(completion));
}

void PrintPanel::setResponder(Responder responder) { platform::responder() = std::move(responder); }

} // namespace platform
