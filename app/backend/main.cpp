// The CUPS backend of the Foldwise printer (device URI "foldwise:" and the Foldwise executable):
// each job's PDF opens as a document in the printing user's Foldwise.
#include "app/shell/VXCupsJob.h"
#include "app/shell/VXPrintingUser.h"
#include "app/shell/VXRealHomeDirectory.h"
#include "app/shell/VXServiceJob.h"
#include "app/shell/VXServiceQueue.h"
#include "app/shell/VXStopSignal.h"
#include "platform/foundation/Log.h"

#include <QCoreApplication>
#include <QFile>
#include <QUrl>

#include <cstdio>
#include <cups/backend.h>

namespace {

// The line CUPS shows as the job's state; the log has the details.
int tellCups(int status, const QString &message)
{
    std::fprintf(stderr, "%s: %s\n", status == CUPS_BACKEND_OK ? "INFO" : "ERROR", message.toUtf8().constData());
    return status;
}

// The job names its user as the client said; only a queue under which CUPS authenticates the
// client makes that name the truth.
bool cupsVouchesForTheUser(const QString &title, const QString &user)
{
    const QString printer = qEnvironmentVariable("PRINTER");
    QString error;
    const QString policy = VXServiceQueue(printer, QString()).operationPolicy(&error);
    if (policy == VXServiceQueue::AuthenticatedPolicy)
        return true;
    platform::logError(policy.isEmpty()
                           ? QStringLiteral("Refused \"%1\" of %2, because CUPS could not tell whether it authenticated the user: %3").arg(title, user, error)
                           : QStringLiteral("Refused \"%1\" of %2, because the printer %3 has the operation policy \"%4\", under which CUPS does not "
                                            "authenticate who prints; lpadmin -p %3 -o printer-op-policy=%5 sets the right one")
                                 .arg(title, user, printer, policy, VXServiceQueue::AuthenticatedPolicy));
    return false;
}

// Asked when the job's input has ended. CUPS signals a job's filters before its backend: when it
// stops a job, the input may end before the signal comes. The server answers only once it has
// signalled every process of the job, and by then no longer holds the job as processing. A job
// the server knows nothing of (the backend run by hand) ended where its input did.
bool wasStopped(int jobId, const QString &title)
{
    QString error;
    const std::optional<ipp_jstate_t> state = VXCupsJob(jobId).state(&error);
    if (!state)
        platform::logWarning(QStringLiteral("Could not ask CUPS whether it still prints \"%1\", because %2; it is kept as it came").arg(title, error));
    return VXStopSignal::received() || state.value_or(IPP_JSTATE_PROCESSING) != IPP_JSTATE_PROCESSING;
}

} // namespace

int main(int argc, char **argv)
{
    platform::routeQtMessagesToLog();
    // Without arguments CUPS asks which devices the backend offers.
    if (argc == 1) {
        std::puts("direct foldwise \"Unknown\" \"Foldwise (opens what is printed as a booklet)\"");
        return CUPS_BACKEND_OK;
    }
    if (argc != 6 && argc != 7) {
        std::fprintf(stderr, "Usage: %s job-id user title copies options [file]\n", argv[0]);
        return CUPS_BACKEND_FAILED;
    }
    // Opened before the user is taken on: the spooled file is readable by CUPS alone.
    QFile input;
    const bool opened = argc == 7 ? (input.setFileName(QFile::decodeName(argv[6])), input.open(QIODevice::ReadOnly))
                                  : input.open(stdin, QIODevice::ReadOnly);
    // Every line the backend writes is a message to CUPS: these stay on theirs.
    const QString title = VXServiceJob::withControlsReplaced(QString::fromUtf8(argv[3]));
    const QString userName = VXServiceJob::withControlsReplaced(QString::fromUtf8(argv[2]));
    if (!opened) {
        platform::logError(QStringLiteral("Could not read the job \"%1\", because %2").arg(title, input.errorString()));
        return tellCups(CUPS_BACKEND_CANCEL, QStringLiteral("The job could not be read."));
    }
    // Tried again it would fail again: CUPS cancels it.
    if (!VXServiceJob::isPdf(input)) {
        platform::logError(QStringLiteral("Could not open \"%1\" in Foldwise, because the program that printed it sent no PDF").arg(title));
        return tellCups(CUPS_BACKEND_CANCEL, QStringLiteral("Foldwise opens only PDF files; the job held none."));
    }
    if (!cupsVouchesForTheUser(title, userName))
        return tellCups(CUPS_BACKEND_CANCEL, QStringLiteral("Refused: the Foldwise printer opens only jobs whose user CUPS has authenticated."));
    const std::optional<VXPrintingUser> user = VXPrintingUser::named(userName);
    if (!user || !user->become())
        return tellCups(CUPS_BACKEND_CANCEL, QStringLiteral("Foldwise could not act for %1.").arg(userName));
    // CUPS gives its own home and temporary folder. The kept prints go into the user's home, and
    // without a session folder the user's Foldwise listens in the system's temporary folder.
    qputenv("HOME", QFile::encodeName(VXRealHomeDirectory()));
    qunsetenv("TMPDIR");
    QCoreApplication application(argc, argv);
    const VXServiceJob job(user->runtimeFolder(), title);
    // Stopped before, it has made nothing; stopped while it copies the job, it leaves nothing of it.
    VXStopSignal::watch(input.handle());
    bool stopped = false;
    const QString path = job.keep(input, [&] {
        stopped = wasStopped(QString::fromUtf8(argv[1]).toInt(), title);
        return !stopped;
    });
    // Kept nowhere, the job stays with CUPS, which tries again later.
    if (path.isEmpty() && stopped)
        return tellCups(CUPS_BACKEND_RETRY, QStringLiteral("Stopped before Foldwise kept the job."));
    if (path.isEmpty())
        return tellCups(CUPS_BACKEND_RETRY, QStringLiteral("Foldwise could not keep the job; CUPS tries again later."));
    switch (job.handOver(path, QUrl(qEnvironmentVariable("DEVICE_URI")).path(), user->uid())) {
    case VXServiceJob::Outcome::HandedOver:
        return tellCups(CUPS_BACKEND_OK, QStringLiteral("Opened in Foldwise."));
    case VXServiceJob::Outcome::Started:
        return tellCups(CUPS_BACKEND_OK, QStringLiteral("Foldwise was started to open it."));
    case VXServiceJob::Outcome::Kept:
        break;
    }
    return tellCups(CUPS_BACKEND_OK, QStringLiteral("Kept in %1; it opens the next time Foldwise starts.").arg(path));
}
