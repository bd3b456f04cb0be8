#pragma once

#include <QPointF>
#include <QString>

namespace platform {
class Layer;
}

namespace rqs {

// A new layer of the layer's own class (of its nearest class that can be made by name) with its
// contents, or the picture of a QSCIImageLayer, and its geometry and appearance. Sublayers and
// the mask are not copied; the caller owns the copy.
platform::Layer *duplicate(const platform::Layer &layer);
// Anchor, bounds, position, z position, contents gravity and rectangle, shadow colour, offset and
// radius, transforms, opacity, border and corner radius, from one layer onto another.
void copyGeometryAndAppearance(const platform::Layer &from, platform::Layer &to);
// 0 where the layer (with its sublayers) leaves the point in its own space fully transparent,
// 1 where it covers it.
double transparencyAt(platform::Layer &layer, const QPointF &point);
// The layer's description with its frame and contents rectangle.
QString fullDescription(const platform::Layer &layer);

} // namespace rqs
