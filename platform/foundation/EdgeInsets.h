#pragma once

#include <QString>

namespace platform {

// How far each edge of a rectangle moves inwards (outwards when negative), in points.
struct EdgeInsets
{
    double top = 0;
    double left = 0;
    double bottom = 0;
    double right = 0;

    // The interface files' text "a b c d": blank-separated numbers read as bottom, left, top and
    // right, missing ones 0. A word that is no number reads 0 and numbers past the fourth are
    // dropped, each with a warning.
    static EdgeInsets fromString(const QString &text);

    friend bool operator==(const EdgeInsets &, const EdgeInsets &) = default;
};

} // namespace platform
