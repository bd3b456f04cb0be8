#pragma once

#include "platform/fx/Filter.h"

#include <QVariantMap>

#include <functional>
#include <memory>

namespace platform::fx {

// Filters by name: the built-ins and the kit's registered classes. Filled under a lock, so that
// filters can be made on any thread.
class FilterRegistry
{
public:
    using Factory = std::function<std::unique_ptr<Filter>()>;

    // A later registration of the same name replaces the earlier one.
    static void registerName(const QString &name, Factory factory, const QVariantMap &classAttributes = {});
    // A new filter; null with a "Warning: " line for a name nobody registered.
    static std::unique_ptr<Filter> create(const QString &name);
    // Empty for an unknown name.
    static QVariantMap classAttributes(const QString &name);
    // Every name registered, sorted.
    static QStringList names();
};

} // namespace platform::fx
