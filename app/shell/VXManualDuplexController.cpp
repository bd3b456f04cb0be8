#include "app/shell/VXManualDuplexController.h"

#include "app/booklet/VXPrinterDefaults.h"
#include "app/printing/VXPrintHelper.h"
#include "RQS-Kit/Foundation/StringExtension.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/Log.h"
#include "platform/printing/PrintInfo.h"
#include "platform/printing/PrinterCache.h"
#include "platform/ui/Alert.h"
#include "platform/ui/PrintRun.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QPropertyAnimation>

using platform::PrintInfo;

namespace {

const QString TestName = QStringLiteral("ManualDuplexTest");

void loadText(QTextBrowser *view, const QString &name)
{
    if (!view)
        return;
    QFile file(platform::Bundle::mainBundle()->pathForResource(name, QStringLiteral("html")));
    if (file.open(QIODevice::ReadOnly))
        view->setHtml(QString::fromUtf8(file.readAll()));
    else
        platform::logWarning(QStringLiteral("The set-up text %1.html could not be read: %2").arg(name, file.errorString()));
}

QStringList printerNames() { return platform::PrinterCache::shared()->printerNames(); }

} // namespace

VXManualDuplexController::VXManualDuplexController(QObject *parent)
    : QSWindowController(parent)
{
}

VXManualDuplexController *VXManualDuplexController::sharedController()
{
    static QPointer<VXManualDuplexController> shared;
    if (!shared)
        shared = new VXManualDuplexController(QCoreApplication::instance());
    return shared;
}

QStringList VXManualDuplexController::stepNames()
{
    return {QStringLiteral("ManualStep1"),  QStringLiteral("ManualStep2"),  QStringLiteral("ManualCheck"),
            QStringLiteral("ManualStep1b"), QStringLiteral("ManualStep2b"), QStringLiteral("ManualFinal")};
}

void VXManualDuplexController::setPrinterName(const QString &printerName)
{
    m_printerName = printerName;
    showPrinterName();
}

void VXManualDuplexController::showPrinterName()
{
    if (!m_printerLabel)
        return;
    m_printerLabel->setText(VXPrinterDefaults::isPrinterName(m_printerName)
                                ? rqs::localized(QStringLiteral("SetupPrinterNamed")).replace(QLatin1String("%1"), m_printerName)
                                : rqs::localized(QStringLiteral("SetupPrinterNone")));
}

QString VXManualDuplexController::printerName() const { return m_printerName; }

bool VXManualDuplexController::isOpen() const { return isLoaded() && isVisible(); }

bool VXManualDuplexController::open(const QString &printerName, Finished finished)
{
    if (isOpen() && printerName.compare(m_printerName, Qt::CaseInsensitive) != 0) {
        tellOpenForAnotherPrinter(printerName);
        return false;
    }
    // A window closed a moment ago whose end is still to come ends now, for those waiting for it.
    if (!isOpen()) {
        if (isLoaded())
            unloadWindow();
        endOpening();
        setPrinterName(printerName);
    }
    if (finished)
        m_waiting.append(std::move(finished));
    showWindow(nullptr);
    return true;
}

void VXManualDuplexController::tellOpenForAnotherPrinter(const QString &printerName)
{
    platform::logInfo(QStringLiteral("The manual duplex set-up was not opened for \"%1\", because it is open for \"%2\"").arg(printerName, m_printerName));
    showWindow(nullptr);
    platform::Alert alert;
    alert.setMessageText(rqs::localized(QStringLiteral("SetupBusyTitle")));
    alert.setInformativeText(rqs::localized(QStringLiteral("SetupBusyText")));
    alert.addButtonWithTitle(rqs::localized(QStringLiteral("OK")));
    alert.beginSheetModalForWindow(window(), platform::Alert::Completion());
}

