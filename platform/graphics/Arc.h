#pragma once

#include <QPainterPath>
#include <QPointF>

namespace platform {

// Appends a circular arc in y-up terms: angles in degrees counter-clockwise from the x axis, and
// a clockwise arc runs towards smaller angles. A line joins the path's current point to the arc's
// start; an empty path starts there.
void appendArc(QPainterPath &path, const QPointF &center, double radius, double startDegrees, double endDegrees,
               bool clockwise);

} // namespace platform
