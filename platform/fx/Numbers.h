#pragma once

#include <QString>
#include <QVariant>

#include <functional>
#include <optional>

// Numbers that stored settings and recipes give are untrusted, and become pixel positions and
// counts on their way: they are checked where they are read, and doubles that pixel arithmetic
// makes become ints through one conversion.
namespace platform::fx::Numbers {

// The largest magnitude a number read keeps: the side of the engine's plane (see Extent). No
// position, length or factor beyond it means anything to a picture, and sums and products of a
// few such numbers stay far within a double.
constexpr double largest = double(1 << 30);

// What was read, for the warnings: "The input inputRadius of the filter CIGaussianBlur".
using What = std::function<QString()>;

// nullopt for NaN or an infinity; beyond ±largest, kept to it. Either with a "Warning: " line.
std::optional<double> checked(double value, const What &what);
// The same for every number a value holds (a number, vector, transform, rectangle or colour),
// the value keeping its type; one that is not finite refuses the whole value. Values without
// numbers pass as they are. Numbers for an unsigned property give 0 as their lowest.
std::optional<QVariant> checked(const QVariant &value, const What &what, double lowest = -largest);

// A double that pixel arithmetic made, as an int: NaN gives 0, and beyond ±2^30 it stops there,
// past the plane's edge, where every pixel reads as none and a neighbour's index still fits.
int toInt(double value);

} // namespace platform::fx::Numbers
