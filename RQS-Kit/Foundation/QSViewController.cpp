#include "RQS-Kit/Foundation/QSViewController.h"

#include "RQS-Kit/Foundation/QSInterfaceTranslator.h"

QSViewController::QSViewController(QObject *parent)
    : QObject(parent)
{
}

void QSViewController::initWithNibName(const QString &nibName, const platform::BundlePtr &nibBundle)
{
    m_nib.initWithNibName(nibName, nibBundle);
}

void QSViewController::initWithCoder(const platform::KeyedArchive &coder)
{
    setView(coder.decodeObjectForKey(QStringLiteral("VCview")).value<QWidget *>());
    m_nib.initWithCoder(coder);
}

void QSViewController::encodeWithCoder(platform::KeyedArchive &coder) const
{
    coder.encodeObject(QVariant::fromValue<QObject *>(m_nib.root()), QStringLiteral("VCview"));
    m_nib.encodeWithCoder(coder);
}

void QSViewController::loadView()
{
    if (QWidget *loaded = m_nib.load(nibName(), QStringLiteral("%1 could not load view from %2 in %3")))
        QSInterfaceTranslator::translate(loaded);
}

bool QSViewController::isViewLoaded() const { return m_nib.root(); }

QString QSViewController::nibName() const
{
    const QString stored = m_nib.storedNibName();
    return stored.isEmpty() ? QSNibContents::unqualifiedName(*metaObject()) : stored;
}

void QSViewController::setNibName(const QString &nibName) { m_nib.setNibName(nibName); }

platform::BundlePtr QSViewController::nibBundle() const { return m_nib.nibBundle(); }

void QSViewController::setNibBundle(const platform::BundlePtr &nibBundle) { m_nib.setNibBundle(nibBundle); }

QWidget *QSViewController::view()
{
    if (!m_nib.root())
        loadView();
    return m_nib.root();
}

void QSViewController::setView(QWidget *view)
{
    m_nib.setRoot(view);
    if (!view)
        setTopLevelObjects({});
}

QList<QObject *> QSViewController::topLevelObjects() const { return m_nib.topLevelObjects(); }

void QSViewController::setTopLevelObjects(const QList<QObject *> &objects) { m_nib.setTopLevelObjects(objects); }
