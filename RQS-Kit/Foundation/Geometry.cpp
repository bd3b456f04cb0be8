#include "RQS-Kit/Foundation/Geometry.h"

#include <cmath>

namespace {
// A comparand that is not a number leaves the other value standing (std::fmax does exactly that).
double pairMax(double a, double b) { return std::fmax(a, b); }
} // namespace

QRectF QSExpandRect(const QRectF &rect, double distance)
{
    return QRectF(rect.x() - distance, rect.y() - distance, rect.width() + 2 * distance,
                  rect.height() + 2 * distance);
}

QRectF QSCenteredSquareInRect(const QRectF &rect)
{
    if (rect.width() > rect.height())
        return QRectF(rect.x() + (rect.width() - rect.height()) * 0.5, rect.y(), rect.height(), rect.height());
    return QRectF(rect.x(), rect.y() + (rect.height() - rect.width()) * 0.5, rect.width(), rect.width());
}

QRectF QSCenteredAspectRectInRect(const QRectF &rect, const QSizeF &size)
{
    double width = rect.width();
    double height = rect.height();
    if (rect.width() / rect.height() > size.width() / size.height())
        width = rect.height() / size.height() * size.width();
    else
        height = rect.width() / size.width() * size.height();
    return QRectF(rect.x() + (rect.width() - width) * 0.5, rect.y() + (rect.height() - height) * 0.5, width, height);
}

double QSPointDistanceFromRect(const QPointF &point, const QRectF &rect)
{
    const double dx = pairMax(pairMax(point.x() - (rect.x() + rect.width()), rect.x() - point.x()), 0.0);
    const double dy = pairMax(pairMax(point.y() - (rect.y() + rect.height()), rect.y() - point.y()), 0.0);
    return pairMax(dx, dy);
}

double QSRectMaxDifference(const QRectF &a, const QRectF &b)
{
    double result = pairMax(std::fabs(a.height() - b.height()), std::fabs(a.width() - b.width()));
    result = pairMax(result, std::fabs(a.y() - b.y()));
    return pairMax(result, std::fabs(a.x() - b.x()));
}

QPointF QSInterpolatePoints(const QPointF &a, const QPointF &b, double fraction)
{
    return QPointF(a.x() + fraction * (b.x() - a.x()), a.y() + fraction * (b.y() - a.y()));
}

QSVector3 QSMakeVector3(double x, double y, double z) { return QSVector3{x, y, z}; }

QPointF QSProjectVector3(const QSVector3 &p, double eyeDistance, double aspect)
{
    const double perspective = eyeDistance / (eyeDistance - p.z);
    return QPointF(p.x * perspective * 0.5 + 0.5, aspect * (p.y * perspective * 0.5) + 0.5);
}

QPointF QSUnprojectPointOnLine(const QPointF &point, double eyeDistance, double aspect, const QSVector3 &p,
                               const QSVector3 &q)
{
    // Solving (p + k q) * d / (d - (p.z + k q.z)) = u' for k puts d on the q.x term only; scaling the
    // q.z term by d as well would miss the line whenever q.z is not 0 and d is not 1.
    const double u = 2 * (point.x() - 0.5);
    const double v = 2 * (point.y() - 0.5) / aspect;
    const double kx = (u * (eyeDistance - p.z) - p.x * eyeDistance) / (u * q.z + q.x * eyeDistance);
    const double ky = (v * (eyeDistance - p.z) - p.y * eyeDistance) / (v * q.z + q.y * eyeDistance);
    return QPointF(kx * 0.5, ky * 0.5 * aspect);
}

QSVector3 QSTransformPlanePoint(const QSTransform3D &m, const QSVector3 &centre, double u, double v, double aspect)
{
    const double U = 2 * u;
    const double V = 2 * v / aspect;
    return QSVector3{m.m11 * U + m.m21 * V + 2 * (centre.x - 0.5) + m.m41,
                     m.m12 * U + m.m22 * V + 2 * (centre.y - 0.5) / aspect + m.m42,
                     m.m13 * U + m.m23 * V + 2 * centre.z + m.m43};
}

QSVector3 QSCombineTransformAxes(const QSTransform3D &m, double s, double t)
{
    return QSVector3{s * m.m11 + t * m.m21, s * m.m12 + t * m.m22, s * m.m13 + t * m.m23};
}

QPointF QSTransformVectorToPoint(const QSVector3 &p, const QSTransform3D &m, double scale)
{
    return QPointF(p.x * m.m11 + p.y * m.m21 + p.z * m.m31, (p.x * m.m12 + p.y * m.m22 + p.z * m.m32) * scale);
}
