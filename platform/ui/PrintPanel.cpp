#include "platform/ui/PrintPanel.h"

#include "platform/printing/PrinterCache.h"
#include "platform/ui/PrinterDialogPresenter.h"
#include "platform/ui/QtDialogParts.h"

#include <QComboBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include <memory>

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

// Qt's dialog lists every queue of the server. Those PrinterCache leaves out are hidden from its
// list and cannot be reached with the keys either; one the dialog starts on gives way to the first
// printer shown. Should Qt's list change its make, a run still sends them nothing (PrintRun).
void hideLeftOutPrinters(QPrintDialog &dialog)
{
    auto *printers = dialog.findChild<QComboBox *>(QStringLiteral("printers"));
    if (!printers)
        return;
    const PrinterCache *cache = PrinterCache::shared();
    int firstShown = -1;
    for (int row = 0; row < printers->count(); ++row) {
        if (cache->leavesOut(printers->itemText(row))) {
            if (!withholdComboBoxRow(*printers, row))
                return;
        } else if (firstShown < 0) {
            firstShown = row;
        }
    }
    if (firstShown >= 0 && cache->leavesOut(printers->currentText()))
        printers->setCurrentIndex(firstShown);
}

PrintPanel::Responder &responder()
{
    static PrintPanel::Responder shared;
    return shared;
}

} // namespace

static_assert(PrintPanel::OKButton == QDialog::Accepted && PrintPanel::CancelButton == QDialog::Rejected);

void PrintPanel::beginSheetWithPrintInfo(const PrintInfo &printInfo, Window *window, Completion completion, PrinterChoice choice)
{
    const bool fixed = choice == PrinterChoice::Fixed && !printInfo.printerName().isEmpty();
    // A printer that Qt does not list (added after Qt read the list) leaves Qt on another one, or
    // on none; unless the user picks one, the job goes to the printer it was meant for.
    auto offered = std::make_shared<QString>();
    const auto makeDialog = [&printInfo, offered, fixed](QPrinter &printer) -> QDialog * {
        *offered = printer.printerName();
        printer.setCopyCount(printInfo.copies());
        // The dialog shows the sides the job will be sent with, and the user's change is sent.
        printer.setDuplex(duplexModeOf(printInfo.duplex()));
        auto *dialog = new QPrintDialog(&printer);
        dialog->setOptions(QAbstractPrintDialog::PrintShowPageSize);
        hideLeftOutPrinters(*dialog);
        hidePagesPerSheet(*dialog);
        if (auto *printers = dialog->findChild<QComboBox *>(QStringLiteral("printers")); printers && fixed)
            printers->setEnabled(false);
        return dialog;
    };
    const auto readBack = [offered, fixed](PrintInfo edited, const QPrinter &printer) {
        const bool unlisted = *offered != edited.printerName();
        if (!fixed && !printer.printerName().isEmpty() && !(unlisted && printer.printerName() == *offered))
            edited.setPrinterName(printer.printerName());
        edited.setCopies(printer.copyCount());
        // A printer without two-sided printing shows no choice, and the job keeps its sides.
        if (QPrinterInfo(printer).supportedDuplexModes().size() > 1)
            edited.setDuplex(duplexOf(printer.duplex()));
        return edited;
    };
    PrinterDialogPresenter::present(printInfo, window, makeDialog, responder(), readBack, std::move(completion));
}

void PrintPanel::setResponder(Responder responder) { platform::responder() = std::move(responder); }

} // namespace platform
