#pragma once

#include "platform/printing/PrintJobOptions.h"

#include <QString>

namespace platform {

// Sends one composed PDF file to a CUPS queue with the options of a print run. Any thread; it
// waits on the print server, so not the GUI thread where that can be helped.
class PrintJob
{
public:
    explicit PrintJob(const PrintJobOptions &options);

    // False, with errorString() set and logged, when the job was not accepted: no printer named
    // (there is no falling back to the default), fewer than one copy, an unreadable file, or the
    // server's refusal in its own words.
    bool submit(const QString &pdfPath);

    // The server's id of the submitted job; 0 before a successful submit.
    int jobId() const;
    QString errorString() const;

private:
    bool fail(const QString &reason);

    PrintJobOptions m_options;
    int m_jobId = 0;
    QString m_errorString;
};

} // namespace platform
