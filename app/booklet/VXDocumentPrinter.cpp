#include "app/booklet/VXDocumentPrinter.h"

#include "app/booklet/Document.h"
#include "app/booklet/VXDocumentPrintServices.h"
#include "app/booklet/VXPrinterDefaults.h"
#include "RQS-Kit/Foundation/StringExtension.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/printing/PrinterCache.h"
#include "platform/ui/Alert.h"
#include "platform/ui/PrintRun.h"
#include "platform/ui/SavePanel.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

using platform::PrintInfo;
using platform::PrintOperation;

namespace {

VXDocumentPrintServices *installedServices = nullptr;

// The print router's entry points; null, with a warning, when there is no router.
VXDocumentPrintServices *router()
{
    if (!installedServices)
        platform::logWarning(QStringLiteral("There is no print router; nothing was printed"));
    return installedServices;
}

// "2, 5, 7" for the alerts and the log.
QString pageList(const QList<quint64> &pages)
{
    QStringList numbers;
    for (quint64 page : pages)
        numbers << QString::number(page);
    return numbers.join(QStringLiteral(", "));
}

// The file itself, however the path spells it; a file not yet there by its absolute path.
QString filePath(const QUrl &url)
{
    const QFileInfo info(url.toLocalFile());
    return info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
}

} // namespace

VXDocumentPrinter::VXDocumentPrinter(Document &document)
    : m_document(document)
{
}

VXDocumentPrinter::~VXDocumentPrinter()
{
    if (m_printButton && installedServices)
        installedServices->deregisterPrintButton(m_printButton);
}

VXDocumentPrintServices *VXDocumentPrinter::printServices() { return installedServices; }

void VXDocumentPrinter::setPrintServices(VXDocumentPrintServices *services) { installedServices = services; }

void VXDocumentPrinter::checkPrint()
{
    if (VXDocumentPrintServices *services = router())
        services->printDocument(&m_document);
}

void VXDocumentPrinter::printOnPrinter(int printerIndex)
{
    if (VXDocumentPrintServices *services = router())
        services->printDocument(&m_document, printerIndex);
}

void VXDocumentPrinter::printDocument()
{
    if (VXDocumentPrintServices *services = router())
        services->printAutomaticDuplex(&m_document, QString());
}

void VXDocumentPrinter::printManualDuplex()
{
    // Before the print server's first answer one printer cannot be told from several.
    platform::PrinterCache *printers = platform::PrinterCache::shared();
    printers->whenLoaded(this, [this, printers] {
        const QStringList names = printers->printerNames();
        // Without a printer the router tells the user so.
        if (names.size() == 1 || (names.isEmpty() && !installedServices))
            printManualDuplexWithPrinter(names.value(0));
        else if (VXDocumentPrintServices *services = router())
            services->selectManualDuplexPrinterAndPrintDocument(&m_document);
    });
}

QString VXDocumentPrinter::currentPrinterName()
{
    return installedServices ? installedServices->currentPrinterName() : platform::PrinterCache::shared()->defaultPrinterName();
}

// ---- Automatic duplex

void VXDocumentPrinter::printAutomaticDuplex(const QString &printerName)
{
    QVariantMap settings;
    if (VXPrinterDefaults::isPrinterName(printerName)) {
        if (!takePrinterNamed(printerName)) {
            documentDidPrint(false);
            return;
        }
        settings.insert(PrintInfo::PrinterNameKey, printerName);
    }
    const PrintOperation operation = printOperationWithSettings(settings);
    // The printer chosen in the print panel may be one kept as printing one side at a time: a
    // two-sided job would waste the booklet there, so it is printed in two runs instead. One of no
    // kind yet that cannot print both sides is asked about first, as the print button asks; the
    // printer the run started on was asked about already, or chosen by the factory.
    enum class Road { OneJob, TwoRuns, AskKind };
    const auto road = std::make_shared<Road>(Road::OneJob);
    const QString offered = operation.printInfo().printerName();
    runOperation(
        operation.printInfo(), false,
        [this, road, offered](const PrintInfo &job) {
            if (VXPrinterDefaults::isManualDuplexPrinter(job.printerName()))
                *road = Road::TwoRuns;
            else if (job.printerName() != offered && !m_document.controllingTask() && installedServices
                     && VXPrinterDefaults::isUnclassifiedOneSidedPrinter(job.printerName()))
                *road = Road::AskKind;
            if (*road != Road::OneJob)
                return false;
            prepare(job, false);
            return true;
        },
        [this, road](bool success, const PrintInfo &job) {
            if (*road == Road::OneJob) {
                documentDidPrint(success);
            } else if (*road == Road::TwoRuns) {
                platform::logInfo(QStringLiteral("\"%1\" prints one side at a time: \"%2\" is printed in two runs").arg(job.printerName(), m_document.displayName()));
                printManualDuplexWithPrinter(job.printerName());
            } else {
                platform::logInfo(QStringLiteral("\"%1\" offers no two-sided printing and its kind was never chosen: \"%2\" waits for the answer")
                                      .arg(job.printerName(), m_document.displayName()));
                installedServices->choosePrinterTypeFor(&m_document, job.printerName());
            }
        });
}

