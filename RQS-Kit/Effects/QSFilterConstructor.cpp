#include "RQS-Kit/Effects/QSFilterConstructor.h"

#include "RQS-Kit/Effects/QSFilter.h"
#include "platform/foundation/Log.h"
#include "platform/fx/FilterRegistry.h"

namespace {

const QString ClassKey = QStringLiteral("CIFilterClass");

} // namespace

QSFilterConstructor &QSFilterConstructor::sharedFilterConstructor()
{
    static QSFilterConstructor shared;
    return shared;
}

void QSFilterConstructor::registerFilterInDescription(const QVariantMap &description)
{
    const QVariantMap list = description.value(QStringLiteral("CIPlugInFilterList")).toMap();
    for (auto entry = list.constBegin(); entry != list.constEnd(); ++entry) {
        const QString className = entry->toMap().value(ClassKey).toString();
        if (entry->typeId() != QMetaType::QVariantMap || className.isEmpty()) {
            platform::logWarning(QStringLiteral("The filter description of %1 names no filter class").arg(entry.key()));
            continue;
        }
        {
            const QMutexLocker locker(&m_lock);
            m_filterDescriptions.insert(entry.key(), *entry);
        }
        for (const QString &name : {className, entry.key()})
            platform::fx::FilterRegistry::registerName(name, [this, name] { return filterWithName(name); });
    }
}

QVariantMap QSFilterConstructor::descriptionForClassName(const QString &className) const
{
    const QMutexLocker locker(&m_lock);
    for (const QVariant &description : m_filterDescriptions) {
        if (description.toMap().value(ClassKey).toString() == className)
            return description.toMap();
    }
    return {};
}

std::unique_ptr<platform::fx::Filter> QSFilterConstructor::filterWithName(const QString &name) const
{
    QVariantMap description;
    {
        const QMutexLocker locker(&m_lock);
        description = m_filterDescriptions.value(name).toMap();
    }
    if (description.isEmpty())
        description = descriptionForClassName(name);
    if (description.isEmpty()) {
        platform::logWarning(QStringLiteral("No filter description names %1").arg(name));
        return nullptr;
    }
    return QSFilter::filterOfClass(description.value(ClassKey).toString());
}
