#pragma once

#include "platform/fx/Filter.h"

#include <QVariant>

#include <optional>

// Stored effect settings come from property lists and JSON, so colours and gradients arrive as
// text and every value is untrusted: these turn a stored value into what the filter input takes
// and back into what a property list can hold.
namespace rqs::effectValues {

// Nullopt, with a "Warning: " line naming the key, when the value does not fit the input's kind
// or holds a number that is not finite; numbers beyond platform::fx::Numbers::largest are kept to
// it, with a "Warning: " line.
std::optional<QVariant> forInput(const platform::fx::InputAttribute &input, const QVariant &value);
// Colours and gradients as their text; everything else as it is.
QVariant storable(const QVariant &value);
// A number from a property list (integers, reals, booleans); nullopt for anything else.
std::optional<double> number(const QVariant &value);

// The range a slider offers for a setting: "minValue" and "maxValue" of the settings entry, else
// the filter's slider range ("CIAttributeSliderMin", "CIAttributeSliderMax") for the input, else
// its limits ("CIAttributeMin", "CIAttributeMax"). An end that none of them gives is open.
struct Range
{
    std::optional<double> minimum, maximum;
};
Range controlRange(const QVariantMap &entry, const QVariantMap &inputAttributes);

} // namespace rqs::effectValues
