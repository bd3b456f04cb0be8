#include "RQS-Kit/Foundation/QSWindowController.h"

#include "RQS-Kit/Foundation/StringExtension.h"
#include "RQS-Kit/Foundation/QSInterfaceTranslator.h"
#include "platform/InterfaceLoader.h"
#include "platform/Log.h"
#include "platform/MainQueue.h"
#include "platform/NotificationCenter.h"

namespace {

const QString controlsTable = QStringLiteral("Controls");

QString unqualified(const char *className)
{
    const QString name = QString::fromLatin1(className);
    return name.mid(name.lastIndexOf(QLatin1Char(':')) + 1);
}

// What a controller owns has no parent; anything with one belongs to that parent.
void release(QObject *object)
{
    if (object && !object->parent())
        object->deleteLater();
}

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
    setTopLevelObjects({});
    release(m_window);
}

void QSWindowController::initWithWindow(platform::Window *window) { setWindow(window); }

void QSWindowController::initWithNibName(const QString &nibName, const platform::BundlePtr &nibBundle)
{
    if (!nibName.isEmpty())
        setNibName(nibName);
    if (nibBundle)
        setNibBundle(nibBundle);
}

void QSWindowController::initWithCoder(const platform::KeyedArchive &coder)
{
    setWindow(coder.decodeObjectForKey(QStringLiteral("WCwindow")).value<platform::Window *>());
    setNibName(coder.decodeObjectForKey(QStringLiteral("WCnibName")).toString());
    const QString bundlePath = coder.decodeObjectForKey(QStringLiteral("WCnibBundle")).toString();
    platform::BundlePtr bundle;
    if (!bundlePath.isEmpty()) {
        bundle = platform::Bundle::bundleWithPath(bundlePath);
        if (!bundle)
            platform::logWarning(QStringLiteral("Interface bundle %1 of %2 is gone; the main bundle stands in")
                                     .arg(bundlePath, unqualified(metaObject()->className())));
    }
    setNibBundle(bundle);
    QList<QObject *> objects;
    for (const QVariant &object : coder.decodeObjectForKey(QStringLiteral("WCtopLevelObjects")).toList())
        objects.append(object.value<QObject *>());
    setTopLevelObjects(objects);
}

void QSWindowController::encodeWithCoder(platform::KeyedArchive &coder) const
{
    coder.encodeObject(QVariant::fromValue<QObject *>(m_window), QStringLiteral("WCwindow"));
    coder.encodeObject(m_nibName.isEmpty() ? QVariant() : QVariant(m_nibName), QStringLiteral("WCnibName"));
    coder.encodeObject(m_nibBundle ? QVariant(m_nibBundle->bundlePath()) : QVariant(), QStringLiteral("WCnibBundle"));
    QVariantList objects;
    for (QObject *object : topLevelObjects())
        objects.append(QVariant::fromValue(object));
    coder.encodeObject(objects, QStringLiteral("WCtopLevelObjects"));
}

void QSWindowController::loadWindow()
{
    windowWillLoad();
    const QString name = nibName();
    const platform::BundlePtr bundle = nibBundle();
    QWidget *root = platform::InterfaceLoader::load(name, this, bundle);
    setTopLevelObjects(root ? QList<QObject *>{root} : QList<QObject *>{});
    if (!m_window) {
        platform::logWarning(QStringLiteral("%1 could not load window from %2 in %3.ui")
                                 .arg(unqualified(metaObject()->className()), bundle->bundlePath(), name));
        return;
    }
    const platform::BundlePtr main = platform::Bundle::mainBundle();
    if (!hasStringsTable(*main, controlsTable))
        platform::logWarning(QStringLiteral("No strings table \"%1\" in %2 for the title of %3")
                                 .arg(controlsTable, main->bundlePath(), name));
    QSInterfaceTranslator::translate(m_window);
    m_topLevelObjects.removeAll(m_window.data());
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
    if (m_window)
        m_window->close();
}

void QSWindowController::showWindow(QObject *)
{
    if (platform::Window *shown = window())
        shown->makeKeyAndOrderFront(this);
}

void QSWindowController::forceCloseWindow(QObject *)
{
    if (platform::Window *closing = window())
        closing->close();
}

bool QSWindowController::isVisible() const { return m_window && m_window->isVisible(); }

bool QSWindowController::isLoaded() const { return m_window; }

QString QSWindowController::nibName() const
{
    if (!m_nibName.isEmpty())
        return m_nibName;
    const platform::BundlePtr bundle = nibBundle();
    for (const QMetaObject *meta = metaObject(); meta; meta = meta->superClass()) {
        const QString name = unqualified(meta->className());
        if (meta == &staticMetaObject || !bundle->pathForResource(name, QStringLiteral("ui")).isEmpty())
            return name;
    }
    return unqualified(staticMetaObject.className());
}

void QSWindowController::setNibName(const QString &nibName) { m_nibName = nibName; }

platform::BundlePtr QSWindowController::nibBundle() const
{
    return m_nibBundle ? m_nibBundle : platform::Bundle::mainBundle();
}

void QSWindowController::setNibBundle(const platform::BundlePtr &nibBundle) { m_nibBundle = nibBundle; }

platform::Window *QSWindowController::window()
{
    if (!m_window)
        loadWindow();
    return m_window;
}

void QSWindowController::setWindow(platform::Window *window)
{
    platform::NotificationCenter *center = platform::NotificationCenter::defaultCenter();
    if (m_window)
        center->removeObserver(this, platform::Window::WillCloseNotification, m_window);
    setTopLevelObjects({});
    if (m_window != window)
        release(m_window);
    m_window = window;
    if (window) {
        center->addObserver(this, platform::Window::WillCloseNotification, window,
                            [this](const platform::Notification &notification) { windowWillClose(notification); });
    }
}

QList<QObject *> QSWindowController::topLevelObjects() const
{
    QList<QObject *> objects;
    for (const QPointer<QObject> &object : m_topLevelObjects) {
        if (object)
            objects.append(object);
    }
    return objects;
}

void QSWindowController::setTopLevelObjects(const QList<QObject *> &objects)
{
    const QList<QObject *> previous = topLevelObjects();
    m_topLevelObjects.clear();
    for (QObject *object : objects)
        m_topLevelObjects.append(object);
    for (QObject *object : previous) {
        if (!objects.contains(object) && object != m_window)
            release(object);
    }
}
