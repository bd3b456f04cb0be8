#include "RQS-Kit/Effects/QSEffect.h"
#include "RQS-Kit/Effects/QSEffectChainEnd.h"
#include "platform/fx/Context.h"
#include "platform/fx/FxTestImages.h"
#include "platform/fx/RenderGraph.h"

#include <gtest/gtest.h>

#include <map>

using platform::fx::Image;
using platform::fx::RenderGraph;
using platform::fx::RenderStats;

namespace {

// n inverting effects one after the other; the picture goes in once they are joined.
Image throughInvertingChain(int n, const Image &picture)
{
    std::vector<std::unique_ptr<QSEffect>> effects;
    QSEffectChainEnd end;
    for (int i = 0; i < n; ++i)
        effects.push_back(QSEffect::withName(QStringLiteral("CIColorInvert")));
    for (int i = 0; i < n; ++i)
        effects[std::size_t(i)]->setSuccessor(i + 1 < n ? static_cast<QObject *>(effects[std::size_t(i) + 1].get()) : &end);
    effects.front()->setInputImage(picture);
    return end.image();
}

} // namespace

// The chain's end is rendered once, and that render computes each step once: 20 steps of a
// 40 × 30 picture are 20 × 1,200 pixels, twice what 10 compute, and at no time does it hold more
// than two of the pictures (a step's input and its result), whatever the chain's length.
TEST(EffectChain, ItsEndRendersEachStepOnceWithinOneBudget)
{
    const Image picture = fxtest::ramp(40, 30);
    const QRect rect(0, 0, 40, 30);
    const qint64 pictureBytes = 40 * 30 * qint64(sizeof(platform::fx::Pixel));
    std::map<int, qint64> computed;
    for (const int n : {10, 20}) {
        const Image output = throughInvertingChain(n, picture);
        ASSERT_FALSE(output.isNull());
        RenderStats stats;
        const std::optional<platform::fx::Buffer> pixels = platform::fx::Context().render(output, rect, &stats);
        ASSERT_TRUE(pixels);
        // An even number of inversions gives the picture back.
        EXPECT_TRUE(fxtest::near(pixels->at(7, 4), fxtest::rampPixel(7, 4)));
        int steps = 0;
        for (const RenderStats::Entry &node : stats.nodes) {
            computed[n] += node.pixels;
            steps += node.pixels == 1200 ? 1 : 0;
        }
        EXPECT_EQ(steps, n);
        const RenderGraph::Cost cost = RenderGraph::cost(*output.node(), rect);
        EXPECT_EQ(cost.computedPixels, computed[n]);
        EXPECT_EQ(cost.peakBytes, 2 * pictureBytes) << n;
    }
    EXPECT_EQ(computed[10], 10 * 1200);
    EXPECT_EQ(computed[20], 20 * 1200);
}
