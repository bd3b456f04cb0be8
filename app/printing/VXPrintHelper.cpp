#include "app/printing/VXPrintHelper.h"

#include "app/booklet/VXDocumentPrinter.h"
#include "app/booklet/VXPrintableDocument.h"
#include "app/booklet/VXPrinterDefaults.h"
#include "app/printing/VXApplicationServices.h"
#include "app/printing/VXManualDuplexSetup.h"
#include "app/printing/VXPreferencesWindow.h"
#include "app/printing/VXPrintFactory.h"
#include "RQS-Kit/Foundation/StringExtension.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/MainQueue.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/printing/PrintInfo.h"
#include "platform/printing/PrinterCache.h"
#include "platform/printing/PrinterWatcher.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Window.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMenu>

namespace {

platform::UserDefaults *defaults() { return platform::UserDefaults::standardUserDefaults(); }

void warnDocumentGone() { platform::logWarning(QStringLiteral("The document to print has been closed; nothing was printed")); }

} // namespace

VXPrintHelper *VXPrintHelper::sharedHelper()
{
    static QPointer<VXPrintHelper> shared;
    if (!shared)
        shared = new VXPrintHelper(qApp);
    return shared;
}

VXPrintHelper::VXPrintHelper(QObject *parent)
    : QObject(parent)
    , m_popupIcon(QPixmap::fromImage(platform::Bundle::mainBundle()->imageNamed(QStringLiteral("PopupIcon"))))
{
    defaults()->registerDefaults({{RememberPrinterTypeKey, true}});
    const auto update = [this](const platform::Notification &) { updatePrintButtons(); };
    platform::NotificationCenter::defaultCenter()->addObserver(this, ChangedPrinterTypeNotification, nullptr, update);
    platform::NotificationCenter *distributed = platform::NotificationCenter::distributedCenter();
    distributed->addObserver(this, platform::PrinterWatcher::RegisteredNotification, nullptr, update);
    distributed->addObserver(this, platform::PrinterWatcher::UnregisteredNotification, nullptr, update);
    platform::PrinterCache *printers = platform::PrinterCache::shared();
    new platform::PrinterWatcher(printers, this);
    // The watcher does not announce the first answer; a held Option key keeps the marker.
    connect(printers, &platform::PrinterCache::printersChanged, this, [this] {
        if (!m_optionKeyDown)
            updatePrintButtons();
    });
    if (qApp)
        qApp->installEventFilter(this);
    VXDocumentPrinter::setPrintServices(this);
}

VXPrintHelper::~VXPrintHelper()
{
    if (VXDocumentPrinter::printServices() == this)
        VXDocumentPrinter::setPrintServices(nullptr);
}

QStringList VXPrintHelper::printerTypeTitles()
{
    return {QStringLiteral("– Please Select Type –"), QStringLiteral("Automatic Duplex"), QStringLiteral("Manual Duplex")};
}

void VXPrintHelper::registerPrintButton(QAbstractButton *button)
{
    if (!button || m_printButtons.contains(button))
        return;
    m_printButtons.append(button);
    // A button made once the printers are known shows the marker that fits them at once.
    if (m_optionKeyDown || m_printerNamesSource || platform::PrinterCache::shared()->isLoaded())
        setPopupMarker(button, m_optionKeyDown || printersType() == PrinterTypeSeveralPrinters);
}

void VXPrintHelper::deregisterPrintButton(QAbstractButton *button)
{
    if (button)
        m_printButtons.removeAll(button);
}

VXApplicationServices *VXPrintHelper::applicationServices() const { return m_services; }

void VXPrintHelper::setApplicationServices(VXApplicationServices *services) { m_services = services; }

void VXPrintHelper::setPrinterNamesSource(std::function<QStringList()> source) { m_printerNamesSource = std::move(source); }

VXPrintHelper::Target::Target(VXPrintableDocument *document)
    : m_document(document)
    , m_object(dynamic_cast<QObject *>(document))
{
}

VXPrintableDocument *VXPrintHelper::Target::document() const { return hasGone() ? nullptr : m_document; }

