#pragma once

#include <QCursor>
#include <QPolygonF>

// A 16 × 16 cursor drawn from an outline given y-up in that box, turned counter-clockwise by the
// angle about (8, 8), stroked white and filled black so that it shows on any background; hot spot
// (8, 8).
QCursor QSRotatedCursor(const QPolygonF &outline, double degrees);
