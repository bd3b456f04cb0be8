#pragma once

#include "platform/fx/Image.h"

#include <QVariantMap>

namespace rqs {

// The output of a new filter of that name (built-in or kit class) with its defaults and the given
// inputs. Null when the name is unknown or an input is refused (both logged).
platform::fx::Image applyFilter(const QString &name, const QVariantMap &inputs);

inline QVariant imageValue(const platform::fx::Image &image) { return QVariant::fromValue(image); }

} // namespace rqs
