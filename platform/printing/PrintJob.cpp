#include "platform/printing/PrintJob.h"

#include "platform/foundation/Log.h"
#include "platform/foundation/RegularFile.h"

#include <QFile>
#include <QFileInfo>

#include <cups/cups.h>

#include <memory>

namespace platform {

namespace {

struct DestinationDeleter
{
    void operator()(cups_dest_t *dest) const { cupsFreeDests(1, dest); }
};
struct InfoDeleter
{
    void operator()(cups_dinfo_t *info) const { cupsFreeDestInfo(info); }
};

QString lastCupsError() { return QString::fromUtf8(cupsLastErrorString()); }

// Streams the file as the job's one document; answers why it could not, or nothing.
QString sendDocument(cups_dest_t *dest, cups_dinfo_t *info, int jobId, const QString &title, QFile *file)
{
    if (cupsStartDestDocument(CUPS_HTTP_DEFAULT, dest, info, jobId, title.toUtf8().constData(), CUPS_FORMAT_PDF,
                              0, nullptr, 1)
        != HTTP_STATUS_CONTINUE)
        return lastCupsError();
    char buffer[65536];
    qint64 read = 0;
    while ((read = file->read(buffer, sizeof buffer)) > 0) {
        if (cupsWriteRequestData(CUPS_HTTP_DEFAULT, buffer, size_t(read)) != HTTP_STATUS_CONTINUE)
            return lastCupsError();
    }
    // Finished even when reading failed, so that the connection is left clean for cancelling.
    if (cupsFinishDestDocument(CUPS_HTTP_DEFAULT, dest, info) > IPP_STATUS_OK_EVENTS_COMPLETE)
        return lastCupsError();
    return read < 0 ? file->errorString() : QString();
}

} // namespace

PrintJob::PrintJob(const PrintJobOptions &options) : m_options(options) {}

bool PrintJob::submit(const QString &pdfPath)
{
    m_jobId = 0;
    m_errorString.clear();
    if (m_options.printerName.isEmpty())
        return fail(QStringLiteral("No printer was named"));
    if (m_options.copies < 1)
        return fail(QStringLiteral("%1 copies were asked for").arg(m_options.copies));
    QFile file;
    if (QString reason; !RegularFile::open(file, pdfPath, &reason))
        return fail(QStringLiteral("\"%1\" cannot be read: %2").arg(pdfPath, reason));

    // Asking for the queue by name first gives the server's own words for an unknown printer.
    const std::unique_ptr<cups_dest_t, DestinationDeleter> dest(
        cupsGetNamedDest(CUPS_HTTP_DEFAULT, m_options.printerName.toUtf8().constData(), nullptr));
    if (!dest)
        return fail(lastCupsError());
    const std::unique_ptr<cups_dinfo_t, InfoDeleter> info(cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest.get()));
    if (!info)
        return fail(lastCupsError());

    cups_option_t *options = nullptr;
    int count = 0;
    const auto ippOptions = m_options.ippOptions();
    for (const auto &[name, value] : ippOptions)
        count = cupsAddOption(name.toUtf8().constData(), value.toUtf8().constData(), count, &options);
    const QString title = m_options.jobName.isEmpty() ? QFileInfo(pdfPath).fileName() : m_options.jobName;
    int id = 0;
    const ipp_status_t created = cupsCreateDestJob(CUPS_HTTP_DEFAULT, dest.get(), info.get(), &id,
                                                   title.toUtf8().constData(), count, options);
    cupsFreeOptions(count, options);
    if (created > IPP_STATUS_OK_EVENTS_COMPLETE || id <= 0)
        return fail(lastCupsError());
    const QString unsent = sendDocument(dest.get(), info.get(), id, title, &file);
    if (!unsent.isEmpty()) {
        cupsCancelDestJob(CUPS_HTTP_DEFAULT, dest.get(), id);
        return fail(unsent);
    }
    m_jobId = id;
    return true;
}

int PrintJob::jobId() const { return m_jobId; }

QString PrintJob::errorString() const { return m_errorString; }

bool PrintJob::fail(const QString &reason)
{
    m_errorString = reason;
    logError(QStringLiteral("Printing \"%1\" on \"%2\" failed: %3")
                 .arg(m_options.jobName, m_options.printerName, reason));
    return false;
}

} // namespace platform
