#include "app/shell/VXPreferencesController.h"

#include "app/booklet/VXPrinterDefaults.h"
#include "app/printing/VXPrintHelper.h"
#include "app/shell/VXManualDuplexController.h"
#include "RQS-Kit/Foundation/StringExtension.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/KeyValue.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UserDefaultsController.h"
#include "platform/printing/PrinterCache.h"
#include "platform/ui/InterfaceLoader.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QPixmap>

using platform::KeyValue::BindingDirection;

namespace {

VXPreferencesController *shared = nullptr;

// The controller's own keys that follow the shown printer.
const QStringList ownKeys{QStringLiteral("printerType"), QStringLiteral("didSetup"), QStringLiteral("rotateBacksides")};

platform::PrinterCache *printers() { return platform::PrinterCache::shared(); }

QString currentPrinterName() { return VXPrintHelper::sharedHelper()->currentPrinterName(); }

void setModifiers(QAction *item, Qt::KeyboardModifiers modifiers)
{
    if (item && !item->shortcut().isEmpty())
        item->setShortcut(QKeySequence(QKeyCombination(modifiers, item->shortcut()[0].key())));
}

} // namespace

VXPreferencesController::VXPreferencesController(QObject *parent)
    : QSWindowController(parent)
{
    if (!shared)
        shared = this;
    platform::InterfaceLoader::registerClass<VXDuplexAnimationView>(QStringLiteral("VXDuplexAnimationView"));
    qApp->installEventFilter(this);
    connect(printers(), &platform::PrinterCache::printersChanged, this, &VXPreferencesController::printersDidChange);
    printers()->whenLoaded(this, [this] {
        if (m_defaultPrinter.isEmpty())
            setDefaultPrinter(currentPrinterName());
    });
}

VXPreferencesController::~VXPreferencesController()
{
    if (shared == this)
        shared = nullptr;
}

VXPreferencesController *VXPreferencesController::sharedController() { return shared; }

void VXPreferencesController::showWindow() { showWindow(nullptr); }

void VXPreferencesController::windowDidLoad()
{
    QSWindowController::windowDidLoad();
    if (m_printerTypeButton) {
        m_printerTypeButton->clear();
        m_printerTypeButton->addItems(VXPrintHelper::printerTypeTitles());
    }
    // As large as all it may show, its picture at the size it is drawn for, before a printer that
    // is not there hides part of it.
    window()->adjustSize();
    printersDidChange();
    setDefaultPrinter(currentPrinterName());
    window()->closeWithEscapeAndCtrlW();
    platform::NotificationCenter::defaultCenter()->addObserver(this, platform::Window::DidBecomeKeyNotification, window(),
                                                               [this](const platform::Notification &) {
                                                                   if (m_animatedDuplexImageView)
                                                                       m_animatedDuplexImageView->startAnimation();
                                                               });
}

void VXPreferencesController::windowWillClose(const platform::Notification &)
{
    if (m_animatedDuplexImageView)
        m_animatedDuplexImageView->stopAnimation();
}

void VXPreferencesController::printersDidChange()
{
    const QStringList names = printers()->printerNames();
    if (m_printersButton) {
        const QSignalBlocker quiet(m_printersButton);
        m_printersButton->clear();
        m_printersButton->addItems(names);
    }
    if (names.contains(m_defaultPrinter))
        setDefaultPrinter(m_defaultPrinter);
    else if (printers()->isLoaded())
        setDefaultPrinter(currentPrinterName());
}

QString VXPreferencesController::defaultPrinter() const { return m_defaultPrinter; }

void VXPreferencesController::setDefaultPrinter(const QString &printerName)
{
    const QString known = VXPrinterDefaults::isPrinterName(printerName) ? printers()->printerNamed(printerName) : QString();
    m_defaultPrinter = known.isEmpty() ? printerName : known;
    if (m_printersButton) {
        const QSignalBlocker quiet(m_printersButton);
        m_printersButton->setCurrentIndex(m_printersButton->findText(m_defaultPrinter));
    }
    if (m_printerTypeButton)
        m_printerTypeButton->setVisible(!known.isEmpty());
    if (m_duplexTabView)
        m_duplexTabView->setVisible(!known.isEmpty());
    // The old printer's bindings go in every case, so that no edit reaches it any more.
    unbindAll();
    if (known.isEmpty())
        return;
    bindControl(m_printerTypeButton, QStringLiteral("currentIndex"), known, VXPrinterDefaults::PrinterTypeKey, true);
    bindControl(this, QStringLiteral("printerType"), known, VXPrinterDefaults::PrinterTypeKey, false);
    bindControl(m_duplexTabView, QStringLiteral("currentIndex"), known, VXPrinterDefaults::PrinterTypeKey, false);
    bindControl(this, QStringLiteral("didSetup"), known, VXPrinterDefaults::DidSetupKey, false);
    bindControl(m_facingCheckbox, QStringLiteral("checked"), known, VXPrinterDefaults::TurnSheetsKey, true);
    bindControl(m_rotateCheckbox, QStringLiteral("checked"), known, VXPrinterDefaults::RotateBacksidesKey, true);
    bindControl(m_reverseCheckbox, QStringLiteral("checked"), known, VXPrinterDefaults::RevertBacksidesKey, true);
    bindControl(m_rotateDuplexCheckbox, QStringLiteral("checked"), known, VXPrinterDefaults::RotateBacksidesKey, true);
    bindControl(this, QStringLiteral("rotateBacksides"), known, VXPrinterDefaults::RotateBacksidesKey, false);
}

