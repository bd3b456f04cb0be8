#include "platform/fx/Extent.h"

#include <algorithm>
#include <cmath>

namespace platform::fx::Extent {

namespace {
constexpr int half = 1 << 29;
}

QRectF infinite()
{
    return QRectF(infinitePixels());
}

QRect infinitePixels()
{
    return QRect(-half, -half, 2 * half, 2 * half);
}

bool isInfinite(const QRectF &extent)
{
    return extent.width() >= 2.0 * half || extent.height() >= 2.0 * half;
}

QRect pixelsTouching(const QRectF &extent)
{
    if (extent.isEmpty())
        return {};
    if (isInfinite(extent))
        return infinitePixels();
    const double left = std::max(std::floor(extent.left()), -double(half));
    const double bottom = std::max(std::floor(extent.top()), -double(half));
    const double right = std::min(std::ceil(extent.right()), double(half));
    const double top = std::min(std::ceil(extent.bottom()), double(half));
    // Written so that a NaN edge makes no pixels.
    if (!(right > left) || !(top > bottom))
        return {};
    return QRect(int(left), int(bottom), int(right - left), int(top - bottom));
}

QRect pixelsCentredIn(const QRectF &extent)
{
    if (extent.isEmpty())
        return {};
    if (isInfinite(extent))
        return infinitePixels();
    const double left = std::ceil(extent.left() - 0.5), right = std::ceil(extent.right() - 0.5);
    const double bottom = std::ceil(extent.top() - 0.5), top = std::ceil(extent.bottom() - 0.5);
    // Edges are clamped before they become ints: a huge extent is as good as an infinite one.
    const QRect limit = infinitePixels();
    const double x0 = std::clamp(left, double(limit.left()), double(limit.right()) + 1);
    const double x1 = std::clamp(right, double(limit.left()), double(limit.right()) + 1);
    const double y0 = std::clamp(bottom, double(limit.top()), double(limit.bottom()) + 1);
    const double y1 = std::clamp(top, double(limit.top()), double(limit.bottom()) + 1);
    // Written so that a NaN edge makes no pixels.
    if (!(x1 > x0) || !(y1 > y0))
        return {};
    return QRect(int(x0), int(y0), int(x1 - x0), int(y1 - y0));
}

QRect clampedInto(const QRect &rect, const QRect &into)
{
    if (rect.isEmpty() || into.isEmpty())
        return {};
    const int left = std::clamp(rect.left(), into.left(), into.right());
    const int right = std::clamp(rect.right(), into.left(), into.right());
    const int bottom = std::clamp(rect.top(), into.top(), into.bottom());
    const int top = std::clamp(rect.bottom(), into.top(), into.bottom());
    return QRect(QPoint(left, bottom), QPoint(right, top));
}

QRect withinPlane(qint64 left, qint64 bottom, qint64 width, qint64 height)
{
    if (width <= 0 || height <= 0)
        return {};
    const qint64 x0 = std::clamp<qint64>(left, -half, half), x1 = std::clamp<qint64>(left + width, -half, half);
    const qint64 y0 = std::clamp<qint64>(bottom, -half, half), y1 = std::clamp<qint64>(bottom + height, -half, half);
    if (x1 <= x0 || y1 <= y0)
        return {};
    return QRect(int(x0), int(y0), int(x1 - x0), int(y1 - y0));
}

} // namespace platform::fx::Extent
