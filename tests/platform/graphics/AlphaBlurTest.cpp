#include "platform/graphics/AlphaBlur.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cmath>

using platform::AlphaBlur;

namespace {

// A mask opaque left of the edge column, transparent from it on.
QImage halfPlane(int width, int edge)
{
    QImage mask(width, 200, QImage::Format_Alpha8);
    for (int y = 0; y < mask.height(); ++y) {
        uchar *line = mask.scanLine(y);
        for (int x = 0; x < width; ++x)
            line[x] = x < edge ? 255 : 0;
    }
    return mask;
}

double gaussianTail(double deviations) { return 0.5 * std::erfc(deviations / std::sqrt(2.0)); }

} // namespace

TEST(AlphaBlur, SpreadsAnEdgeLikeAGaussian)
{
    const double sigma = 5;
    QImage mask = halfPlane(200, 100);
    AlphaBlur::blur(mask, sigma);
    const uchar *line = mask.constScanLine(100);
    // Distances from the edge (between columns 99 and 100) in deviations, and the share of the
    // opaque side that a Gaussian blur carries there.
    for (int x : {100, 103, 105, 110, 115}) {
        SCOPED_TRACE(x);
        const double expected = 255 * gaussianTail((x + 0.5 - 100) / sigma);
        EXPECT_NEAR(line[x], expected, 8);
        EXPECT_NEAR(line[x] + line[199 - x], 255, 3);
    }
    EXPECT_EQ(line[40], 255);
    EXPECT_EQ(line[160], 0);
}

TEST(AlphaBlur, LeavesSmallDeviationsAndOtherFormatsAlone)
{
    QImage mask = halfPlane(20, 10);
    const QImage before = mask;
    AlphaBlur::blur(mask, 0.2);
    EXPECT_EQ(mask, before);
    QImage colour(20, 20, QImage::Format_ARGB32);
    colour.fill(Qt::red);
    const QImage colourBefore = colour;
    AlphaBlur::blur(colour, 4);
    EXPECT_EQ(colour, colourBefore);
}
