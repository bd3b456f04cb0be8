#include "platform/graphics/Arc.h"

namespace platform {

void appendArc(QPainterPath &path, const QPointF &center, double radius, double startDegrees, double endDegrees,
               bool clockwise)
{
    double sweep = endDegrees - startDegrees;
    if (clockwise) {
        while (sweep > 0)
            sweep -= 360;
    } else {
        while (sweep < 0)
            sweep += 360;
    }
    // Qt's angles turn the other way, as they are meant for a y-down space.
    const QRectF circle(center.x() - radius, center.y() - radius, 2 * radius, 2 * radius);
    if (path.elementCount() == 0)
        path.arcMoveTo(circle, -startDegrees);
    path.arcTo(circle, -startDegrees, -sweep);
}

} // namespace platform
