#pragma once

#include "platform/fx/Filter.h"

#include <optional>

// The keys a filter has: its declared inputs and the properties its own class declares (switches
// such as the sRGB conversion's "toRGB" that are no inputs). Stored effect settings and recipe
// steps may set either; any other key is refused.
namespace rqs::filterKeys {

// The input of that key, or the property described as an input of its type (no default, no
// limits); nullopt for a key the filter lacks or a property of a type no setting can hold.
std::optional<platform::fx::InputAttribute> attribute(const platform::fx::Filter &filter, const QString &key);
// An input through the filter's setter, a property through key-value access. False with a
// "Warning: " line for a key the filter lacks or a value that does not fit.
bool setValue(platform::fx::Filter &filter, const QString &key, const QVariant &value);
// The input's value, or the property's.
QVariant value(const platform::fx::Filter &filter, const QString &key);

} // namespace rqs::filterKeys
