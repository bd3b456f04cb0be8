#include "platform/graphics/AlphaBlur.h"

#include <QImage>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace platform {

namespace {

// One box blur along a run of count values, stride apart, through a scratch buffer.
void boxRun(uchar *values, int count, int stride, int radius, std::vector<int> &scratch)
{
    scratch.assign(std::size_t(count) + 1, 0);
    for (int i = 0; i < count; ++i)
        scratch[std::size_t(i) + 1] = scratch[std::size_t(i)] + values[i * stride];
    const int width = 2 * radius + 1;
    for (int i = 0; i < count; ++i) {
        const int from = std::max(0, i - radius);
        const int to = std::min(count, i + radius + 1);
        const int sum = scratch[std::size_t(to)] - scratch[std::size_t(from)];
        values[i * stride] = uchar((sum + width / 2) / width);
    }
}

} // namespace

void AlphaBlur::blur(QImage &mask, double sigma)
{
    if (!(sigma >= 0.5) || mask.format() != QImage::Format_Alpha8 || mask.isNull())
        return;
    const int width = mask.width();
    const int height = mask.height();
    // Wider, every value would round to nothing: the mask's area A spreads to a peak of at
    // most A / (2πσ²).
    sigma = std::min(sigma, std::max(std::hypot(width, height), std::sqrt(255.0 * width * height / M_PI)));
    const int stride = int(mask.bytesPerLine());
    uchar *bits = mask.bits();
    std::vector<int> scratch;
    for (int radius : boxRadii(sigma)) {
        if (radius <= 0)
            continue;
        for (int y = 0; y < height; ++y)
            boxRun(bits + std::ptrdiff_t(y) * stride, width, 1, radius, scratch);
        for (int x = 0; x < width; ++x)
            boxRun(bits + x, height, stride, radius, scratch);
    }
}

std::array<int, 3> AlphaBlur::boxRadii(double sigma)
{
    // Far beyond any picture's size, and small enough that every box width fits an int.
    constexpr double largest = 1 << 20;
    if (!(sigma > 0))
        return {};
    sigma = std::min(sigma, largest);
    const double ideal = std::sqrt(12 * sigma * sigma / 3 + 1);
    int lower = int(std::floor(ideal));
    if (lower % 2 == 0)
        --lower;
    const int upper = lower + 2;
    const double m = std::round((12 * sigma * sigma - 3.0 * lower * lower - 12.0 * lower - 9) / (-4.0 * lower - 4));
    std::array<int, 3> radii{};
    for (int i = 0; i < 3; ++i)
        radii[std::size_t(i)] = ((i < m ? lower : upper) - 1) / 2;
    return radii;
}

} // namespace platform
