#include "platform/fx/Extent.h"
#include "platform/fx/Nodes.h"
#include "platform/fx/Parallel.h"
#include "platform/graphics/AlphaBlur.h"

#include <array>
#include <cmath>
#include <numeric>

namespace platform::fx {

namespace {

// Sums in double: float running sums drift over rows of thousands of pixels.
struct Sum
{
    std::array<double, 4> c{};
    void add(const Pixel &p) { c[0] += p.r, c[1] += p.g, c[2] += p.b, c[3] += p.a; }
    void subtract(const Pixel &p) { c[0] -= p.r, c[1] -= p.g, c[2] -= p.b, c[3] -= p.a; }
    Pixel scaled(double k) const { return {float(c[0] * k), float(c[1] * k), float(c[2] * k), float(c[3] * k)}; }
};

// One box pass along a row; outside the row counts as transparent.
void rowPass(const Pixel *in, Pixel *out, int count, int radius)
{
    const double weight = 1.0 / (2 * radius + 1);
    Sum sum;
    for (int i = 0; i < radius && i < count; ++i)
        sum.add(in[i]);
    for (int i = 0; i < count; ++i) {
        if (i + radius < count)
            sum.add(in[i + radius]);
        if (i - radius - 1 >= 0)
            sum.subtract(in[i - radius - 1]);
        out[i] = sum.scaled(weight);
    }
}

// One box pass down the columns [first, last) of the work rectangle, row by row so that memory
// is read in order.
void columnPass(const Buffer &in, Buffer &out, int first, int last, int radius)
{
    const QRect &work = in.rect();
    const double weight = 1.0 / (2 * radius + 1);
    std::vector<Sum> sums(std::size_t(last - first));
    auto addRow = [&](int y, bool add) {
        const Pixel *row = in.row(y) + work.left();
        for (int x = first; x < last; ++x)
            add ? sums[std::size_t(x - first)].add(row[x]) : sums[std::size_t(x - first)].subtract(row[x]);
    };
    for (int y = work.top(); y < work.top() + radius && y <= work.bottom(); ++y)
        addRow(y, true);
    for (int y = work.top(); y <= work.bottom(); ++y) {
        if (y + radius <= work.bottom())
            addRow(y + radius, true);
        if (y - radius - 1 >= work.top())
            addRow(y - radius - 1, false);
        Pixel *row = out.row(y) + work.left();
        for (int x = first; x < last; ++x)
            row[x] = sums[std::size_t(x - first)].scaled(weight);
    }
}

QRectF blurredExtent(const QRectF &extent, int reachX, int reachY)
{
    return Extent::isInfinite(extent) ? extent : extent.adjusted(-reachX, -reachY, reachX, reachY);
}

} // namespace

std::vector<int> BoxBlurNode::gaussianRadii(double sigma)
{
    if (!(sigma >= 0.5))
        return {};
    const std::array<int, 3> radii = platform::AlphaBlur::boxRadii(sigma);
    return {radii.begin(), radii.end()};
}

BoxBlurNode::BoxBlurNode(Input input, std::vector<int> radiiX, std::vector<int> radiiY)
    : Node(blurredExtent(input->extent(), std::accumulate(radiiX.begin(), radiiX.end(), 0),
                         std::accumulate(radiiY.begin(), radiiY.end(), 0)),
           {input})
    , m_radiiX(std::move(radiiX))
    , m_radiiY(std::move(radiiY))
    , m_reachX(std::accumulate(m_radiiX.begin(), m_radiiX.end(), 0))
    , m_reachY(std::accumulate(m_radiiY.begin(), m_radiiY.end(), 0))
{
}

QRect BoxBlurNode::regionOfInterest(std::size_t, const QRect &rect) const
{
    return rect.isEmpty() ? QRect() : rect.adjusted(-m_reachX, -m_reachY, m_reachX, m_reachY);
}

void BoxBlurNode::evaluate(Buffer &out, const std::vector<const Buffer *> &inputs) const
{
    // Work over the output grown by the reach, so every pixel of out sees all it depends on.
    const QRect work = regionOfInterest(0, out.rect());
    Buffer a(work), b(work);
    const int width = work.width(), height = work.height();
    forEachBand(height, [&](int begin, int end) {
        std::vector<Pixel> scratch(std::size_t(width) * 2);
        for (int y = work.top() + begin; y < work.top() + end; ++y) {
            Pixel *row = a.row(y) + work.left();
            for (int x = 0; x < width; ++x)
                row[x] = inputs[0]->at(work.left() + x, y);
            const Pixel *from = row;
            for (std::size_t pass = 0; pass < m_radiiX.size(); ++pass) {
                Pixel *to = scratch.data() + (pass % 2) * std::size_t(width);
                rowPass(from, to, width, m_radiiX[pass]);
                from = to;
            }
            if (from != row)
                std::copy_n(from, width, row);
        }
    });
    const Buffer *result = &a;
    for (int radius : m_radiiY) {
        Buffer &to = result == &a ? b : a;
        forEachBand(width, [&](int begin, int end) { columnPass(*result, to, begin, end, radius); });
        result = &to;
    }
    const QRect &rect = out.rect();
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        std::copy_n(result->row(y) + rect.left(), rect.width(), out.row(y) + rect.left());
}

} // namespace platform::fx