bool VXPrintHelper::Target::hasGone() const { return m_document && !m_object; }

QStringList VXPrintHelper::printerNames() const
{
    return m_printerNamesSource ? m_printerNamesSource() : platform::PrinterCache::shared()->printerNames();
}

QString VXPrintHelper::currentPrinterName() const { return m_services ? m_services->currentPrinterName() : QString(); }

bool VXPrintHelper::showManualDuplexSetup(const QString &printerName, std::function<void(const QString &recordedPrinter)> finished)
{
    VXManualDuplexSetup *setup = m_services ? m_services->manualDuplexSetup() : nullptr;
    if (!setup) {
        platform::logWarning(QStringLiteral("Could not set up manual duplex printing on \"%1\", because there is no set-up wizard").arg(printerName));
        return false;
    }
    return setup->open(printerName, std::move(finished));
}

bool VXPrintHelper::isOptionKeyDown() const
{
    return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::AltModifier);
}

int VXPrintHelper::printersType() const
{
    const QStringList names = printerNames();
    if (names.isEmpty())
        return PrinterTypeNotChosen;
    if (names.size() > 1)
        return PrinterTypeSeveralPrinters;
    return int(VXPrinterDefaults::integerForPrinter(names.first(), VXPrinterDefaults::PrinterTypeKey));
}

bool VXPrintHelper::waitsForPrinters(const Target &target, std::function<void(VXPrintableDocument *)> road)
{
    platform::PrinterCache *printers = platform::PrinterCache::shared();
    if (m_printerNamesSource || printers->isLoaded())
        return false;
    printers->whenLoaded(this, [this, target, road = std::move(road)] {
        m_pressesWaiting.removeAll(target);
        if (target.hasGone())
            warnDocumentGone();
        else
            road(target.document());
    });
    return true;
}

void VXPrintHelper::printDocument(VXPrintableDocument *document)
{
    const Target target(document);
    // A press before the print server's first answer waits for it rather than take "no printer";
    // presses made for one document while waiting are one press.
    if (m_pressesWaiting.contains(target))
        return;
    if (waitsForPrinters(target, [this](VXPrintableDocument *waited) { printDocument(waited); })) {
        m_pressesWaiting.append(target);
        return;
    }
    if (!hasPrintersOrTellsSo(target))
        return;
    const QStringList names = printerNames();
    int type = printersType();
    if (isOptionKeyDown())
        type = PrinterTypeSeveralPrinters;
    switch (type) {
    case PrinterTypeManualDuplex:
        if (names.size() == 1)
            printTarget(target, names.first(), true);
        else
            selectManualDuplexPrinterAndPrint(target);
        break;
    case PrinterTypeAutomaticDuplex:
        printAutomaticDuplex(document, QString());
        break;
    case PrinterTypeNotChosen:
        choosePrinterTypeFor(target, names.last());
        break;
    default: {
        VXPrintFactory *factory = m_services ? m_services->factory() : nullptr;
        showPrinterListOnButton(document, document ? document->printButton() : factory ? factory->printButton() : nullptr);
        break;
    }
    }
}

void VXPrintHelper::printDocument(VXPrintableDocument *document, int printerIndex)
{
    const Target target(document);
    const QStringList names = printerNames();
    // The menu may have outlived the printer it named.
    if (printerIndex < 0 || printerIndex >= names.size()) {
        platform::logWarning(QStringLiteral("Printer number %1 is no longer there; nothing was printed").arg(printerIndex));
        return;
    }
    const QString name = names.at(printerIndex);
    if (platform::PrintInfo *info = printInfo(target))
        info->setPrinterNamed(name);
    int type = int(VXPrinterDefaults::integerForPrinter(name, VXPrinterDefaults::PrinterTypeKey));
    if (isOptionKeyDown())
        type = PrinterTypeNotChosen;
    if (type == PrinterTypeManualDuplex)
        printTarget(target, name, true);
    else if (type == PrinterTypeAutomaticDuplex)
        printAutomaticDuplex(document, name);
    else
        choosePrinterTypeFor(target, name);
}