PrintOperation VXDocumentPrinter::printOperationWithSettings(const QVariantMap &settings)
{
    PrintInfo job = m_document.printInfo();
    const QString named = settings.value(PrintInfo::PrinterNameKey).toString();
    // A printer the list does not know fails the run, rather than the job going to the last one.
    if (VXPrinterDefaults::isPrinterName(named) && named != job.printerName() && !job.setPrinterNamed(named))
        job.setPrinterName(named);
    if (job.printerName().isEmpty())
        job.setPrinterName(currentPrinterName());
    job.setDuplex(PrintInfo::Duplex::TwoSidedShortEdge);
    prepare(job, false);
    PrintOperation operation(*m_document.printView(), job);
    operation.setJobTitle(m_document.displayName());
    return operation;
}

void VXDocumentPrinter::documentDidPrint(bool success)
{
    if (success)
        postDidPrint();
    releaseTask();
}

// ---- Manual duplex

void VXDocumentPrinter::printManualDuplexWithPrinter(const QString &printerName)
{
    if (VXPrinterDefaults::isPrinterName(printerName)) {
        if (!takePrinterNamed(printerName)) {
            releaseTask();
            return;
        }
    } else {
        platform::logWarning(QStringLiteral("No Manual Duplex printer selected. All settings will be default."));
    }
    platform::Alert alert;
    alert.setMessageText(rqs::localized(QStringLiteral("ManualDuplexTitle")));
    alert.setInformativeText(rqs::localized(QStringLiteral("ManualDuplexText")));
    alert.addButtonWithTitle(rqs::localized(QStringLiteral("PrintOddPages")));
    alert.addButtonWithTitle(rqs::localized(QStringLiteral("SetupManualDuplex")));
    alert.addButtonWithTitle(rqs::localized(QStringLiteral("Cancel")));
    // Alerts end on a later turn of the main queue, so the next sheet may start at once.
    const QPointer<VXDocumentPrinter> self(this);
    alert.beginSheetModalForWindow(m_document.windowForSheet(), [self, printerName](int returnCode) {
        if (self)
            self->startPrintManualDuplex(returnCode, printerName);
    });
}

void VXDocumentPrinter::setUpThenPrint(const QString &printerName)
{
    const QPointer<VXDocumentPrinter> self(this);
    const auto finished = [self, printerName](const QString &recordedPrinter) {
        if (self)
            self->setUpDidEnd(printerName, recordedPrinter);
    };
    if (installedServices && installedServices->showManualDuplexSetup(printerName, finished))
        return;
    if (installedServices)
        platform::logInfo(QStringLiteral("\"%1\" was not printed, because the manual duplex set-up did not open").arg(m_document.displayName()));
    else
        platform::logWarning(QStringLiteral("Could not set up manual duplex printing on \"%1\", because there is no set-up wizard").arg(printerName));
    releaseTask();
}

void VXDocumentPrinter::setUpDidEnd(const QString &printerName, const QString &recordedPrinter)
{
    // The run prints on the printer it was set up for, never on one another run had set up.
    const bool named = VXPrinterDefaults::isPrinterName(printerName);
    if (recordedPrinter.isEmpty() || (named && recordedPrinter.compare(printerName, Qt::CaseInsensitive) != 0)) {
        platform::logInfo(QStringLiteral("\"%1\" was not printed, because the manual duplex set-up closed before it recorded the printer's answers")
                              .arg(m_document.displayName()));
        platform::Alert alert;
        alert.setMessageText(rqs::localized(QStringLiteral("ManualDuplexNotSetUpTitle")).replace(QLatin1String("%1"), m_document.displayName()));
        alert.setInformativeText(rqs::localized(QStringLiteral("ManualDuplexNotSetUpText")));
        alert.addButtonWithTitle(rqs::localized(QStringLiteral("OK")));
        alert.beginSheetModalForWindow(m_document.windowForSheet(), platform::Alert::Completion());
        releaseTask();
        return;
    }
    if (!takePrinterNamed(recordedPrinter)) {
        releaseTask();
        return;
    }
    printFronts();
}

