#pragma once

#include "platform/graphics/Gradient.h"

#include <QString>

// Gradients by name: from a style kit (as ColorExtension.h looks colours up) or from their text,
// groups of five decimals "location red green blue alpha" separated by blanks, read and written
// with a point whatever the locale.
namespace rqs {

// The style kit's gradient of that name; without one, gradientWithString of the name.
platform::Gradient gradientWithName(const QString &name, const QString &styleKit);
// Fewer than five numbers give a plain fill of the colour they describe (QSColor); eight give a
// gradient between the colours of the first four and the last four; any other count that is no
// multiple of five is a warning, and the whole groups are read.
platform::Gradient gradientWithString(const QString &text);
// One group per stop, single blanks between the numbers and none at the end.
QString stringRepresentation(const platform::Gradient &gradient);

} // namespace rqs
