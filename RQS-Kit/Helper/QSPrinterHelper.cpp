#include "RQS-Kit/Helper/QSPrinterHelper.h"

#include "platform/Log.h"

#include <cups/cups.h>

namespace {

class Destinations
{
public:
    Destinations()
    {
        m_count = cupsGetDests(&m_dests);
        // A server without printers answers "not found"; only a server that cannot answer is a failure.
        if (m_count == 0 && cupsLastError() >= IPP_STATUS_ERROR_INTERNAL)
            platform::logWarning(QStringLiteral("Could not list the printers, because %1")
                                     .arg(QString::fromUtf8(cupsLastErrorString())));
    }
    ~Destinations() { cupsFreeDests(m_count, m_dests); }
    Destinations(const Destinations &) = delete;
    Destinations &operator=(const Destinations &) = delete;

    cups_dest_t *defaultDestination() const { return cupsGetDest(nullptr, nullptr, m_count, m_dests); }
    // Never the default for an empty name, which cupsGetDest would give for a null one.
    cups_dest_t *named(const QString &name) const
    {
        return name.isEmpty() ? nullptr : cupsGetDest(name.toUtf8().constData(), nullptr, m_count, m_dests);
    }

private:
    cups_dest_t *m_dests = nullptr;
    int m_count = 0;
};

} // namespace

QString QSPrinterHelper::currentPrinterName()
{
    const Destinations destinations;
    const cups_dest_t *dest = destinations.defaultDestination();
    return dest ? QString::fromUtf8(dest->name) : QString();
}

QString QSPrinterHelper::printerByName(const QString &name)
{
    const Destinations destinations;
    const cups_dest_t *dest = destinations.named(name);
    return dest ? QString::fromUtf8(dest->name) : QString();
}

bool QSPrinterHelper::printerSupportsDuplex(const QString &name)
{
    const Destinations destinations;
    cups_dest_t *dest = destinations.named(name);
    if (!dest)
        return false;
    cups_dinfo_t *info = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest);
    if (!info) {
        platform::logWarning(QStringLiteral("Could not ask printer %1 about two-sided printing, because %2")
                                 .arg(name, QString::fromUtf8(cupsLastErrorString())));
        return false;
    }
    const bool supported =
        cupsCheckDestSupported(CUPS_HTTP_DEFAULT, dest, info, CUPS_SIDES, CUPS_SIDES_TWO_SIDED_LANDSCAPE) != 0;
    cupsFreeDestInfo(info);
    return supported;
}
