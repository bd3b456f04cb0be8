#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>

// Plain double-precision arithmetic on x, y, width and height: nothing here assumes Qt's y-down
// rectangles, so the results hold for the kit's y-up geometry. Divisions are not guarded; a zero
// divisor yields an infinity or not-a-number as IEEE arithmetic gives it.

struct QSVector3
{
    double x = 0;
    double y = 0;
    double z = 0;
};

// A 4 x 4 layer transform, row-major; the fourth row (m41, m42, m43) holds the translation.
struct QSTransform3D
{
    double m11 = 1, m12 = 0, m13 = 0, m14 = 0;
    double m21 = 0, m22 = 1, m23 = 0, m24 = 0;
    double m31 = 0, m32 = 0, m33 = 1, m34 = 0;
    double m41 = 0, m42 = 0, m43 = 0, m44 = 1;
};

// A negative distance shrinks the rectangle.
QRectF QSExpandRect(const QRectF &rect, double distance);
QRectF QSCenteredSquareInRect(const QRectF &rect);
// The largest rectangle of the proportions of size, centred in rect.
QRectF QSCenteredAspectRectInRect(const QRectF &rect, const QSizeF &size);
// 0 inside or on the edge, else the larger of the two axis distances to the rectangle.
double QSPointDistanceFromRect(const QPointF &point, const QRectF &rect);
// The largest difference of origin x, origin y, width or height.
double QSRectMaxDifference(const QRectF &a, const QRectF &b);
// fraction is not clamped: values outside 0..1 extrapolate.
QPointF QSInterpolatePoints(const QPointF &a, const QPointF &b, double fraction);

QSVector3 QSMakeVector3(double x, double y, double z);
// Perspective division by (eyeDistance - p.z), then -1..1 mapped to 0..1 with y scaled by aspect.
QPointF QSProjectVector3(const QSVector3 &p, double eyeDistance, double aspect);
// Inverse of QSProjectVector3 along the line p + k q, one axis at a time: x is half the k at which the
// line's x projects onto point.x, y half the k for point.y, scaled by aspect.
QPointF QSUnprojectPointOnLine(const QPointF &point, double eyeDistance, double aspect, const QSVector3 &p,
                               const QSVector3 &q);
QSVector3 QSTransformPlanePoint(const QSTransform3D &m, const QSVector3 &centre, double u, double v, double aspect);
// s times the transform's x axis plus t times its y axis.
QSVector3 QSCombineTransformAxes(const QSTransform3D &m, double s, double t);
QPointF QSTransformVectorToPoint(const QSVector3 &p, const QSTransform3D &m, double scale);