void VXManualDuplexController::windowDidLoad()
{
    QSWindowController::windowDidLoad();
    loadText(m_page1TextView, QStringLiteral("Page1Text"));
    loadText(m_page2TextView, QStringLiteral("Page2Text"));
    loadText(m_page4TextView, QStringLiteral("Page4Text"));
    loadText(m_page5TextView, QStringLiteral("Page5Text"));
    if (m_scrollingView) {
        QSize least;
        for (QWidget *page : stepPages()) {
            least = least.expandedTo(page->minimumSizeHint());
            QSizePolicy policy = page->sizePolicy();
            policy.setRetainSizeWhenHidden(true);
            page->setSizePolicy(policy);
        }
        m_scrollingView->setMinimumSize(least);
        m_scrollingView->installEventFilter(this);
    }
    window()->closeWithEscapeAndCtrlW();
    setCurrentPage(0);
    showPrinterName();
    if (VXPrinterDefaults::isPrinterName(m_printerName))
        return;
    // The list may still be on its way from the print server.
    platform::PrinterCache::shared()->whenLoaded(this, [this] {
        const QStringList names = printerNames();
        if (names.size() == 1)
            setPrinterName(names.first());
        else if (names.size() > 1 && isLoaded())
            choosePrinter(rqs::localized(QStringLiteral("SetupPrinterTitle")), [this](const QString &name) { setPrinterName(name); });
    });
}

void VXManualDuplexController::windowDidClose()
{
    QSWindowController::windowDidClose();
    // The wizard may have been opened afresh since that window closed; its new window stays.
    if (isOpen())
        return;
    unloadWindow();
    endOpening();
}

void VXManualDuplexController::endOpening()
{
    const QList<Finished> waiting = std::exchange(m_waiting, {});
    const QString recorded = std::exchange(m_recordedPrinter, {});
    for (const Finished &finished : waiting)
        finished(recorded);
}

void VXManualDuplexController::unloadWindow()
{
    m_title = m_printerLabel = nullptr;
    m_previousButton = m_nextButton = nullptr;
    m_page1PrintButton = m_page2PrintButton = m_page4PrintButton = m_page5PrintButton = nullptr;
    m_page1TextView = m_page2TextView = m_page4TextView = m_page5TextView = nullptr;
    m_scrollingView = m_stepPages = nullptr;
    QSWindowController::unloadWindow();
    m_printerName.clear();
}

qint64 VXManualDuplexController::currentPage() const { return m_currentPage; }

bool VXManualDuplexController::onlyOnePage() const { return m_onlyOnePage; }

QAbstractButton *VXManualDuplexController::printButton(qint64 page) const
{
    switch (page) {
    case 0: return m_page1PrintButton;
    case 1: return m_page2PrintButton;
    case 3: return m_page4PrintButton;
    case 4: return m_page5PrintButton;
    default: return nullptr;
    }
}

void VXManualDuplexController::setCurrentPage(qint64 page)
{
    m_currentPage = std::clamp<qint64>(page, 0, StepCount - 1);
    if (m_previousButton)
        m_previousButton->setEnabled(m_currentPage >= 1);
    // The check step is left only through its two answers.
    if (m_nextButton)
        m_nextButton->setEnabled(m_currentPage + 1 < StepCount && m_currentPage != CheckStep);
    if (m_title) {
        m_title->setText(rqs::localized(QStringLiteral("ManualStepNumbered"))
                             .arg(QString::number(stepNumber()), rqs::localized(stepNames().at(m_currentPage))));
    }
    placeStepPages(true);
    for (qint64 step = 0; step < StepCount; ++step) {
        if (QAbstractButton *button = printButton(step))
            button->setShortcut(QKeySequence());
    }
    // Return prints on a printing step.
    if (QAbstractButton *button = printButton(m_currentPage)) {
        button->setShortcut(QKeySequence(Qt::Key_Return));
        button->setFocus();
    }
}