void VXDocumentPrinter::startPrintManualDuplex(int returnCode, const QString &printerName)
{
    if (returnCode == platform::Alert::FirstButtonReturn + 1)
        setUpThenPrint(printerName);
    else if (returnCode == platform::Alert::FirstButtonReturn)
        printFronts();
    else
        releaseTask();
}

void VXDocumentPrinter::printFronts()
{
    PrintInfo job = m_document.printInfo();
    job.setDuplex(PrintInfo::Duplex::OneSided);
    // The fronts in reverse order unless the printer stacks its output the other way round. The
    // printer's answers hold for the printer only: the run stays on it.
    runOperation(
        job, true,
        [this](const PrintInfo &chosen) {
            prepare(chosen, false);
            m_document.printView()->setPrintPages(VXBookletPrintView::OuterSides);
            m_document.printView()->setReverse(!VXPrinterDefaults::boolForPrinter(chosen.printerName(), VXPrinterDefaults::RevertBacksidesKey));
            return true;
        },
        [this](bool success, const PrintInfo &chosen) { printOddOperationDidRun(success, chosen); });
}

void VXDocumentPrinter::printOddOperationDidRun(bool success, const PrintInfo &job)
{
    if (!success) {
        releaseTask();
        return;
    }
    const bool turn = VXPrinterDefaults::boolForPrinter(job.printerName(), VXPrinterDefaults::TurnSheetsKey);
    platform::Alert alert;
    alert.setMessageText(turn ? rqs::localized(QStringLiteral("PrintEvenAwayTitle")) : rqs::localized(QStringLiteral("PrintEvenFacingTitle")));
    alert.setInformativeText(turn ? rqs::localized(QStringLiteral("PrintEvenAwayText")) : rqs::localized(QStringLiteral("PrintEvenFacingText")));
    alert.addButtonWithTitle(rqs::localized(QStringLiteral("DoneOdd")));
    alert.addButtonWithTitle(rqs::localized(QStringLiteral("Cancel")));
    const QPointer<VXDocumentPrinter> self(this);
    alert.beginSheetModalForWindow(m_document.windowForSheet(), [self, job](int returnCode) {
        if (self)
            self->printOddOperationDidEnd(returnCode, job);
    });
}

// The backs go to the printer and with the copies of the fronts.
void VXDocumentPrinter::printOddOperationDidEnd(int returnCode, const PrintInfo &job)
{
    if (returnCode != platform::Alert::FirstButtonReturn) {
        releaseTask();
        return;
    }
    runOperation(
        job, true,
        [this](const PrintInfo &chosen) {
            prepare(chosen, false);
            VXBookletPrintView *view = m_document.printView();
            view->setPrintPages(VXBookletPrintView::InnerSides);
            view->setReverse(true);
            view->setRotate(VXPrinterDefaults::boolForPrinter(chosen.printerName(), VXPrinterDefaults::RotateBacksidesKey));
            return true;
        },
        [this](bool success, const PrintInfo &) { printEvenOperationDidRun(success); });
}

void VXDocumentPrinter::printEvenOperationDidRun(bool success)
{
    releaseTask();
    if (success)
        postDidPrint();
}

// ---- Every run

void VXDocumentPrinter::updatePrintView(bool forExport) { prepare(m_document.printInfo(), forExport); }

void VXDocumentPrinter::prepare(const PrintInfo &job, bool forExport)
{
    // Every page of the file is read before any is printed.
    m_document.readRemainingPages();
    VXBookletPrintView *view = m_document.printView();
    view->setPagesProvider(m_document.outputFilter());
    view->setInputPages(m_document.inputFilter());
    view->setCenter(m_document.center());
    view->setZoom(m_document.zoom());
    view->setPageSize(job.paperSize());
    view->setFilters(m_document.filters());
    view->setRasterizeDPI(m_document.rasterizeDPI());
    view->setUseRasterization(m_document.useRasterization());
    const QString printer = job.printerName().isEmpty() && !forExport ? currentPrinterName() : job.printerName();
    view->setRotate(!forExport && VXPrinterDefaults::boolForPrinter(printer, VXPrinterDefaults::RotateBacksidesKey));
    view->setPrintPages(VXBookletPrintView::AllSides);
    view->setReverse(false);
}

