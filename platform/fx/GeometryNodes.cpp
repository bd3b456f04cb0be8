#include "platform/fx/Bilinear.h"
#include "platform/fx/Extent.h"
#include "platform/fx/Nodes.h"
#include "platform/fx/Parallel.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace platform::fx {

namespace {

void copyRows(Buffer &out, const Buffer &in, const QRect &rect)
{
    const QRect common = rect & out.rect() & in.rect();
    forEachBand(common.height(), [&](int begin, int end) {
        for (int y = common.top() + begin; y < common.top() + end; ++y)
            std::memcpy(out.row(y) + common.left(), in.row(y) + common.left(), sizeof(Pixel) * std::size_t(common.width()));
    });
}

// Euclidean remainder, so that tiles repeat the same way left and right of the origin.
int wrap(int value, int origin, int period)
{
    const int offset = (value - origin) % period;
    return origin + (offset < 0 ? offset + period : offset);
}

// Qt declines to invert a scale below 1e-12 along one axis even where the other makes up for it,
// as what is left of a picture shrunk past the plane's width is.
QTransform inverseOf(const QTransform &transform)
{
    bool invertible = false;
    const QTransform inverse = transform.inverted(&invertible);
    return invertible ? inverse : transform.adjoint() / transform.determinant();
}

} // namespace

CropNode::CropNode(Input input, const QRectF &rect)
    : Node(input->extent() & rect, {input})
    , m_kept(Extent::pixelsCentredIn(rect))
{
}

QRect CropNode::regionOfInterest(std::size_t, const QRect &rect) const
{
    return rect & m_kept;
}

void CropNode::evaluate(Buffer &out, const std::vector<const Buffer *> &inputs) const
{
    copyRows(out, *inputs[0], m_kept);
}

TransformNode::TransformNode(Input input, const QTransform &transform)
    : Node(Extent::isInfinite(input->extent()) ? Extent::infinite() : transform.mapRect(input->extent()), {input})
    , m_inverse(inverseOf(transform))
{
}

QRect TransformNode::regionOfInterest(std::size_t, const QRect &rect) const
{
    if (rect.isEmpty())
        return {};
    return Extent::pixelsTouching(m_inverse.mapRect(QRectF(rect))).adjusted(-1, -1, 1, 1);
}

void TransformNode::evaluate(Buffer &out, const std::vector<const Buffer *> &inputs) const
{
    const Buffer &in = *inputs[0];
    const QRect &rect = out.rect();
    forEachBand(rect.height(), [&](int begin, int end) {
        for (int y = rect.top() + begin; y < rect.top() + end; ++y) {
            Pixel *row = out.row(y);
            for (int x = rect.left(); x <= rect.right(); ++x) {
                row[x] = bilinear(m_inverse.map(QPointF(x + 0.5, y + 0.5)) - QPointF(0.5, 0.5),
                                  [&in](int i, int j) { return in.at(i, j); });
            }
        }
    });
}

ReduceNode::ReduceNode(Input input, int factorX, int factorY)
    : Node(Extent::isInfinite(input->extent())
               ? Extent::infinite()
               : QTransform::fromScale(1.0 / factorX, 1.0 / factorY).mapRect(input->extent()),
           {input})
    , m_factorX(factorX)
    , m_factorY(factorY)
{
}

QRect ReduceNode::regionOfInterest(std::size_t, const QRect &rect) const
{
    // The whole plane halved asks for twice the plane.
    return Extent::withinPlane(qint64(rect.x()) * m_factorX, qint64(rect.y()) * m_factorY, qint64(rect.width()) * m_factorX,
                               qint64(rect.height()) * m_factorY);
}

void ReduceNode::evaluate(Buffer &out, const std::vector<const Buffer *> &inputs) const
{
    const Buffer &in = *inputs[0];
    const QRect &rect = out.rect();
    const float weight = 1.0f / float(m_factorX * m_factorY);
    forEachBand(rect.height(), [&](int begin, int end) {
        for (int y = rect.top() + begin; y < rect.top() + end; ++y) {
            Pixel *row = out.row(y);
            for (int x = rect.left(); x <= rect.right(); ++x) {
                Pixel sum;
                for (int j = 0; j < m_factorY; ++j)
                    for (int i = 0; i < m_factorX; ++i)
                        sum = sum + in.at(x * m_factorX + i, y * m_factorY + j);
                row[x] = sum * weight;
            }
        }
    });
}

ClampNode::ClampNode(Input input)
    : Node(Extent::infinite(), {input})
    , m_source(Extent::pixelsTouching(input->extent()))
{
}

QRect ClampNode::regionOfInterest(std::size_t, const QRect &rect) const
{
    return Extent::clampedInto(rect, m_source);
}

void ClampNode::evaluate(Buffer &out, const std::vector<const Buffer *> &inputs) const
{
    if (m_source.isEmpty())
        return;
    const Buffer &in = *inputs[0];
    const QRect &rect = out.rect();
    forEachBand(rect.height(), [&](int begin, int end) {
        for (int y = rect.top() + begin; y < rect.top() + end; ++y) {
            const int j = std::clamp(y, m_source.top(), m_source.bottom());
            Pixel *row = out.row(y);
            for (int x = rect.left(); x <= rect.right(); ++x)
                row[x] = in.at(std::clamp(x, m_source.left(), m_source.right()), j);
        }
    });
}

TileNode::TileNode(Input input)
    : Node(Extent::infinite(), {input})
    , m_tile(Extent::pixelsTouching(input->extent()))
{
}

QRect TileNode::regionOfInterest(std::size_t, const QRect &rect) const
{
    if (rect.isEmpty() || m_tile.isEmpty())
        return {};
    // Per axis: the wrapped span when it stays within one period, else the whole period.
    auto span = [](int first, int length, int origin, int period) -> std::pair<int, int> {
        const int start = wrap(first, origin, period);
        if (length >= period || start + length > origin + period)
            return {origin, period};
        return {start, length};
    };
    const auto [x, width] = span(rect.left(), rect.width(), m_tile.left(), m_tile.width());
    const auto [y, height] = span(rect.top(), rect.height(), m_tile.top(), m_tile.height());
    return QRect(x, y, width, height);
}

void TileNode::evaluate(Buffer &out, const std::vector<const Buffer *> &inputs) const
{
    if (m_tile.isEmpty())
        return;
    const Buffer &in = *inputs[0];
    const QRect &rect = out.rect();
    forEachBand(rect.height(), [&](int begin, int end) {
        for (int y = rect.top() + begin; y < rect.top() + end; ++y) {
            const int j = wrap(y, m_tile.top(), m_tile.height());
            Pixel *row = out.row(y);
            for (int x = rect.left(); x <= rect.right(); ++x)
                row[x] = in.at(wrap(x, m_tile.left(), m_tile.width()), j);
        }
    });
}

} // namespace platform::fx