qint64 VXManualDuplexController::stepNumber() const
{
    // Both faces printed, the check leads straight to the final step, which then comes fourth.
    if (m_currentPage == FinalStep && !m_onlyOnePage)
        return CheckStep + 2;
    return m_currentPage + 1;
}

QList<QWidget *> VXManualDuplexController::stepPages() const
{
    QList<QWidget *> pages;
    for (int step = 0; m_stepPages && step < StepCount; ++step) {
        if (auto *page = m_stepPages->findChild<QWidget *>(QStringLiteral("step%1").arg(step), Qt::FindDirectChildrenOnly))
            pages.append(page);
    }
    return pages;
}

void VXManualDuplexController::placeStepPages(bool animated)
{
    if (!m_scrollingView || !m_stepPages)
        return;
    const QSize step = m_scrollingView->size();
    for (QWidget *page : stepPages())
        page->setFixedSize(step);
    m_stepPages->resize(step.width() * 3, step.height() * 2);
    const QPoint target(-int(m_currentPage % 3) * step.width(), -int(m_currentPage / 3) * step.height());
    // A slide still on its way gives way to this one.
    for (QPropertyAnimation *slide : m_stepPages->findChildren<QPropertyAnimation *>(Qt::FindDirectChildrenOnly))
        slide->stop();
    if (!animated || !m_scrollingView->isVisible() || m_stepPages->pos() == target) {
        m_stepPages->move(target);
        showOnlyCurrentStep();
        return;
    }
    for (QWidget *page : stepPages())
        page->show();
    auto *slide = new QPropertyAnimation(m_stepPages, "pos", m_stepPages);
    slide->setDuration(300);
    slide->setEndValue(target);
    connect(slide, &QPropertyAnimation::finished, this, &VXManualDuplexController::showOnlyCurrentStep);
    slide->start(QAbstractAnimation::DeleteWhenStopped);
}

void VXManualDuplexController::showOnlyCurrentStep()
{
    const QList<QWidget *> pages = stepPages();
    for (int step = 0; step < pages.size(); ++step)
        pages[step]->setVisible(step == m_currentPage);
}

bool VXManualDuplexController::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_scrollingView && event->type() == QEvent::Resize)
        placeStepPages(false);
    return QSWindowController::eventFilter(watched, event);
}

void VXManualDuplexController::nextPage() { setCurrentPage(m_currentPage + 1); }

void VXManualDuplexController::previousPage()
{
    // The final step is reached straight from the check when both faces were printed.
    setCurrentPage(m_currentPage == FinalStep && !m_onlyOnePage ? CheckStep : m_currentPage - 1);
}

void VXManualDuplexController::printedOnOnePage()
{
    m_onlyOnePage = true;
    setCurrentPage(CheckStep + 1);
}

void VXManualDuplexController::printedOnBothPage()
{
    m_onlyOnePage = false;
    setCurrentPage(FinalStep);
}

void VXManualDuplexController::printFrontPages() { printTestPages(QSPDFPrintView::OddPages); }

void VXManualDuplexController::printBackPages() { printTestPages(QSPDFPrintView::EvenPages); }

