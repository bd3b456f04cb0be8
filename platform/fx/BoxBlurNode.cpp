#include "platform/fx/Extent.h"
#include "platform/fx/Nodes.h"
#include "platform/fx/Parallel.h"
#include "platform/graphics/AlphaBlur.h"

#include <QThread>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <memory>
#include <numeric>

namespace platform::fx {

namespace {

// Wider boxes only spread the same mass thinner than a float can tell; keeps every sum of reaches
// far inside int.
constexpr int maxRadius = 1 << 20;
// Columns are blurred in strips of this many pixels, so a strip's rows stay in the cache.
constexpr int stripPixels = 16;
constexpr int stripFloats = stripPixels * 4;

std::vector<int> clampedRadii(std::vector<int> radii)
{
    for (int &radius : radii)
        radius = std::clamp(radius, 0, maxRadius);
    return radii;
}

int reach(const std::vector<int> &radii)
{
    return std::accumulate(radii.begin(), radii.end(), 0);
}

// One box pass along a row of pixels; outside the row counts as transparent. Running sums in
// float: over rows of thousands of pixels they drift by about 1e-6 of full scale, far below what
// eight bits show.
void rowPass(const float *__restrict in, float *__restrict out, int count, int radius)
{
    const float weight = 1.0f / float(2 * radius + 1);
    float sum[4] = {};
    for (int i = 0; i < radius && i < count; ++i)
        for (int c = 0; c < 4; ++c)
            sum[c] += in[4 * i + c];
    // Pixels entering the window only, then entering and leaving, then leaving only.
    const int both = std::min(radius + 1, count), leavingOnly = std::max(both, count - radius);
    for (int i = 0; i < both; ++i) {
        const bool entering = i + radius < count;
        for (int c = 0; c < 4; ++c) {
            sum[c] += entering ? in[4 * (i + radius) + c] : 0.0f;
            out[4 * i + c] = sum[c] * weight;
        }
    }
    for (int i = both; i < leavingOnly; ++i) {
        for (int c = 0; c < 4; ++c) {
            sum[c] += in[4 * (i + radius) + c] - in[4 * (i - radius - 1) + c];
            out[4 * i + c] = sum[c] * weight;
        }
    }
    for (int i = leavingOnly; i < count; ++i) {
        for (int c = 0; c < 4; ++c) {
            sum[c] -= in[4 * (i - radius - 1) + c];
            out[4 * i + c] = sum[c] * weight;
        }
    }
}

// Count floats of a strip, known when the strip is whole so that the loop vectorises fully.
template <bool Entering, bool Leaving, bool Writing, int Count>
__attribute__((always_inline)) inline void columnStep(float *__restrict sums, const float *__restrict entering,
                                                      const float *__restrict leaving, float *__restrict out,
                                                      int floats, float weight)
{
    const int count = Count > 0 ? Count : floats;
    for (int f = 0; f < count; ++f) {
        if constexpr (Entering)
            sums[f] += entering[f];
        if constexpr (Leaving)
            sums[f] -= leaving[f];
        if constexpr (Writing)
            out[f] = sums[f] * weight;
    }
}

// Rows of the intermediate picture: the margins above and below the output live apart, the rows
// the output covers are the output's own, which each strip overwrites only once it has read them.
struct Rows
{
    float *below, *middle, *above;
    int margin, height;
    std::ptrdiff_t stride;

