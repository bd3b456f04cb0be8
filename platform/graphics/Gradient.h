#pragma once

#include <QColor>
#include <QGradientStops>
#include <QList>
#include <QMetaType>
#include <QPainterPath>

namespace platform {

// Colours at locations from 0 to 1, spread over a shape when it is drawn. The stops are kept in
// the order of their locations.
class Gradient
{
public:
    // No stops: draws nothing.
    Gradient() = default;
    // Locations outside 0 to 1 are moved to the nearer end.
    explicit Gradient(QGradientStops stops);
    // Evenly spaced from location 0 to 1; one colour stands at both ends.
    explicit Gradient(const QList<QColor> &colors);

    const QGradientStops &stops() const;
    int numberOfColorStops() const;

    // Fills the path in the current graphics context, the gradient running across the path's
    // bounding box at the angle in degrees, counter-clockwise from the x axis of the y-up user
    // space: 90 puts the first colour at the bottom, 270 at the top. Nothing without stops; a
    // warning without a context.
    void drawInPath(const QPainterPath &path, double angle) const;
    // Fills the path with circles from the first colour at the centre out to the last colour at the
    // bounding box's farthest corner. The centre is relative to the box: (0, 0) its middle, (±1, ±1)
    // its corners, y up.
    void drawInPath(const QPainterPath &path, const QPointF &relativeCenterPosition) const;

    // The colour the gradient shows at the location, its components interpolated between the two
    // nearest stops; the end colours beyond the ends. An invalid colour, with a warning, without
    // stops.
    QColor interpolatedColorAtLocation(double location) const;

    friend bool operator==(const Gradient &, const Gradient &) = default;

private:
    void fill(const QPainterPath &path, QGradient &&gradient) const;

    QGradientStops m_stops;
};

} // namespace platform

Q_DECLARE_METATYPE(platform::Gradient)
