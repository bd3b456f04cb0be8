#include "platform/printing/PrinterList.h"

#include "platform/foundation/Log.h"

#include <QCoreApplication>
#include <QThread>

#include <cups/cups.h>

#include <atomic>
#include <cstdlib>

namespace platform {

namespace {

// The server's queues, with the user's lpoptions applied (instances, the default).
struct Destinations
{
    cups_dest_t *list = nullptr;
    int count = 0;

    Destinations() { count = cupsGetDests2(CUPS_HTTP_DEFAULT, &list); }
    ~Destinations() { cupsFreeDests(count, list); }
    Destinations(const Destinations &) = delete;
    Destinations &operator=(const Destinations &) = delete;

    // A server without queues answers NOT_FOUND, which is no failure.
    static bool lastRequestFailed()
    {
        return cupsLastError() >= IPP_STATUS_REDIRECTION_OTHER_SITE
               && cupsLastError() != IPP_STATUS_ERROR_NOT_FOUND;
    }

    bool failed(QString *errorText) const
    {
        if (count > 0 || !lastRequestFailed())
            return false;
        const QString reason = QString::fromUtf8(cupsLastErrorString());
        if (errorText)
            *errorText = reason;
        else
            logWarning(QStringLiteral("The printers could not be listed: %1").arg(reason));
        return true;
    }
};

std::atomic<int> guiThreadAskCount = 0;

void countGuiThreadAsk()
{
    const QCoreApplication *application = QCoreApplication::instance();
    if (application && QThread::currentThread() == application->thread())
        ++guiThreadAskCount;
}

QString defaultOf(const Destinations &dests)
{
    if (const cups_dest_t *dest = cupsGetDest(nullptr, nullptr, dests.count, dests.list))
        return QString::fromUtf8(dest->name);
    // An lpoptions default that names a queue no longer there leaves libcups with no default at
    // all; the server's own default is still marked in its printer type.
    for (int i = 0; i < dests.count; ++i) {
        const char *type = cupsGetOption("printer-type", dests.list[i].num_options, dests.list[i].options);
        if (type && (std::strtoul(type, nullptr, 10) & CUPS_PRINTER_DEFAULT))
            return QString::fromUtf8(dests.list[i].name);
    }
    return {};
}

bool supportsTwoSidedShortEdge(cups_dest_t *dest)
{
    cups_dinfo_t *info = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest);
    if (!info) {
        logWarning(QStringLiteral("Printer \"%1\" could not be asked about two-sided printing: %2")
                       .arg(QString::fromUtf8(dest->name), QString::fromUtf8(cupsLastErrorString())));
        return false;
    }
    const bool supported
        = cupsCheckDestSupported(CUPS_HTTP_DEFAULT, dest, info, CUPS_SIDES, CUPS_SIDES_TWO_SIDED_LANDSCAPE);
    cupsFreeDestInfo(info);
    return supported;
}

} // namespace

std::optional<PrinterList::Queues> PrinterList::queues(QString *errorText)
{
    countGuiThreadAsk();
    const Destinations dests;
    if (dests.failed(errorText))
        return std::nullopt;
    Queues queues;
    for (int i = 0; i < dests.count; ++i) {
        // Instances are the user's saved option sets of a queue, not queues of their own.
        if (dests.list[i].instance)
            continue;
        const QString name = QString::fromUtf8(dests.list[i].name);
        queues.names << name;
        if (const char *uri = cupsGetOption("device-uri", dests.list[i].num_options, dests.list[i].options))
            queues.deviceURIs.insert(name, QString::fromUtf8(uri));
        const char *type = cupsGetOption("printer-type", dests.list[i].num_options, dests.list[i].options);
        if (type && (std::strtoul(type, nullptr, 10) & CUPS_PRINTER_DUPLEX))
            queues.twoSided.insert(name);
    }
    queues.defaultName = defaultOf(dests);
    return queues;
}

QString PrinterList::defaultPrinterName()
{
    countGuiThreadAsk();
    const Destinations dests;
    return dests.failed(nullptr) ? QString() : defaultOf(dests);
}

std::optional<Printer> PrinterList::printerNamed(const QString &name)
{
    countGuiThreadAsk();
    // libcups takes a missing name for the default printer, which is never what a caller asking
    // by name wants.
    if (name.isEmpty()) {
        logError(QStringLiteral("No printer name was given"));
        return std::nullopt;
    }
    cups_dest_t *dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.toUtf8().constData(), nullptr);
    if (!dest) {
        logError(QStringLiteral("Printer \"%1\" was not found: %2").arg(name, QString::fromUtf8(cupsLastErrorString())));
        return std::nullopt;
    }
    Printer printer(QString::fromUtf8(dest->name), supportsTwoSidedShortEdge(dest));
    cupsFreeDests(1, dest);
    return printer;
}

int PrinterList::guiThreadAsks() { return guiThreadAskCount; }

} // namespace platform