void VXDocumentPrinter::runOperation(const PrintInfo &job, bool printerFixed, Prepare prepare, Done done)
{
    platform::PrintRun::Job run{job, m_document.displayName(), rqs::localized(QStringLiteral("PrintProgress")), true,
                                rqs::localized(QStringLiteral("FoldwisePrinterChosenText")), printerFixed};
    const QPointer<VXControllingTask> task(m_document.controllingTask());
    if (const std::optional<PrintInfo> batch = task ? task->batchPrintChoice() : std::nullopt) {
        run.printInfo.setPrinterName(batch->printerName());
        run.printInfo.setCopies(batch->copies());
        run.printInfo.setDuplex(batch->duplex());
        run.showsPrintPanel = false;
    }
    const auto declined = std::make_shared<bool>(false);
    platform::PrintRun::beginModalForWindow(
        run, m_document.windowForSheet(), this,
        [this, prepare, task, declined](const PrintInfo &chosen) -> platform::Printable * {
            if (task)
                task->printChoiceMade(chosen);
            *declined = !prepare(chosen);
            return *declined ? nullptr : m_document.printView();
        },
        [this, done, declined](const PrintOperation::Outcome &outcome, const PrintInfo &chosen) {
            if (*declined) {
                done(false, chosen);
                return;
            }
            const QList<quint64> failed = m_document.printView()->failedPages();
            if (!outcome.cancelled && !failed.isEmpty())
                showFailedPages(failed);
            else if (!outcome.done && !outcome.cancelled)
                showPrintFailure(outcome.errorString);
            done(outcome.done, chosen);
        });
}

bool VXDocumentPrinter::takePrinterNamed(const QString &printerName)
{
    if (m_document.printInfo().setPrinterNamed(printerName))
        return true;
    platform::logError(QStringLiteral("Could not print \"%1\", because the printer \"%2\" is not in the printer list").arg(m_document.displayName(), printerName));
    showPrintFailure(rqs::localized(QStringLiteral("PrinterNotFoundText")).replace(QLatin1String("%1"), printerName));
    return false;
}

void VXDocumentPrinter::showPrintFailure(const QString &reason)
{
    platform::Alert alert;
    alert.setMessageText(rqs::localized(QStringLiteral("PrintFailedTitle")).replace(QLatin1String("%1"), m_document.displayName()));
    alert.setAlertStyle(platform::Alert::Style::Critical);
    alert.setInformativeText(reason);
    alert.addButtonWithTitle(rqs::localized(QStringLiteral("OK")));
    alert.beginSheetModalForWindow(m_document.windowForSheet(), platform::Alert::Completion());
}

void VXDocumentPrinter::showFailedPages(const QList<quint64> &pages)
{
    platform::logError(QStringLiteral("Pages %1 of \"%2\" could not be drawn").arg(pageList(pages), m_document.displayName()));
    platform::Alert alert;
    alert.setMessageText(rqs::localized(QStringLiteral("PagesNotDrawnTitle")));
    alert.setAlertStyle(platform::Alert::Style::Critical);
    alert.setInformativeText(rqs::localized(QStringLiteral("PagesNotDrawnText")).replace(QLatin1String("%1"), pageList(pages)));
    alert.addButtonWithTitle(rqs::localized(QStringLiteral("OK")));
    alert.beginSheetModalForWindow(m_document.windowForSheet(), platform::Alert::Completion());
}

void VXDocumentPrinter::releaseTask() { m_document.setControllingTask(nullptr); }

void VXDocumentPrinter::postDidPrint()
{
    platform::logInfo(QStringLiteral("Printed \"%1\"").arg(m_document.displayName()));
    platform::NotificationCenter::defaultCenter()->post(Document::DidPrintNotification, &m_document);
}

// ---- Export

bool VXDocumentPrinter::isDocumentFile(const QUrl &url) const
{
    const QUrl own = m_document.fileURL();
    return url.isLocalFile() && own.isLocalFile() && filePath(url) == filePath(own);
}

bool VXDocumentPrinter::exportBookletToURL(const QUrl &url, QString *failure)
{
    bool cancelled = false;
    QString reason;
    const bool exported = exportBooklet(url, cancelled, reason);
    if (failure)
        *failure = reason;
    return exported;
}

