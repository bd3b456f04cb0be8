#include "RQS-Kit/Foundation/QSNibContents.h"

#include "platform/foundation/GuardedPointers.h"
#include "platform/foundation/Log.h"
#include "platform/ui/InterfaceLoader.h"

#include <utility>

namespace {

// What a controller owns has no parent; anything with one belongs to that parent.
void release(QObject *object)
{
    if (object && !object->parent())
        object->deleteLater();
}

} // namespace

QSNibContents::QSNibContents(QObject *controller, const QString &keyPrefix)
    : m_controller(controller)
    , m_keyPrefix(keyPrefix)
{
}

QSNibContents::~QSNibContents()
{
    setTopLevelObjects({});
    if (m_ownsRoot)
        release(m_root);
}

QString QSNibContents::unqualifiedName(const QMetaObject &meta)
{
    const QString name = QString::fromLatin1(meta.className());
    return name.mid(name.lastIndexOf(QLatin1Char(':')) + 1);
}

QString QSNibContents::controllerName() const { return unqualifiedName(*m_controller->metaObject()); }

void QSNibContents::initWithNibName(const QString &nibName, const platform::BundlePtr &nibBundle)
{
    if (!nibName.isEmpty())
        setNibName(nibName);
    if (nibBundle)
        setNibBundle(nibBundle);
}

void QSNibContents::initWithCoder(const platform::KeyedArchive &coder)
{
    setNibName(coder.decodeObjectForKey(m_keyPrefix + QStringLiteral("nibName")).toString());
    const QString bundlePath = coder.decodeObjectForKey(m_keyPrefix + QStringLiteral("nibBundle")).toString();
    platform::BundlePtr bundle;
    if (!bundlePath.isEmpty()) {
        bundle = platform::Bundle::bundleWithPath(bundlePath);
        if (!bundle)
            platform::logWarning(QStringLiteral("Interface bundle %1 of %2 is gone; the main bundle stands in")
                                     .arg(bundlePath, controllerName()));
    }
    setNibBundle(bundle);
    QList<QObject *> objects;
    for (const QVariant &object : coder.decodeObjectForKey(m_keyPrefix + QStringLiteral("topLevelObjects")).toList())
        objects.append(object.value<QObject *>());
    setTopLevelObjects(objects);
}

void QSNibContents::encodeWithCoder(platform::KeyedArchive &coder) const
{
    coder.encodeObject(m_nibName.isEmpty() ? QVariant() : QVariant(m_nibName), m_keyPrefix + QStringLiteral("nibName"));
    coder.encodeObject(m_nibBundle ? QVariant(m_nibBundle->bundlePath()) : QVariant(),
                       m_keyPrefix + QStringLiteral("nibBundle"));
    QVariantList objects;
    for (QObject *object : topLevelObjects())
        objects.append(QVariant::fromValue(object));
    coder.encodeObject(objects, m_keyPrefix + QStringLiteral("topLevelObjects"));
}

QWidget *QSNibContents::load(const QString &nibName, const QString &failure)
{
    const platform::BundlePtr bundle = nibBundle();
    QWidget *loaded = nullptr;
    ownRoot([&] { loaded = platform::InterfaceLoader::load(nibName, m_controller, bundle); });
    setTopLevelObjects(loaded ? QList<QObject *>{loaded} : QList<QObject *>{});
    if (!m_root) {
        platform::logWarning(failure.arg(controllerName(), bundle->bundlePath(), nibName));
        return nullptr;
    }
    m_topLevelObjects.removeAll(m_root.data());
    return m_root;
}

QString QSNibContents::storedNibName() const { return m_nibName; }

void QSNibContents::setNibName(const QString &nibName) { m_nibName = nibName; }

platform::BundlePtr QSNibContents::nibBundle() const
{
    return m_nibBundle ? m_nibBundle : platform::Bundle::mainBundle();
}

void QSNibContents::setNibBundle(const platform::BundlePtr &nibBundle) { m_nibBundle = nibBundle; }

QWidget *QSNibContents::root() const { return m_root; }

void QSNibContents::setRoot(QWidget *root)
{
    if (m_root != root && m_ownsRoot)
        release(m_root);
    if (m_root != root || m_settingOwnRoot)
        m_ownsRoot = m_settingOwnRoot && root;
    m_root = root;
}

void QSNibContents::ownRoot(const std::function<void()> &set)
{
    const bool outer = std::exchange(m_settingOwnRoot, true);
    set();
    m_settingOwnRoot = outer;
}

QList<QObject *> QSNibContents::topLevelObjects() const { return platform::livePointers(m_topLevelObjects); }

void QSNibContents::setTopLevelObjects(const QList<QObject *> &objects)
{
    const QList<QObject *> previous = topLevelObjects();
    m_topLevelObjects = platform::guardedPointers(objects);
    for (QObject *object : previous) {
        if (!objects.contains(object) && object != m_root)
            release(object);
    }
}
