#include "platform/ui/PrintRun.h"

#include "platform/foundation/Log.h"
#include "platform/printing/PrinterCache.h"
#include "platform/ui/PrintPanel.h"
#include "platform/ui/ProgressSheet.h"
#include "platform/ui/Window.h"

#include <QObject>
#include <QPointer>

namespace platform {

void PrintRun::beginModalForWindow(const Job &job, Window *window, QObject *context, Prepare prepare, Finished finished)
{
    const QPointer<QObject> guard(context);
    const QPointer<Window> sheetWindow(window);
    const auto chosenInPanel = [=](int result, const PrintInfo &chosen) {
        if (!guard)
            return;
        PrintOperation::Outcome notDone;
        notDone.cancelled = result != PrintPanel::OKButton;
        if (!notDone.cancelled && PrinterCache::shared()->leavesOut(chosen.printerName())) {
            logWarning(QStringLiteral("Nothing was sent to \"%1\", because it is no printer to print on").arg(chosen.printerName()));
            notDone.errorString = QString(job.leftOutPrinterReason).replace(QLatin1String("%1"), chosen.printerName());
            finished(notDone, chosen);
            return;
        }
        Printable *printable = notDone.cancelled ? nullptr : prepare(chosen);
        if (!printable) {
            finished(notDone, chosen);
            return;
        }
        PrintOperation operation(*printable, chosen);
        operation.setJobTitle(job.title);
        const QString label = QString(job.progressLabel).replace(QLatin1String("%1"), job.title);
        withProgress(operation, sheetWindow, label, [&] {
            operation.start(guard, [finished, chosen](const PrintOperation::Outcome &outcome) { finished(outcome, chosen); });
            return true;
        });
    };
    if (job.showsPrintPanel)
        PrintPanel::beginSheetWithPrintInfo(job.printInfo, window, chosenInPanel,
                                            job.printerFixed ? PrintPanel::PrinterChoice::Fixed : PrintPanel::PrinterChoice::Free);
    else
        chosenInPanel(PrintPanel::OKButton, job.printInfo);
}

bool PrintRun::withProgress(PrintOperation &operation, Window *window, const QString &label, const std::function<bool()> &work)
{
    ProgressSheet progress(window, label);
    operation.setPageProgress([&progress](int done, int count) { return progress.setProgress(done, count); });
    const bool result = work();
    operation.setPageProgress({});
    return result;
}

} // namespace platform