bool VXDocumentPrinter::exportBooklet(const QUrl &url, bool &cancelled, QString &failure)
{
    // Nothing written: the file, and why.
    const auto notWritten = [&](const QString &reason) {
        failure = Document::notWrittenText(url, reason);
        return false;
    };
    if (isDocumentFile(url)) {
        platform::logError(QStringLiteral("Could not export the booklet to \"%1\", because that is the file it is made from").arg(url.toLocalFile()));
        return notWritten(rqs::localized(QStringLiteral("ExportOverSourceReason")));
    }
    QVariantMap job = m_document.printInfo().dictionary();
    job.insert(PrintInfo::JobSavingUrlKey, url);
    job.insert(PrintInfo::JobDispositionKey, PrintInfo::SaveJob);
    // Its sheets would be blank: no file, and the user is told why.
    if (m_document.inputFilter()->allPages().isEmpty()) {
        platform::logError(QStringLiteral("Could not export the booklet to \"%1\", because the document has no pages").arg(url.toLocalFile()));
        failure = rqs::localized(QStringLiteral("NoPagesToExportText")).replace(QLatin1String("%1"), m_document.displayName());
        return false;
    }
    const std::optional<PrintInfo> info = PrintInfo::fromDictionary(job);
    if (!info) {
        platform::logError(QStringLiteral("Could not export the booklet to \"%1\", because its print settings make no job").arg(url.toLocalFile()));
        return notWritten(rqs::localized(QStringLiteral("ExportSettingsReason")));
    }
    updatePrintView(true);
    PrintOperation operation(*m_document.printView(), *info);
    operation.setFailureHeading(QStringLiteral("Could not export the booklet"));
    const QString label = rqs::localized(QStringLiteral("ExportProgress")).replace(QLatin1String("%1"), m_document.displayName());
    if (platform::PrintRun::withProgress(operation, m_document.windowForSheet(), label, [&] { return operation.run(); })) {
        platform::logInfo(QStringLiteral("Exported the booklet of \"%1\" to \"%2\"").arg(m_document.displayName(), url.toLocalFile()));
        return true;
    }
    cancelled = operation.wasCancelled();
    const QList<quint64> failed = m_document.printView()->failedPages();
    if (!failed.isEmpty()) {
        platform::logError(QStringLiteral("Could not export the booklet to \"%1\", because pages %2 could not be drawn")
                               .arg(url.toLocalFile(), pageList(failed)));
        failure = rqs::localized(QStringLiteral("PagesNotDrawnText")).replace(QLatin1String("%1"), pageList(failed));
        return false;
    }
    return notWritten(operation.writingFailure().isEmpty() ? operation.errorString() : operation.writingFailure());
}

void VXDocumentPrinter::saveBooklet()
{
    QString name = m_document.fileURL().isLocalFile() ? QFileInfo(m_document.fileURL().toLocalFile()).completeBaseName()
                                                      : m_document.displayName().replace(u'/', u'-');
    if (name.isEmpty())
        name = rqs::localized(QStringLiteral("Untitled"));
    QString folder = m_document.folderForSaving();
    if (folder.isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    platform::SavePanel panel;
    panel.setTitle(rqs::localized(QStringLiteral("ExportPanelTitle")));
    panel.setPrompt(rqs::localized(QStringLiteral("ExportPanelPrompt")));
    panel.setAllowedFileTypes({QStringLiteral("pdf")});
    // The booklet is a PDF whatever the document was opened from.
    panel.setNameFieldStringValue(QStringLiteral("%1 - Booklet.pdf").arg(name));
    panel.setDirectoryURL(QUrl::fromLocalFile(folder));
    const QPointer<VXDocumentPrinter> self(this);
    panel.beginSheetModalForWindow(m_document.windowForSheet(), [self](int result, const QUrl &url) {
        bool cancelled = false;
        QString failure;
        if (!self || result != platform::SavePanel::OKButton || self->exportBooklet(url, cancelled, failure) || cancelled)
            return;
        platform::Alert alert;
        alert.setMessageText(rqs::localized(QStringLiteral("ErrorWhileExportingDocument")));
        alert.setAlertStyle(platform::Alert::Style::Critical);
        alert.setInformativeText(failure);
        alert.addButtonWithTitle(rqs::localized(QStringLiteral("OK")));
        alert.beginSheetModalForWindow(self->m_document.windowForSheet(), platform::Alert::Completion());
    });
}

// ---- The print button

QAbstractButton *VXDocumentPrinter::printButton() const { return m_printButton; }

void VXDocumentPrinter::setPrintButton(QAbstractButton *button)
{
    if (installedServices) {
        if (m_printButton)
            installedServices->deregisterPrintButton(m_printButton);
        installedServices->registerPrintButton(button);
    }
    m_printButton = button;
}
