#include "RQS-Kit/Foundation/QSViewController.h"

#include "RQS-Kit/Foundation/QSInterfaceTranslator.h"
#include "platform/InterfaceLoader.h"
#include "platform/Log.h"

namespace {

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

} // namespace

QSViewController::QSViewController(QObject *parent)
    : QObject(parent)
{
}

QSViewController::~QSViewController()
{
    setTopLevelObjects({});
    release(m_view);
}

void QSViewController::initWithNibName(const QString &nibName, const platform::BundlePtr &nibBundle)
{
    if (!nibName.isEmpty())
        setNibName(nibName);
    if (nibBundle)
        setNibBundle(nibBundle);
}

void QSViewController::initWithCoder(const platform::KeyedArchive &coder)
{
    setView(coder.decodeObjectForKey(QStringLiteral("VCview")).value<QWidget *>());
    setNibName(coder.decodeObjectForKey(QStringLiteral("VCnibName")).toString());
    const QString bundlePath = coder.decodeObjectForKey(QStringLiteral("VCnibBundle")).toString();
    platform::BundlePtr bundle;
    if (!bundlePath.isEmpty()) {
        bundle = platform::Bundle::bundleWithPath(bundlePath);
        if (!bundle)
            platform::logWarning(QStringLiteral("Interface bundle %1 of %2 is gone; the main bundle stands in")
                                     .arg(bundlePath, unqualified(metaObject()->className())));
    }
    setNibBundle(bundle);
    QList<QObject *> objects;
    for (const QVariant &object : coder.decodeObjectForKey(QStringLiteral("VCtopLevelObjects")).toList())
        objects.append(object.value<QObject *>());
    setTopLevelObjects(objects);
}

void QSViewController::encodeWithCoder(platform::KeyedArchive &coder) const
{
    coder.encodeObject(QVariant::fromValue<QObject *>(m_view), QStringLiteral("VCview"));
    coder.encodeObject(m_nibName.isEmpty() ? QVariant() : QVariant(m_nibName), QStringLiteral("VCnibName"));
    coder.encodeObject(m_nibBundle ? QVariant(m_nibBundle->bundlePath()) : QVariant(), QStringLiteral("VCnibBundle"));
    QVariantList objects;
    for (QObject *object : topLevelObjects())
        objects.append(QVariant::fromValue(object));
    coder.encodeObject(objects, QStringLiteral("VCtopLevelObjects"));
}

void QSViewController::loadView()
{
    const QString name = nibName();
    const platform::BundlePtr bundle = nibBundle();
    QWidget *root = platform::InterfaceLoader::load(name, this, bundle);
    setTopLevelObjects(root ? QList<QObject *>{root} : QList<QObject *>{});
    if (!m_view) {
        platform::logWarning(QStringLiteral("%1 could not load view from %2 in %3")
                                 .arg(unqualified(metaObject()->className()), bundle->bundlePath(), name));
        return;
    }
    QSInterfaceTranslator::translate(m_view);
    m_topLevelObjects.removeAll(m_view.data());
}

bool QSViewController::isViewLoaded() const { return m_view; }

QString QSViewController::nibName() const
{
    return m_nibName.isEmpty() ? unqualified(metaObject()->className()) : m_nibName;
}

void QSViewController::setNibName(const QString &nibName) { m_nibName = nibName; }

platform::BundlePtr QSViewController::nibBundle() const
{
    return m_nibBundle ? m_nibBundle : platform::Bundle::mainBundle();
}

void QSViewController::setNibBundle(const platform::BundlePtr &nibBundle) { m_nibBundle = nibBundle; }

QWidget *QSViewController::view()
{
    if (!m_view)
        loadView();
    return m_view;
}

void QSViewController::setView(QWidget *view)
{
    if (m_view != view)
        release(m_view);
    m_view = view;
    if (!view)
        setTopLevelObjects({});
}

QList<QObject *> QSViewController::topLevelObjects() const
{
    QList<QObject *> objects;
    for (const QPointer<QObject> &object : m_topLevelObjects) {
        if (object)
            objects.append(object);
    }
    return objects;
}

void QSViewController::setTopLevelObjects(const QList<QObject *> &objects)
{
    const QList<QObject *> previous = topLevelObjects();
    m_topLevelObjects.clear();
    for (QObject *object : objects)
        m_topLevelObjects.append(object);
    for (QObject *object : previous) {
        if (!objects.contains(object) && object != m_view)
            release(object);
    }
}
