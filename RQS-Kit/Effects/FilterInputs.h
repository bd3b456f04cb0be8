#pragma once

#include "platform/fx/Filter.h"

// Short forms of the input declarations of the kit's filters.
namespace rqs::inputs {

using platform::fx::InputAttribute;

inline InputAttribute image(const QString &key)
{
    return {key, InputAttribute::Kind::Image, {}, {}, {}, {}, {}};
}

// Without limits; an invalid default leaves the input unset until it is given.
inline InputAttribute value(const QString &key, InputAttribute::Kind kind, const QVariant &defaultValue = {})
{
    return {key, kind, defaultValue, {}, {}, {}, {}};
}

inline InputAttribute bounded(const QString &key, double defaultValue, double minimum, double maximum)
{
    return {key, InputAttribute::Kind::Number, defaultValue, minimum, maximum, {}, {}};
}

inline InputAttribute slider(const QString &key, double defaultValue, double sliderMinimum, double sliderMaximum)
{
    return {key, InputAttribute::Kind::Number, defaultValue, {}, {}, sliderMinimum, sliderMaximum};
}

} // namespace rqs::inputs