void VXPrintHelper::printAutomaticDuplex(VXPrintableDocument *document, const QString &printerName)
{
    const Target target(document);
    // Whether the printer prints both sides is known once the print server has answered.
    if (waitsForPrinters(target, [this, printerName](VXPrintableDocument *waited) { printAutomaticDuplex(waited, printerName); }))
        return;
    if (!hasPrintersOrTellsSo(target))
        return;
    // A printer kept as printing one side at a time would waste a two-sided job: it gets the
    // booklet in two runs; one of no kind yet that cannot print both sides is asked about first.
    const QString printer = printerOfRoad(target, printerName);
    if (VXPrinterDefaults::isManualDuplexPrinter(printer)) {
        platform::logInfo(QStringLiteral("\"%1\" prints one side at a time: the booklet is printed in two runs").arg(printer));
        printTarget(target, printer, true);
    } else if (VXPrinterDefaults::isUnclassifiedOneSidedPrinter(printer)) {
        platform::logInfo(QStringLiteral("\"%1\" offers no two-sided printing and its kind was never chosen: the user is asked first").arg(printer));
        choosePrinterTypeFor(target, printer);
    } else {
        explainAndPrintAutomaticDuplex(target, printerName);
    }
}

QString VXPrintHelper::printerOfRoad(const Target &target, const QString &printerName) const
{
    if (!printerName.isEmpty())
        return printerName;
    const platform::PrintInfo *info = printInfo(target);
    return info && !info->printerName().isEmpty() ? info->printerName() : currentPrinterName();
}

bool VXPrintHelper::hasPrintersOrTellsSo(const Target &target)
{
    // Before the print server's first answer nothing is known yet.
    if (!m_printerNamesSource && !platform::PrinterCache::shared()->isLoaded())
        return true;
    if (!printerNames().isEmpty())
        return true;
    platform::logWarning(QStringLiteral("Nothing was printed, because there is no printer"));
    platform::Alert alert;
    alert.setMessageText(rqs::localized(QStringLiteral("NoPrinterTitle")));
    alert.setInformativeText(rqs::localized(QStringLiteral("NoPrinterText")));
    alert.addButtonWithTitle(rqs::localized(QStringLiteral("OK")));
    alert.beginSheetModalForWindow(windowForSheet(target), platform::Alert::Completion());
    return false;
}

void VXPrintHelper::explainAndPrintAutomaticDuplex(const Target &target, const QString &printerName)
{
    if (!defaults()->boolForKey(AutoShowUpsideDownPrintKey)) {
        printTarget(target, printerName, false);
        return;
    }
    const QString printer = printerName.isEmpty() ? currentPrinterName() : printerName;
    const bool rotate = VXPrinterDefaults::boolForPrinter(printer, VXPrinterDefaults::RotateBacksidesKey);
    const QString binding = rotate ? rqs::localized(QStringLiteral("LongSidedBinding")) : rqs::localized(QStringLiteral("ShortSidedBinding"));
    platform::Alert alert;
    // The texts take the binding word as "%1"; a text without it is shown as it is.
    alert.setMessageText(rqs::localized(QStringLiteral("FAQ-UpsideDownPrint-Title")).replace(QLatin1String("%1"), binding));
    alert.setInformativeText(rqs::localized(QStringLiteral("FAQ-UpsideDownPrint-Short")).replace(QLatin1String("%1"), binding));
    alert.addButtonWithTitle(rqs::localized(QStringLiteral("Understood")));
    alert.setShowsSuppressionButton(true);
    alert.setSuppressionButtonTicked(false);
    alert.beginSheetModalForWindow(windowForSheet(target), platform::Alert::AnswerCompletion([this, target, printerName](const platform::Alert::Answer &answer) {
        platform::MainQueue::post([this, target, printerName, ticked = answer.suppressionButtonTicked] {
            defaults()->setBool(!ticked, AutoShowUpsideDownPrintKey);
            printTarget(target, printerName, false);
        });
    }));
}

