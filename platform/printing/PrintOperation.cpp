#include "platform/printing/PrintOperation.h"

#include "platform/foundation/AtomicFileWriter.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/TempFolder.h"
#include "platform/graphics/GraphicsContextScope.h"
#include "platform/graphics/PdfGraphicsContext.h"
#include "platform/printing/PrintJob.h"
#include "platform/printing/Printable.h"
#include "platform/printing/PrinterList.h"

#include <QCoreApplication>
#include <QDir>
#include <QFuture>
#include <QMetaObject>
#include <QMutex>
#include <QMutexLocker>
#include <QTemporaryFile>
#include <QtConcurrent/QtConcurrentRun>

#include <new>

namespace platform {

namespace {

PrintJobOptions::Sides sidesOf(PrintInfo::Duplex duplex)
{
    switch (duplex) {
    case PrintInfo::Duplex::TwoSidedLongEdge:
        return PrintJobOptions::Sides::TwoSidedLongEdge;
    case PrintInfo::Duplex::TwoSidedShortEdge:
        return PrintJobOptions::Sides::TwoSidedShortEdge;
    case PrintInfo::Duplex::OneSided:
        break;
    }
    return PrintJobOptions::Sides::OneSided;
}

// How a failure of a print's own begins, unless the caller gave it other words.
const QString PrintingFailed = QStringLiteral("Could not print");
const QString SavingFailed = QStringLiteral("Could not save the print job");

QMutex spoolerMutex;
PrintOperation::Spooler installedSpooler;

PrintOperation::Spooler spooler()
{
    const QMutexLocker locker(&spoolerMutex);
    return installedSpooler;
}

} // namespace

void PrintOperation::setSpooler(Spooler spooler)
{
    const QMutexLocker locker(&spoolerMutex);
    installedSpooler = std::move(spooler);
}

PrintOperation::PrintOperation(Printable &printable, const PrintInfo &printInfo)
    : m_printable(printable)
    , m_printInfo(printInfo)
{
}

const PrintInfo &PrintOperation::printInfo() const { return m_printInfo; }

QString PrintOperation::jobTitle() const { return m_jobTitle; }

void PrintOperation::setJobTitle(const QString &title) { m_jobTitle = title; }

QString PrintOperation::failureHeading() const { return m_failureHeading; }

void PrintOperation::setFailureHeading(const QString &heading) { m_failureHeading = heading; }

QString PrintOperation::writingFailure() const { return m_writingFailure; }

QString PrintOperation::errorString() const { return m_errorString; }

int PrintOperation::jobId() const { return m_jobId; }

void PrintOperation::setPageProgress(PageProgress progress) { m_progress = std::move(progress); }

bool PrintOperation::wasCancelled() const { return m_cancelled; }

bool PrintOperation::writePdf(QIODevice &device)
{
    // Running out of memory ends this job, never the program and the other documents it holds.
    try {
        return composePdf(device);
    } catch (const std::bad_alloc &) {
        return fail(PrintingFailed, QStringLiteral(": there is not enough memory"));
    }
}

bool PrintOperation::composePdf(QIODevice &device)
{
    int first = 1;
    int count = 0;
    if (!m_printable.knowsPageRange(first, count) || count <= 0)
        return fail(PrintingFailed, QStringLiteral(": there are no pages to print"));
    const QSizeF paper = m_printInfo.paperSize();
    if (paper.isEmpty())
        return fail(PrintingFailed, QStringLiteral(": the paper has no size"));
    PdfGraphicsContext context;
    {
        GraphicsContextScope scope(&context);
        for (int page = first; page < first + count; ++page) {
            if (m_progress && !m_progress(page - first, count)) {
                m_cancelled = true;
                m_errorString = QStringLiteral("The print job was cancelled");
                logInfo(m_errorString);
                return false;
            }
            const QRectF rect = m_printable.rectForPage(page);
            context.beginPage(paper);
            context.translate(-rect.x(), -rect.y());
            context.clipToRect(rect);
            m_printable.drawRect(rect);
        }
    }
    if (m_progress)
        m_progress(count, count);
    // Not logged here: the printable's owner names the pages in the run's one line.
    if (m_printable.drawingFailed())
        return keepFailure(PrintingFailed, QStringLiteral(": some pages could not be drawn"));
    if (!context.write(device, &m_writingFailure)) {
        m_errorString = QStringLiteral("Could not write the printed pages");
        return false;
    }
    return true;
}

void PrintOperation::forgetLastRun()
{
    m_errorString.clear();
    m_writingFailure.clear();
    m_cancelled = false;
    m_jobId = 0;
}

bool PrintOperation::run()
{
    forgetLastRun();
    return m_printInfo.jobDisposition() == PrintInfo::JobDisposition::Save ? save() : spool();
}

bool PrintOperation::save()
{
    const QUrl url = m_printInfo.jobSavingUrl();
    if (!url.isLocalFile() || url.toLocalFile().isEmpty())
        return fail(SavingFailed, QStringLiteral(": \"%1\" is no file").arg(url.toString()));
    const QString path = url.toLocalFile();
    AtomicFileWriter file(path);
    if (!file.open())
        return failWriting(path, file.errorString());
    if (!writePdf(file.device())) {
        file.cancel();
        return false;
    }
    if (!file.commit())
        return failWriting(path, file.errorString());
    return true;
}

bool PrintOperation::failWriting(const QString &path, const QString &reason)
{
    m_writingFailure = reason;
    return fail(SavingFailed, QStringLiteral(" to \"%1\": %2").arg(path, reason));
}

void PrintOperation::start(QObject *context, std::function<void(const Outcome &)> finished)
{
    forgetLastRun();
    bool done = false;
    if (m_printInfo.jobDisposition() == PrintInfo::JobDisposition::Save) {
        done = save();
    } else if (const std::shared_ptr<QTemporaryFile> file = composeSpoolFile()) {
        QtConcurrent::run([options = spoolOptions(), file] { return submit(options, file->fileName()); })
            .then(context, [finished, file](const Outcome &outcome) { finished(outcome); });
        return;
    }
    QMetaObject::invokeMethod(context, [finished, outcome = Outcome{done, m_errorString, 0, m_cancelled}] { finished(outcome); },
                              Qt::QueuedConnection);
}

bool PrintOperation::spool()
{
    const std::shared_ptr<QTemporaryFile> file = composeSpoolFile();
    if (!file)
        return false;
    const Outcome outcome = submit(spoolOptions(), file->fileName());
    m_errorString = outcome.errorString;
    m_jobId = outcome.jobId;
    return outcome.done;
}

std::shared_ptr<QTemporaryFile> PrintOperation::composeSpoolFile()
{
    const QString folder = TempFolder::path();
    if (folder.isEmpty()) {
        fail(PrintingFailed, QStringLiteral(": there is no temporary folder for the job"));
        return nullptr;
    }
    // The job's file lives only until the server has read it.
    auto file = std::make_shared<QTemporaryFile>(QDir(folder).filePath(QStringLiteral("print-XXXXXX.pdf")));
    if (!file->open()) {
        fail(PrintingFailed, QStringLiteral(": the job's file cannot be made: %1").arg(file->errorString()));
        return nullptr;
    }
    if (!writePdf(*file))
        return nullptr;
    if (QString reason; !AtomicFileWriter::flushAll(*file, &reason)) {
        fail(PrintingFailed, QStringLiteral(": the job's file cannot be written: %1").arg(reason));
        return nullptr;
    }
    return file;
}

PrintJobOptions PrintOperation::spoolOptions() const
{
    PrintJobOptions options;
    options.printerName = m_printInfo.printerName();
    options.jobName = m_jobTitle.isEmpty() ? QCoreApplication::applicationName() : m_jobTitle;
    options.sides = sidesOf(m_printInfo.duplex());
    options.paperSize = m_printInfo.paperSize();
    options.copies = m_printInfo.copies();
    return options;
}

PrintOperation::Outcome PrintOperation::submit(PrintJobOptions options, const QString &pdfPath)
{
    if (const Spooler standIn = spooler())
        return standIn(options, pdfPath);
    if (options.printerName.isEmpty())
        options.printerName = PrinterList::defaultPrinterName();
    if (options.printerName.isEmpty()) {
        const QString reason = QStringLiteral("Could not print: there is no printer to print on");
        logError(reason);
        return {false, reason, 0};
    }
    PrintJob job(options);
    if (!job.submit(pdfPath))
        return {false, job.errorString(), 0};
    return {true, QString(), job.jobId()};
}

bool PrintOperation::keepFailure(const QString &heading, const QString &detail)
{
    m_errorString = (m_failureHeading.isEmpty() ? heading : m_failureHeading) + detail;
    return false;
}

bool PrintOperation::fail(const QString &heading, const QString &detail)
{
    keepFailure(heading, detail);
    logError(m_errorString);
    return false;
}

} // namespace platform
