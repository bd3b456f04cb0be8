#include "RQS-Kit/Foundation/QSWindowController.h"

#include "RQS-Kit/Foundation/QSInterfaceTranslator.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/MainQueue.h"
#include "platform/foundation/NotificationCenter.h"

#include <QPointer>

namespace {

const QString controlsTable = QStringLiteral("Controls");

bool hasStringsTable(const platform::Bundle &bundle, const QString &table)
{
    return !bundle.pathForResource(table, QStringLiteral("strings")).isEmpty()
        || !bundle.pathForResource(table, QStringLiteral("strings"), QStringLiteral("en.lproj")).isEmpty();
}

} // namespace

QSWindowController::QSWindowController(QObject *parent)
    : QObject(parent)
{
}

QSWindowController::~QSWindowController()
{
    platform::NotificationCenter::defaultCenter()->removeObserver(this);
}

void QSWindowController::initWithWindow(platform::Window *window) { setWindow(window); }

void QSWindowController::initWithNibName(const QString &nibName, const platform::BundlePtr &nibBundle)
{
    m_nib.initWithNibName(nibName, nibBundle);
}

void QSWindowController::initWithCoder(const platform::KeyedArchive &coder)
{
    setWindow(coder.decodeObjectForKey(QStringLiteral("WCwindow")).value<platform::Window *>());
    m_nib.initWithCoder(coder);
}

void QSWindowController::encodeWithCoder(platform::KeyedArchive &coder) const
{
    coder.encodeObject(QVariant::fromValue<QObject *>(m_nib.root()), QStringLiteral("WCwindow"));
    m_nib.encodeWithCoder(coder);
}

void QSWindowController::loadWindow()
{
    windowWillLoad();
    const QString name = nibName();
    QWidget *loaded = m_nib.load(name, QStringLiteral("%1 could not load window from %2 in %3.ui"));
    if (!loaded)
        return;
    const platform::BundlePtr main = platform::Bundle::mainBundle();
    if (!hasStringsTable(*main, controlsTable))
        platform::logWarning(QStringLiteral("No strings table \"%1\" in %2 for the title of %3")
                                 .arg(controlsTable, main->bundlePath(), name));
    QSInterfaceTranslator::translate(loaded);
    windowDidLoad();
}

void QSWindowController::unloadWindow()
{
    setWindow(nullptr);
    setTopLevelObjects({});
}

void QSWindowController::windowWillLoad() {}

void QSWindowController::windowDidLoad() {}

void QSWindowController::windowDidClose() {}

void QSWindowController::windowWillClose(const platform::Notification &)
{
    const QPointer<QSWindowController> self(this);
    platform::MainQueue::post([self] {
        if (self)
            self->windowDidClose();
    });
}

void QSWindowController::close(QObject *)
{
    if (platform::Window *loaded = loadedWindow())
        loaded->performClose();
}

void QSWindowController::showWindow(QObject *)
{
    if (platform::Window *shown = window())
        shown->makeKeyAndOrderFront(this);
}

void QSWindowController::forceCloseWindow(QObject *)
{
    if (platform::Window *closing = window())
        closing->closeUnconditionally();
}

bool QSWindowController::isVisible() const { return m_nib.root() && m_nib.root()->isVisible(); }

bool QSWindowController::isLoaded() const { return m_nib.root(); }

QString QSWindowController::nibName() const
{
    const QString stored = m_nib.storedNibName();
    if (!stored.isEmpty())
        return stored;
    const platform::BundlePtr bundle = nibBundle();
    for (const QMetaObject *meta = metaObject(); meta; meta = meta->superClass()) {
        const QString name = QSNibContents::unqualifiedName(*meta);
        if (meta == &staticMetaObject || !bundle->pathForResource(name, QStringLiteral("ui")).isEmpty())
            return name;
    }
    return QSNibContents::unqualifiedName(staticMetaObject);
}

void QSWindowController::setNibName(const QString &nibName) { m_nib.setNibName(nibName); }

platform::BundlePtr QSWindowController::nibBundle() const { return m_nib.nibBundle(); }

void QSWindowController::setNibBundle(const platform::BundlePtr &nibBundle) { m_nib.setNibBundle(nibBundle); }

platform::Window *QSWindowController::window()
{
    if (!m_nib.root())
        loadWindow();
    return loadedWindow();
}

void QSWindowController::setWindow(platform::Window *window)
{
    platform::NotificationCenter *center = platform::NotificationCenter::defaultCenter();
    if (QWidget *previous = m_nib.root())
        center->removeObserver(this, platform::Window::WillCloseNotification, previous);
    setTopLevelObjects({});
    m_nib.setRoot(window);
    if (window) {
        window->setWindowController(this);
        center->addObserver(this, platform::Window::WillCloseNotification, window,
                            [this](const platform::Notification &notification) { windowWillClose(notification); });
    }
}

void QSWindowController::setOwnWindow(platform::Window *window)
{
    m_nib.ownRoot([this, window] { setWindow(window); });
}

QList<QObject *> QSWindowController::topLevelObjects() const { return m_nib.topLevelObjects(); }

void QSWindowController::setTopLevelObjects(const QList<QObject *> &objects) { m_nib.setTopLevelObjects(objects); }

platform::Window *QSWindowController::loadedWindow() const { return static_cast<platform::Window *>(m_nib.root()); }