void VXPrintHelper::selectManualDuplexPrinterAndPrintDocument(VXPrintableDocument *document)
{
    const Target target(document);
    if (hasPrintersOrTellsSo(target))
        selectManualDuplexPrinterAndPrint(target);
}

void VXPrintHelper::selectManualDuplexPrinterAndPrint(const Target &target)
{
    platform::Alert alert;
    alert.setMessageText(rqs::localized(QStringLiteral("SelectManualDuplexPrinterTitle")));
    alert.addButtonWithTitle(rqs::localized(QStringLiteral("Select")));
    alert.addButtonWithTitle(rqs::localized(QStringLiteral("Cancel")));
    alert.setChoices(printerNames());
    // A new document names no printer yet: the system's current one then.
    alert.setSelectedChoice(printerOfRoad(target, QString()));
    alert.beginSheetModalForWindow(windowForSheet(target), platform::Alert::AnswerCompletion([this, target](const platform::Alert::Answer &answer) {
        if (answer.returnCode == platform::Alert::FirstButtonReturn)
            printTarget(target, answer.selectedChoice, true);
    }));
}

void VXPrintHelper::choosePrinterTypeFor(VXPrintableDocument *document, const QString &printerName)
{
    choosePrinterTypeFor(Target(document), printerName);
}

void VXPrintHelper::choosePrinterTypeFor(const Target &target, const QString &printerName)
{
    if (VXPrinterDefaults::isPrinterName(printerName))
        VXPrinterDefaults::setValueForPrinter(PrinterTypeNotChosen, printerName, VXPrinterDefaults::PrinterTypeKey);
    platform::Alert alert;
    alert.setMessageText(rqs::localized(QStringLiteral("PrinterKindTitle")));
    alert.setInformativeText(rqs::localized(QStringLiteral("PrinterKindText")));
    alert.addButtonWithTitle(rqs::localized(QStringLiteral("IsAutomaticDuplex")));
    alert.addButtonWithTitle(rqs::localized(QStringLiteral("IsSingleSidePrinter")));
    alert.setShowsSuppressionButton(true);
    alert.setSuppressionButtonTicked(defaults()->boolForKey(RememberPrinterTypeKey));
    // What the print server says of the queue is the likelier answer.
    const bool twoSided = platform::PrinterCache::shared()->printsBothSides(printerName);
    alert.setDefaultButtonReturn(platform::Alert::FirstButtonReturn + (twoSided ? 0 : 1));
    // Closing the question is the way back out of the print.
    alert.setDismissible(true);
    alert.beginSheetModalForWindow(windowForSheet(target), platform::Alert::AnswerCompletion([this, target, printerName](const platform::Alert::Answer &response) {
        if (response.returnCode != platform::Alert::FirstButtonReturn && response.returnCode != platform::Alert::FirstButtonReturn + 1) {
            platform::logInfo(QStringLiteral("Nothing was printed: the question whether \"%1\" prints both sides was closed unanswered").arg(printerName));
            return;
        }
        platform::MainQueue::post([this, target, printerName, response] {
            const int answer = response.returnCode == platform::Alert::FirstButtonReturn ? PrinterTypeAutomaticDuplex : PrinterTypeManualDuplex;
            if (target.hasGone()) {
                warnDocumentGone();
            } else if (answer == PrinterTypeAutomaticDuplex) {
                const QString printer = printerName.isEmpty() ? currentPrinterName() : printerName;
                platform::PrintInfo *info = printInfo(target);
                if (info && VXPrinterDefaults::isPrinterName(printer))
                    info->setPrinterNamed(printer);
                explainAndPrintAutomaticDuplex(target, printerName);
            } else {
                printTarget(target, printerName, true);
            }
            defaults()->setBool(response.suppressionButtonTicked, RememberPrinterTypeKey);
            // Without a printer name the answer belongs to no printer and is not kept.
            if (response.suppressionButtonTicked && VXPrinterDefaults::isPrinterName(printerName))
                VXPrinterDefaults::setValueForPrinter(answer, printerName, VXPrinterDefaults::PrinterTypeKey);
            updatePrintButtons();
        });
    }));
}

