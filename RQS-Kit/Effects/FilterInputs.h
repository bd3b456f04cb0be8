#pragma once

#include "platform/fx/Filter.h"

#include <optional>

// Short forms of the input descriptions the kit's filters declare.
namespace rqs::inputs {

using platform::fx::InputAttribute;

inline InputAttribute image(const QString &key)
{
    return {key, InputAttribute::Kind::Image, {}, {}, {}, {}, {}, {}};
}

// Without limits; an invalid default leaves the input unset until it is given.
inline InputAttribute value(const QString &key, InputAttribute::Kind kind, const QVariant &defaultValue = {})
{
    return {key, kind, defaultValue, {}, {}, {}, {}, {}};
}

inline InputAttribute bounded(const QString &key, double defaultValue, double minimum, double maximum)
{
    return {key, InputAttribute::Kind::Number, defaultValue, minimum, maximum, {}, {}, {}};
}

inline InputAttribute slider(const QString &key, double defaultValue, double sliderMinimum, double sliderMaximum)
{
    return {key, InputAttribute::Kind::Number, defaultValue, {}, {}, sliderMinimum, sliderMaximum, {}};
}

inline InputAttribute number(const QString &key, const QVariant &defaultValue = {}, std::optional<double> minimum = {},
                             std::optional<double> sliderMinimum = {}, std::optional<double> sliderMaximum = {})
{
    return {key, InputAttribute::Kind::Number, defaultValue, minimum, {}, sliderMinimum, sliderMaximum, {}};
}

inline InputAttribute flag(const QString &key, bool defaultValue)
{
    return {key, InputAttribute::Kind::Boolean, defaultValue, {}, {}, {}, {}, {}};
}

inline InputAttribute text(const QString &key, const QVariant &defaultValue = {}, const QStringList &choices = {})
{
    return {key, InputAttribute::Kind::String, defaultValue, {}, {}, {}, {}, choices};
}

inline InputAttribute vector(const QString &key, const platform::fx::Vector &defaultValue)
{
    return {key, InputAttribute::Kind::Vector, QVariant::fromValue(defaultValue), {}, {}, {}, {}, {}};
}

} // namespace rqs::inputs
