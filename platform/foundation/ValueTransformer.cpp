#include "platform/foundation/ValueTransformer.h"

#include "platform/foundation/Log.h"

#include <QHash>
#include <QMutex>
#include <QMutexLocker>

namespace platform {

namespace {
struct Entry
{
    ValueTransformer::Factory factory;
    ValueTransformerPtr instance;
};

struct Registry
{
    QMutex mutex;
    QHash<QString, Entry> entries;
};

Registry &registry()
{
    static Registry instance;
    return instance;
}
} // namespace

void ValueTransformer::registerTransformer(const QString &name, Factory factory)
{
    if (!factory) {
        logWarning(QStringLiteral("No factory given for the value transformer \"%1\"").arg(name));
        return;
    }
    Registry &r = registry();
    QMutexLocker locker(&r.mutex);
    r.entries.insert(name, Entry{std::move(factory), nullptr});
}

ValueTransformerPtr ValueTransformer::valueTransformerForName(const QString &name)
{
    Registry &r = registry();
    QMutexLocker locker(&r.mutex);
    const auto found = r.entries.find(name);
    if (found == r.entries.end()) {
        locker.unlock();
        logWarning(QStringLiteral("No value transformer is registered under the name \"%1\"").arg(name));
        return nullptr;
    }
    if (!found->instance)
        found->instance = found->factory();
    return found->instance;
}

} // namespace platform
