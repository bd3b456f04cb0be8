#include "RQS-Kit/Effects/QSFilter.h"

#include "platform/foundation/KeyValue.h"
#include "platform/foundation/Log.h"
#include "platform/fx/Numbers.h"

#include <QHash>
#include <QMetaProperty>
#include <QMutex>

#include <cmath>

namespace {

struct Registry
{
    QMutex lock;
    QHash<QString, std::function<std::unique_ptr<QSFilter>()>> classes;
    QHash<QString, QStringList> inputKeys;
    QHash<QString, QStringList> copyKeyPaths;
};

Registry &registry()
{
    static Registry instance;
    return instance;
}

} // namespace

void QSFilter::registerClass(const QString &className, std::function<std::unique_ptr<QSFilter>()> factory,
                             const QVariantMap &classAttributes)
{
    {
        Registry &r = registry();
        const QMutexLocker locker(&r.lock);
        r.classes.insert(className, factory);
    }
    platform::fx::FilterRegistry::registerName(className, std::move(factory), classAttributes);
}

void QSFilter::registerKeys(const QMetaObject &meta, Registered kind, const QStringList &keys)
{
    if (&meta == &QSFilter::staticMetaObject)
        platform::logWarning(QStringLiteral("cannot determing class, please use [self registerForCopying:]"));
    Registry &r = registry();
    const QMutexLocker locker(&r.lock);
    (kind == Registered::InputKeys ? r.inputKeys : r.copyKeyPaths).insert(QString::fromLatin1(meta.className()), keys);
}

QStringList QSFilter::registered(Registered kind, const QString &className)
{
    Registry &r = registry();
    const QMutexLocker locker(&r.lock);
    return (kind == Registered::InputKeys ? r.inputKeys : r.copyKeyPaths).value(className);
}

std::unique_ptr<QSFilter> QSFilter::filterOfClass(const QString &className)
{
    std::function<std::unique_ptr<QSFilter>()> factory;
    {
        Registry &r = registry();
        const QMutexLocker locker(&r.lock);
        factory = r.classes.value(className);
    }
    if (!factory) {
        platform::logWarning(QStringLiteral("There is no filter class %1").arg(className));
        return nullptr;
    }
    return factory();
}

QStringList QSFilter::inputKeys() const
{
    const QStringList keys = registered(Registered::InputKeys, className());
    return keys.isEmpty() ? Filter::inputKeys() : keys;
}

std::unique_ptr<platform::fx::Filter> QSFilter::copy() const
{
    std::unique_ptr<Filter> made = Filter::copy();
    auto *self = const_cast<QSFilter *>(this);
    for (const QString &keyPath : registered(Registered::CopyKeyPaths, className())) {
        if (made)
            platform::KeyValue::setValue(made.get(), keyPath, platform::KeyValue::valueForKey(self, keyPath));
    }
    return made;
}

std::optional<platform::fx::Kernel> QSFilter::kernel() const
{
    const QMap<QString, platform::fx::Kernel> kernels = platform::fx::KernelLibrary::kernelsOf(className());
    if (kernels.isEmpty())
        return std::nullopt;
    if (kernels.size() > 1)
        platform::logWarning(
            QStringLiteral("requesting single Kernel, even though the filter '%1 has multiple kernel in a Dictionary (%2)")
                .arg(className(), kernels.keys().join(QStringLiteral(", "))));
    return kernels.last();
}

std::optional<platform::fx::Kernel> QSFilter::kernelWithName(const QString &name) const
{
    const QMap<QString, platform::fx::Kernel> kernels = platform::fx::KernelLibrary::kernelsOf(className());
    if (kernels.size() > 1) {
        const auto found = kernels.constFind(name);
        if (found != kernels.constEnd())
            return *found;
        platform::logWarning(QStringLiteral("Filter '%1' has no Kernel named '%2':\n%3")
                                 .arg(className(), name, kernels.keys().join(QStringLiteral(", "))));
        return std::nullopt;
    }
    platform::logWarning(
        QStringLiteral("requesting named Kernel '%1' even thought '%2' has only one Kernel").arg(name, className()));
    if (kernels.isEmpty())
        return std::nullopt;
    return kernels.first();
}

QRectF QSFilter::arrayForRect(const QRectF &rect)
{
    using platform::fx::Numbers::toInt;
    return QRectF(toInt(std::trunc(rect.x())), toInt(std::trunc(rect.y())), float(rect.width()), float(rect.height()));
}

platform::fx::Vector QSFilter::vectorForRect(const QRectF &rect)
{
    return {{rect.x(), rect.y(), rect.width(), rect.height()}, 4};
}

QVariant QSFilter::settingsForKey(const QString &key) const
{
    const QVariant settings = attributes().value(key);
    const auto source = m_choiceSources.constFind(key);
    if (source == m_choiceSources.cend())
        return settings;
    QVariantMap fresh = settings.toMap();
    const QStringList choices = (*source)();
    if (choices.isEmpty())
        fresh.remove(QStringLiteral("choices"));
    else
        fresh.insert(QStringLiteral("choices"), choices);
    return fresh;
}

void QSFilter::setChoicesSource(const QString &key, std::function<QStringList()> source)
{
    m_choiceSources.insert(key, std::move(source));
}

QVariant QSFilter::valueForKey(const QString &key)
{
    if (key == QLatin1String("outputImage") || Filter::inputKeys().contains(key))
        return Filter::valueForKey(key);
    return platform::KeyValue::propertyValue(this, key);
}

bool QSFilter::setValueForKey(const QString &key, const QVariant &value)
{
    if (Filter::inputKeys().contains(key))
        return Filter::setValueForKey(key, value);
    const int index = metaObject()->indexOfProperty(key.toLatin1().constData());
    const int type = index < 0 ? QMetaType::UnknownType : metaObject()->property(index).metaType().id();
    const bool unsignedType = type == QMetaType::UInt || type == QMetaType::ULongLong;
    const std::optional<QVariant> checked = platform::fx::Numbers::checked(
        value, [&] { return QStringLiteral("The property %1 of the filter %2").arg(key, name()); },
        unsignedType ? 0.0 : -platform::fx::Numbers::largest);
    return checked && platform::KeyValue::setPropertyValue(this, key, *checked);
}
