#include "RQS-Kit/Helper/QSPrinterHelper.h"

#include "platform/printing/PrinterList.h"

QString QSPrinterHelper::currentPrinterName() { return platform::PrinterList::defaultPrinterName(); }

QString QSPrinterHelper::printerByName(const QString &name)
{
    const std::optional<platform::Printer> printer = platform::PrinterList::printerNamed(name);
    return printer ? printer->name() : QString();
}

bool QSPrinterHelper::printerSupportsDuplex(const QString &name)
{
    const std::optional<platform::Printer> printer = platform::PrinterList::printerNamed(name);
    return printer && printer->supportsTwoSidedShortEdge();
}
