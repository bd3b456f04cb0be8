#include "platform/PrintJob.h"

#include "platform/Log.h"

#include <QFile>
#include <QFileInfo>

#include <cups/cups.h>

namespace platform {

PrintJob::PrintJob(const PrintJobOptions &options) : m_options(options) {}

bool PrintJob::submit(const QString &pdfPath)
{
    m_jobId = 0;
    m_errorString.clear();
    if (m_options.printerName.isEmpty())
        return fail(QStringLiteral("No printer was named"));
    if (m_options.copies < 1)
        return fail(QStringLiteral("%1 copies were asked for").arg(m_options.copies));
    const QFileInfo file(pdfPath);
    if (!file.isFile() || !file.isReadable())
        return fail(QStringLiteral("\"%1\" cannot be read").arg(pdfPath));

    cups_option_t *options = nullptr;
    int count = 0;
    const auto ippOptions = m_options.ippOptions();
    for (const auto &[name, value] : ippOptions)
        count = cupsAddOption(name.toUtf8().constData(), value.toUtf8().constData(), count, &options);
    const QString title = m_options.jobName.isEmpty() ? file.fileName() : m_options.jobName;
    const int id = cupsPrintFile2(CUPS_HTTP_DEFAULT, m_options.printerName.toUtf8().constData(),
                                  QFile::encodeName(pdfPath).constData(), title.toUtf8().constData(), count,
                                  options);
    cupsFreeOptions(count, options);
    if (id <= 0)
        return fail(QString::fromUtf8(cupsLastErrorString()));
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