void VXManualDuplexController::printTestPages(int printPages)
{
    // A copy: the test's landscape paper and printer are no concern of the documents.
    PrintInfo job = PrintInfo::sharedPrintInfo();
    if (job.orientation() != PrintInfo::Orientation::Landscape)
        job.setOrientation(PrintInfo::Orientation::Landscape);
    if (VXPrinterDefaults::isPrinterName(m_printerName))
        job.setPrinterNamed(m_printerName);
    job.setDuplex(PrintInfo::Duplex::OneSided);
    m_testView = std::make_unique<QSPDFPrintView>(
        QUrl::fromLocalFile(platform::Bundle::mainBundle()->pathForResource(TestName, QStringLiteral("pdf"))));
    m_testView->setPrintPages(printPages);
    // The answers recorded are the wizard's printer's: the test prints on no other.
    const platform::PrintRun::Job run{job, TestName, rqs::localized(QStringLiteral("PrintProgress")), true,
                                      rqs::localized(QStringLiteral("FoldwisePrinterChosenText")), VXPrinterDefaults::isPrinterName(m_printerName)};
    platform::PrintRun::beginModalForWindow(
        run, window(), this, [this](const PrintInfo &) { return m_testView.get(); },
        [this](const platform::PrintOperation::Outcome &outcome, const PrintInfo &) {
            // After a cancel or a failure the step stays, to print again or move on.
            if (outcome.done) {
                setCurrentPage(m_currentPage + 1);
                return;
            }
            if (outcome.cancelled || !isLoaded())
                return;
            platform::Alert alert;
            alert.setMessageText(rqs::localized(QStringLiteral("PrintFailedTitle")).replace(QLatin1String("%1"), TestName));
            alert.setAlertStyle(platform::Alert::Style::Critical);
            alert.setInformativeText(outcome.errorString);
            alert.addButtonWithTitle(rqs::localized(QStringLiteral("OK")));
            alert.beginSheetModalForWindow(window(), platform::Alert::Completion());
        });
}

void VXManualDuplexController::choosePrinter(const QString &message, std::function<void(const QString &)> chosen)
{
    const QStringList names = printerNames();
    platform::Alert alert;
    alert.setMessageText(message);
    if (names.isEmpty()) {
        alert.setInformativeText(rqs::localized(QStringLiteral("SetupNoPrinterText")));
        alert.addButtonWithTitle(rqs::localized(QStringLiteral("OK")));
        alert.beginSheetModalForWindow(window(), platform::Alert::Completion());
        return;
    }
    alert.addButtonWithTitle(rqs::localized(QStringLiteral("Select")));
    alert.addButtonWithTitle(rqs::localized(QStringLiteral("Cancel")));
    alert.setChoices(names);
    alert.setSelectedChoice(VXPrintHelper::sharedHelper()->currentPrinterName());
    const QPointer<VXManualDuplexController> self(this);
    alert.beginSheetModalForWindow(window(), platform::Alert::AnswerCompletion([self, chosen](const platform::Alert::Answer &answer) {
        if (self && answer.returnCode == platform::Alert::FirstButtonReturn && VXPrinterDefaults::isPrinterName(answer.selectedChoice))
            chosen(answer.selectedChoice);
    }));
}

void VXManualDuplexController::selectPage(QObject *sender)
{
    const int tag = sender ? sender->property("tag").toInt() : 0;
    if (VXPrinterDefaults::isPrinterName(m_printerName)) {
        record(tag);
        return;
    }
    platform::logWarning(QStringLiteral("The manual duplex answers were not recorded yet, because no printer was chosen"));
    choosePrinter(rqs::localized(QStringLiteral("SetupPrinterMissingTitle")), [this, tag](const QString &name) {
        m_printerName = name;
        record(tag);
    });
}

void VXManualDuplexController::record(int tag)
{
    const QString printer = m_printerName;
    // Set up last, so that a printer is never called set up with half its answers.
    const bool stored = VXPrinterDefaults::setValueForPrinter(m_onlyOnePage, printer, VXPrinterDefaults::TurnSheetsKey)
        && VXPrinterDefaults::setValueForPrinter(bool((tag >> 1) & 1), printer, VXPrinterDefaults::RotateBacksidesKey)
        && VXPrinterDefaults::setValueForPrinter(bool((tag >> 2) & 1), printer, VXPrinterDefaults::RevertBacksidesKey)
        && VXPrinterDefaults::setValueForPrinter(true, printer, VXPrinterDefaults::DidSetupKey);
    if (!stored) {
        platform::logError(QStringLiteral("The manual duplex answers for \"%1\" could not be recorded").arg(printer));
        return;
    }
    platform::logInfo(QStringLiteral("Recorded how \"%1\" prints manual duplex").arg(printer));
    m_recordedPrinter = printer;
    close(nullptr);
    unloadWindow();
}
