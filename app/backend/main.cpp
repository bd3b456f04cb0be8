// The CUPS backend of the PDF Service queue (device URI "foldwise:" and the Foldwise executable):
// each job's PDF opens as a document in the printing user's Foldwise.
#include "app/shell/VXPrintingUser.h"
#include "app/shell/VXServiceJob.h"
#include "platform/foundation/Log.h"

#include <QCoreApplication>
#include <QFile>
#include <QUrl>

#include <cstdio>
#include <cups/backend.h>

int main(int argc, char **argv)
{
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
    const QString title = QString::fromUtf8(argv[3]);
    if (!opened) {
        platform::logError(QStringLiteral("Could not read the job \"%1\", because %2").arg(title, input.errorString()));
        return CUPS_BACKEND_CANCEL;
    }
    const std::optional<VXPrintingUser> user = VXPrintingUser::named(QString::fromUtf8(argv[2]));
    if (!user || !user->become())
        return CUPS_BACKEND_CANCEL;
    QCoreApplication application(argc, argv);
    const VXServiceJob job(user->runtimeFolder(), title);
    const QString path = job.keep(input);
    // A job that cannot reach the user is cancelled; the queue stays ready for the next one.
    if (path.isEmpty() || !job.handOver(path, QUrl(qEnvironmentVariable("DEVICE_URI")).path()))
        return CUPS_BACKEND_CANCEL;
    return CUPS_BACKEND_OK;
}