void VXPrintHelper::showPrinterListOnButton(VXPrintableDocument *document, QAbstractButton *button)
{
    const Target target(document);
    auto *menu = new QMenu(rqs::localized(QStringLiteral("Select Printer")), button);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const QStringList titles = printerTypeTitles();
    const QString current = currentPrinterName();
    QAction *currentItem = nullptr;
    const QStringList names = printerNames();
    for (int index = 0; index < names.size(); ++index) {
        const QString &name = names.at(index);
        const qint64 type = VXPrinterDefaults::integerForPrinter(name, VXPrinterDefaults::PrinterTypeKey);
        // A stored type outside the known ones has no title: the plain name then.
        const QString title = type == PrinterTypeNotChosen || type < 0 || type >= titles.size()
            ? name
            : QStringLiteral("%1 – (%2)").arg(name, titles.at(int(type)));
        QAction *item = menu->addAction(title);
        item->setProperty("tag", index);
        connect(item, &QAction::triggered, this, [this, target, index] {
            if (target.hasGone())
                warnDocumentGone();
            else
                printDocument(target.document(), index);
        });
        if (name == current || (!currentItem && index == 0))
            currentItem = item;
    }
    menu->addSeparator();
    QAction *settings = menu->addAction(rqs::localized(QStringLiteral("Edit Settings …")));
    VXPreferencesWindow *preferences = m_services ? m_services->preferences() : nullptr;
    settings->setEnabled(preferences != nullptr);
    connect(settings, &QAction::triggered, this, [this] {
        if (VXPreferencesWindow *preferences = m_services ? m_services->preferences() : nullptr)
            preferences->showWindow();
    });
    menu->popup(button ? button->mapToGlobal(QPoint(0, 0)) : QCursor::pos(), currentItem);
}

void VXPrintHelper::updatePrintButtons() { setPopupMarker(printersType() == PrinterTypeSeveralPrinters); }

void VXPrintHelper::setPopupMarker(bool shown)
{
    m_printButtons.removeAll(nullptr);
    for (const QPointer<QAbstractButton> &button : std::as_const(m_printButtons))
        setPopupMarker(button, shown);
}

void VXPrintHelper::setPopupMarker(QAbstractButton *button, bool shown) const { button->setIcon(shown ? m_popupIcon : QIcon()); }

platform::Window *VXPrintHelper::windowForSheet(const Target &target) const
{
    if (VXPrintableDocument *document = target.document())
        return document->windowForSheet();
    platform::Window *window = m_services ? m_services->factoryWindow() : nullptr;
    if (window && !window->isVisible())
        window->makeKeyAndOrderFront(nullptr);
    return window;
}

platform::PrintInfo *VXPrintHelper::printInfo(const Target &target) const
{
    if (VXPrintableDocument *document = target.document())
        return &document->printInfo();
    VXPrintFactory *factory = m_services ? m_services->factory() : nullptr;
    return factory ? &factory->printInfo() : nullptr;
}

void VXPrintHelper::printTarget(const Target &target, const QString &printerName, bool manual)
{
    VXPrintFactory *factory = m_services ? m_services->factory() : nullptr;
    VXPrintableDocument *document = target.document();
    if (target.hasGone())
        warnDocumentGone();
    else if (document && manual)
        document->printManualDuplexWithPrinter(printerName);
    else if (document)
        document->printAutomaticDuplex(printerName);
    else if (factory)
        factory->printOnPrinter(printerName, manual);
    else
        platform::logWarning(QStringLiteral("There is no document and no factory to print"));
}

bool VXPrintHelper::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        const auto *key = static_cast<QKeyEvent *>(event);
        // The Alt key's own press and release may not yet show in the modifiers they carry.
        const bool down = key->key() == Qt::Key_Alt ? event->type() == QEvent::KeyPress
                                                    : key->modifiers().testFlag(Qt::AltModifier);
        if (down != m_optionKeyDown) {
            m_optionKeyDown = down;
            if (down)
                setPopupMarker(true);
            else
                updatePrintButtons();
        }
    }
    return QObject::eventFilter(watched, event);
}