    float *row(int r) const
    {
        return r < margin ? below + r * stride : r < margin + height ? middle + (r - margin) * stride
                                                                     : above + (r - margin - height) * stride;
    }
};

// One box pass down a strip of `floats` floats (at most stripFloats) over `rows` rows read
// through in (offset by column floats); rows [first, first + kept) go to out, outStride floats
// apart. Outside the rows counts as transparent. Compiled for each vector width; the loader picks
// the widest this processor has.
template <int Count>
__attribute__((always_inline)) inline void columnRun(const Rows &in, int column, float *out, std::ptrdiff_t outStride,
                                                     int rows, int first, int kept, int floats, int radius)
{
    const float weight = 1.0f / float(2 * radius + 1);
    alignas(64) float sums[stripFloats] = {};
    for (int y = 0; y < radius && y < rows; ++y)
        columnStep<true, false, false, Count>(sums, in.row(y) + column, nullptr, nullptr, floats, weight);
    for (int y = 0; y < rows; ++y) {
        const float *add = y + radius < rows ? in.row(y + radius) + column : nullptr;
        const float *drop = y - radius - 1 >= 0 ? in.row(y - radius - 1) + column : nullptr;
        float *to = y >= first && y < first + kept ? out + (y - first) * outStride : nullptr;
        if (add && drop)
            to ? columnStep<true, true, true, Count>(sums, add, drop, to, floats, weight)
               : columnStep<true, true, false, Count>(sums, add, drop, to, floats, weight);
        else if (add)
            to ? columnStep<true, false, true, Count>(sums, add, nullptr, to, floats, weight)
               : columnStep<true, false, false, Count>(sums, add, nullptr, to, floats, weight);
        else if (drop)
            to ? columnStep<false, true, true, Count>(sums, nullptr, drop, to, floats, weight)
               : columnStep<false, true, false, Count>(sums, nullptr, drop, to, floats, weight);
        else if (to)
            columnStep<false, false, true, Count>(sums, nullptr, nullptr, to, floats, weight);
    }
}

// One box pass down a strip of `floats` floats (at most stripFloats) over `rows` rows read
// through in (offset by column floats); rows [first, first + kept) go to out, outStride floats
// apart. Outside the rows counts as transparent. Compiled for each vector width; the loader picks
// the widest this processor has.
__attribute__((target_clones("avx2", "default"))) void columnPass(const Rows &in, int column, float *out,
                                                                  std::ptrdiff_t outStride, int rows, int first,
                                                                  int kept, int floats, int radius)
{
    if (floats == stripFloats)
        columnRun<stripFloats>(in, column, out, outStride, rows, first, kept, floats, radius);
    else
        columnRun<0>(in, column, out, outStride, rows, first, kept, floats, radius);
}

QRectF blurredExtent(const QRectF &extent, int reachX, int reachY)
{
    return Extent::isInfinite(extent) ? extent : extent.adjusted(-reachX, -reachY, reachX, reachY);
}

template <typename T>
std::unique_ptr<T[]> uninitialised(std::size_t count)
{
    return std::make_unique_for_overwrite<T[]>(count);
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
    : Node(blurredExtent(input->extent(), reach(clampedRadii(radiiX)), reach(clampedRadii(radiiY))), {input})
    , m_radiiX(clampedRadii(std::move(radiiX)))
    , m_radiiY(clampedRadii(std::move(radiiY)))
    , m_reachX(reach(m_radiiX))
    , m_reachY(reach(m_radiiY))
{
}

QRect BoxBlurNode::regionOfInterest(std::size_t, const QRect &rect) const
{
    return rect.isEmpty() ? QRect() : rect.adjusted(-m_reachX, -m_reachY, m_reachX, m_reachY);
}

qint64 BoxBlurNode::scratchBytes(const QRect &rect) const
{
    if (rect.isEmpty())
        return 0;
    const qint64 rows = qint64(rect.height()) + 2 * qint64(m_reachY);
    const qint64 line = qint64(rect.width()) + 2 * qint64(m_reachX);
    const qint64 perThread = 3 * line * qint64(sizeof(Pixel)) + 2 * rows * stripFloats * qint64(sizeof(float));
    return qint64(rect.width()) * 2 * m_reachY * qint64(sizeof(Pixel)) + QThread::idealThreadCount() * perThread;
}

// Along x over every row the output needs, keeping only the output's columns; then down those
// columns in strips. Pixels beyond the work rows only reach pixels outside the output.
void BoxBlurNode::evaluate(Buffer &out, const std::vector<const Buffer *> &inputs) const
{
    const Buffer &in = *inputs[0];
    const QRect &rect = out.rect();
    const int width = rect.width();
    const int rows = rect.height() + 2 * m_reachY;
    const int top = rect.top() - m_reachY;
    const int lineLeft = rect.left() - m_reachX, lineWidth = width + 2 * m_reachX;
    const std::ptrdiff_t stride = std::ptrdiff_t(width) * 4;
    const auto margins = uninitialised<float>(std::size_t(stride) * std::size_t(2 * m_reachY));
    const Rows across{margins.get(), reinterpret_cast<float *>(out.row(rect.top()) + rect.left()),
                      margins.get() + stride * m_reachY, m_reachY, rect.height(), stride};

    const QRect source = in.rect();
    const int copyLeft = std::max(lineLeft, source.left()), copyRight = std::min(lineLeft + lineWidth, source.right() + 1);
    forEachBand(rows, [&](int begin, int end) {
        const auto line = uninitialised<float>(std::size_t(lineWidth) * 4 * 3);
        for (int r = begin; r < end; ++r) {
            float *target = across.row(r);
            const int y = top + r;
            if (y < source.top() || y > source.bottom() || copyLeft >= copyRight) {
                std::fill_n(target, stride, 0.0f);
                continue;
            }
            float *from = line.get();
            std::fill_n(from, std::size_t(lineWidth) * 4, 0.0f);
            std::memcpy(from + 4 * (copyLeft - lineLeft), in.row(y) + copyLeft, sizeof(Pixel) * std::size_t(copyRight - copyLeft));
            for (std::size_t pass = 0; pass < m_radiiX.size(); ++pass) {
                float *to = line.get() + std::size_t(lineWidth) * 4 * (1 + pass % 2);
                rowPass(from, to, lineWidth, m_radiiX[pass]);
                from = to;
            }
            std::memcpy(target, from + 4 * m_reachX, sizeof(float) * std::size_t(stride));
        }
    });
    if (m_radiiY.empty())
        return;

    const int strips = (width + stripPixels - 1) / stripPixels;
    forEachBand(strips, [&](int begin, int end) {
        const auto spare = uninitialised<float>(std::size_t(rows) * stripFloats * 2);
        const Rows first{spare.get(), spare.get(), spare.get(), 0, rows, stripFloats};
        const Rows second{spare.get() + std::size_t(rows) * stripFloats, spare.get() + std::size_t(rows) * stripFloats,
                          spare.get() + std::size_t(rows) * stripFloats, 0, rows, stripFloats};
        for (int strip = begin; strip < end; ++strip) {
            const int x = strip * stripPixels;
            const int floats = 4 * std::min(stripPixels, width - x);
            float *result = across.middle + 4 * x;
            // The first pass reads the shared rows into the strip's own; the output is written
            // only by a later pass, or copied at the end.
            const Rows *from = &across;
            int column = 4 * x;
            for (std::size_t pass = 0; pass < m_radiiY.size(); ++pass) {
                const bool last = pass + 1 == m_radiiY.size() && pass > 0;
                const Rows *to = pass % 2 == 0 ? &first : &second;
                columnPass(*from, column, last ? result : to->middle, last ? stride : stripFloats, rows,
                           last ? m_reachY : 0, last ? rect.height() : rows, floats, m_radiiY[pass]);
                from = to;
                column = 0;
            }
            if (m_radiiY.size() == 1) {
                for (int r = 0; r < rect.height(); ++r)
                    std::memcpy(result + r * stride, first.middle + (r + m_reachY) * stripFloats, sizeof(float) * std::size_t(floats));
            }
        }
    });
}

} // namespace platform::fx
