#include "platform/fx/FilterRegistry.h"

#include "platform/foundation/Log.h"
#include "platform/fx/BuiltinFilters.h"

#include <QHash>
#include <QMutex>

namespace platform::fx {

namespace {

struct Entry
{
    FilterRegistry::Factory factory;
    QVariantMap classAttributes;
};

struct Registry
{
    QMutex lock;
    QHash<QString, Entry> entries;
};

// The built-ins go in when the registry is first used.
Registry &registry()
{
    static Registry *instance = [] {
        auto *made = new Registry;
        for (const auto &[name, factory] : BuiltinFilters::factories())
            made->entries.insert(name, {factory, {}});
        return made;
    }();
    return *instance;
}

} // namespace

void FilterRegistry::registerName(const QString &name, Factory factory, const QVariantMap &classAttributes)
{
    Registry &r = registry();
    const QMutexLocker locker(&r.lock);
    r.entries.insert(name, {std::move(factory), classAttributes});
}

std::unique_ptr<Filter> FilterRegistry::create(const QString &name)
{
    Factory factory;
    {
        Registry &r = registry();
        const QMutexLocker locker(&r.lock);
        const auto entry = r.entries.constFind(name);
        if (entry != r.entries.constEnd())
            factory = entry->factory;
    }
    if (!factory) {
        logWarning(QStringLiteral("There is no filter named %1").arg(name));
        return nullptr;
    }
    return factory();
}

QVariantMap FilterRegistry::classAttributes(const QString &name)
{
    Registry &r = registry();
    const QMutexLocker locker(&r.lock);
    return r.entries.value(name).classAttributes;
}

QStringList FilterRegistry::names()
{
    Registry &r = registry();
    const QMutexLocker locker(&r.lock);
    QStringList names = r.entries.keys();
    names.sort();
    return names;
}

} // namespace platform::fx
