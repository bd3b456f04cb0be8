#pragma once

#include <QString>

class QWidget;

namespace platform {

// Bounds an interface file's geometry and layout spacing are kept within once it is read, so that
// a damaged or hostile file makes no window Qt cannot paint (a side of 16,777,215 points) and no
// layout whose sums overflow (margins of 2^31 - 1 never settle). Designed windows stay far inside.
namespace InterfaceLimits {

// A side of a widget, or a coordinate, in points.
inline constexpr int MaxExtent = 8192;
// A layout's margin or spacing, in points.
inline constexpr int MaxSpacing = 1000;

// Keeps the geometry and least size of the root and the widgets under it, their layouts' margins
// and spacing, and the layouts' spacers within the bounds; a "Warning: " line names each object of
// the file that had to be kept in.
void apply(QWidget *root, const QString &file);

} // namespace InterfaceLimits

} // namespace platform
