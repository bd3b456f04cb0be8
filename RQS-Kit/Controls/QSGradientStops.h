#pragma once

#include "platform/graphics/Gradient.h"

#include <QColor>
#include <QList>
#include <QVariantMap>

#include <optional>

// The colour stops a gradient picker edits: at most a hundred, locations rising from 0 to 1. The
// first and the last stop can be recoloured but never moved or removed. Main thread.
class QSGradientStops
{
public:
    static constexpr int maximumCount = 100;

    // White at 0, black at 1.
    QSGradientStops();

    int count() const;
    QColor color(int index) const;
    double location(int index) const;
    bool isInner(int index) const;

    platform::Gradient gradient() const;
    // The first hundred stops; false, with a warning, for fewer than two.
    bool setGradient(const platform::Gradient &gradient);

    // The new stop takes the colour the gradient shows there, so the look stays. Its index, or
    // nothing with a warning when the stops are full or the location is not inside 0..1.
    std::optional<int> add(double location);
    bool remove(int index);
    // Only an inner stop, and only strictly between its neighbours.
    bool move(int index, double location);
    bool setColor(int index, const QColor &color);

    // "Colors": one "red green blue alpha" text per stop; "Locations": one number per stop.
    QVariantMap description() const;
    // At least two stops, from 0 to 1, rising; otherwise false with a warning, the stops unchanged.
    bool loadDescription(const QVariantMap &description);

private:
    QList<QColor> m_colors;
    QList<double> m_locations;
};