void VXPreferencesController::bindControl(QObject *control, const QString &controlKey, const QString &printer, const QString &key, bool twoWay)
{
    if (!control)
        return;
    platform::KeyValue::bind(control, controlKey, platform::UserDefaultsController::sharedUserDefaultsController(),
                             QStringLiteral("values.") + VXPrinterDefaults::keyForPrinter(printer, key),
                             twoWay ? BindingDirection::TwoWay : BindingDirection::OneWay);
}

void VXPreferencesController::unbindAll()
{
    for (const QString &key : ownKeys)
        platform::KeyValue::unbind(this, key);
    for (QObject *control : {static_cast<QObject *>(m_printerTypeButton), static_cast<QObject *>(m_duplexTabView)}) {
        if (control)
            platform::KeyValue::unbind(control, QStringLiteral("currentIndex"));
    }
    for (QObject *control : {m_facingCheckbox, m_rotateCheckbox, m_reverseCheckbox, m_rotateDuplexCheckbox}) {
        if (control)
            platform::KeyValue::unbind(control, QStringLiteral("checked"));
    }
}

qint64 VXPreferencesController::printerType() const { return m_printerType; }

void VXPreferencesController::setPrinterType(qint64 type)
{
    m_printerType = type;
    if (type == VXPrintHelper::PrinterTypeAutomaticDuplex || type == VXPrintHelper::PrinterTypeManualDuplex) {
        m_plainShortcut = type;
        for (QWidget *window : QApplication::topLevelWidgets())
            applyPrintShortcuts(window);
    }
    emit printerTypeChanged();
    platform::NotificationCenter::defaultCenter()->post(VXPrintHelper::ChangedPrinterTypeNotification, this);
}

void VXPreferencesController::applyPrintShortcuts(QWidget *window) const
{
    if (m_plainShortcut == 0)
        return;
    const bool manual = m_plainShortcut == VXPrintHelper::PrinterTypeManualDuplex;
    for (QAction *item : window->findChildren<QAction *>()) {
        if (item->objectName() == QLatin1String("printItem"))
            setModifiers(item, manual ? Qt::ControlModifier | Qt::AltModifier : Qt::ControlModifier);
        else if (item->objectName() == QLatin1String("manualDuplexItem"))
            setModifiers(item, manual ? Qt::ControlModifier : Qt::ControlModifier | Qt::AltModifier);
    }
}

bool VXPreferencesController::eventFilter(QObject *watched, QEvent *event)
{
    // Windows opened later follow the printer's type as well.
    if (event->type() == QEvent::Show && m_plainShortcut != 0) {
        auto *widget = qobject_cast<QWidget *>(watched);
        if (widget && widget->isWindow())
            applyPrintShortcuts(widget);
    }
    return QSWindowController::eventFilter(watched, event);
}

bool VXPreferencesController::didSetup() const { return m_didSetup; }

void VXPreferencesController::setDidSetup(bool didSetup)
{
    m_didSetup = didSetup;
    if (m_didSetupImageView) {
        const QString image = didSetup ? QStringLiteral("ManualDuplex-Check") : QStringLiteral("ManualDuplex-Cross");
        m_didSetupImageView->setPixmap(QPixmap::fromImage(platform::Bundle::mainBundle()->imageNamed(image)));
    }
}

bool VXPreferencesController::rotateBacksides() const { return m_rotateBacksides; }

void VXPreferencesController::setRotateBacksides(bool rotate)
{
    m_rotateBacksides = rotate;
    emit rotateBacksidesChanged();
}

QString VXPreferencesController::correctSidedBinding() const
{
    return rqs::localized(m_rotateBacksides ? QStringLiteral("LongSidedBinding") : QStringLiteral("ShortSidedBinding"));
}

QString VXPreferencesController::wrongSidedBinding() const
{
    return rqs::localized(m_rotateBacksides ? QStringLiteral("ShortSidedBinding") : QStringLiteral("LongSidedBinding"));
}

QString VXPreferencesController::bindingTitle() const
{
    return rqs::localized(QStringLiteral("SidedBindingTitle")).replace(QLatin1String("%1"), correctSidedBinding());
}

QString VXPreferencesController::correctBindingText() const
{
    return rqs::localized(QStringLiteral("SidedBindingTextRight")).replace(QLatin1String("%1"), correctSidedBinding());
}

QString VXPreferencesController::wrongBindingText() const
{
    return rqs::localized(QStringLiteral("SidedBindingTextWrong")).replace(QLatin1String("%1"), wrongSidedBinding());
}

void VXPreferencesController::choosePrinter(QObject *sender)
{
    if (auto *button = qobject_cast<QComboBox *>(sender))
        setDefaultPrinter(button->currentText());
}

void VXPreferencesController::manualDuplexSetup(QObject *)
{
    // A name no printer has is not handed on: the wizard asks for a printer instead.
    VXManualDuplexController::sharedController()->open(printers()->printerNamed(m_defaultPrinter), {});
}
