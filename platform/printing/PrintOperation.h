#pragma once

#include "platform/printing/PrintInfo.h"

#include "platform/printing/PrintJobOptions.h"

#include <QString>

#include <functional>
#include <memory>

class QIODevice;
class QObject;
class QTemporaryFile;

namespace platform {

class Printable;

// Prints a printable as its print info says. Every printed page becomes a page of one PDF of the
// paper size, drawn through the PDF graphics context with the page's rectangle's lower-left
// corner at the paper's; a save job then writes that PDF to its saving URL, a spool job sends it
// to the print info's printer.
class PrintOperation
{
public:
    // Told before each page is drawn and once all are (done == count); false stops the run
    // between two pages.
    using PageProgress = std::function<bool(int done, int count)>;

    PrintOperation(Printable &printable, const PrintInfo &printInfo);

    const PrintInfo &printInfo() const;

    // The name the print queue shows for a spool job; the application's name when empty.
    QString jobTitle() const;
    void setJobTitle(const QString &title);
    // The words a failure begins with, in the log and errorString(), for a job that is no print of
    // its own ("Could not export the booklet"); empty for a print's own ("Could not print", "Could
    // not save the print job").
    QString failureHeading() const;
    void setFailureHeading(const QString &heading);

    // Draws all printed pages into one PDF written to the device. False (logged) when the
    // printable has no pages or drawing or writing fails.
    bool writePdf(QIODevice &device);
    // Runs the job. A save job writes the PDF to the local file of its saving URL through a
    // temporary file renamed into place, so that a failure leaves no partial file and an
    // existing file is only ever replaced by a complete one with its permissions; it refuses
    // anything but a regular file or a new name. A spool job composes the PDF in the
    // private temporary folder and submits it to the print info's printer (the default printer
    // when it names none) with its sides, paper, copies and no scaling. True when the job was
    // done; otherwise errorString() says why (the print server's own words for a refused job) and
    // one "Error: " line was logged.
    bool run();

    struct Outcome
    {
        bool done = false;
        QString errorString;
        int jobId = 0;
        bool cancelled = false;
    };
    // Like run(), but a spool job waits on the print server on a worker thread, so that the
    // caller's event loop keeps turning: the PDF is composed before this returns, and finished
    // gets the outcome on context's thread on a later turn of its loop, unless context has gone.
    void start(QObject *context, std::function<void(const Outcome &)> finished);
    void setPageProgress(PageProgress progress);

    // Stands in for the print server: while one is set, every spool job goes to it, with its
    // options and its composed PDF (there only during the call), and its outcome is the job's.
    // For tests and tools where no print server can be had. Called on the thread that submits.
    using Spooler = std::function<Outcome(const PrintJobOptions &options, const QString &pdfPath)>;
    static void setSpooler(Spooler spooler);
    // The page progress stopped the run; nothing was written or sent.
    bool wasCancelled() const;

    QString errorString() const;
    // Why the PDF or a save job's file was not written, in the system's words ("the disk is
    // full"), for a message that names the file itself; empty when writing was not what failed.
    QString writingFailure() const;
    // The print server's id of the spooled job; 0 for a save job or a failed one.
    int jobId() const;

private:
    // What a run tells of itself, cleared as the next one begins.
    void forgetLastRun();
    bool save();
    bool spool();
    // The job's PDF in the private temporary folder; null (logged) when it cannot be made.
    std::shared_ptr<QTemporaryFile> composeSpoolFile();
    PrintJobOptions spoolOptions() const;
    // Any thread. The default printer is asked for here, right before the job goes out.
    static Outcome submit(PrintJobOptions options, const QString &pdfPath);
    bool composePdf(QIODevice &device);
    // Keeps the failure: its heading, or the one given to the operation, then the detail.
    bool keepFailure(const QString &heading, const QString &detail);
    // Keeps and logs it.
    bool fail(const QString &heading, const QString &detail);
    bool failWriting(const QString &path, const QString &reason);

    Printable &m_printable;
    PrintInfo m_printInfo;
    QString m_jobTitle;
    QString m_failureHeading;
    QString m_errorString;
    QString m_writingFailure;
    PageProgress m_progress;
    bool m_cancelled = false;
    int m_jobId = 0;
};

} // namespace platform
