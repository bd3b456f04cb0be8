#include "platform/foundation/Log.h"
#include "platform/fx/Context.h"
#include "platform/fx/FxTestImages.h"
#include "platform/fx/Kernel.h"
#include "platform/fx/RenderGraph.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>

using namespace platform::fx;

namespace {

// A step that passes its input on and counts the pixels it computed; the first one asks the
// render to stop when stopAt is set.
Image counted(const Image &input, std::atomic<qint64> &pixels, std::stop_source *stopAt = nullptr)
{
    const Kernel pass(QStringLiteral("pass"), [&pixels, stopAt](const KernelInvocation &k) {
        if (pixels++ == 0 && stopAt)
            stopAt->request_stop();
        return k.sample(0, k.destCoord());
    });
    return pass.apply({input.extent(), {}}, {Sampler{input, Wrap::Transparent, Filtering::Nearest}});
}

} // namespace

// A render told to stop ends with no picture: the step under way leaves its bands not yet begun,
// and no later step runs. Told as it goes the share of its pixels computed, it ends at the whole.
TEST(RenderControl, AStoppedRenderEndsAtItsNextBandAndAFullOneReportsItsProgress)
{
    const QRect rect(0, 0, 64, 512);
    std::atomic<qint64> first{0}, second{0};
    std::stop_source stop;
    const Image image = counted(counted(fxtest::ramp(64, 512), first, &stop), second);
    platform::LogCapture log;
    RenderStats stats;
    EXPECT_FALSE(Context().render(image, rect, &stats, {stop.get_token(), {}}));
    EXPECT_LT(first.load(), 64 * 512) << "bands begun after the stop are left out";
    EXPECT_EQ(second.load(), 0);
    EXPECT_EQ(stats.nodes.size(), 1) << "only the picture itself was made";
    EXPECT_TRUE(log.contains("Info: The render of 64 × 512 pixels was stopped"));

    first = second = 0;
    std::vector<double> told;
    const std::optional<Buffer> pixels =
        Context().render(image, rect, nullptr, {std::stop_token(), [&](double share) { told.push_back(share); }});
    ASSERT_TRUE(pixels);
    EXPECT_EQ(second.load(), 64 * 512);
    ASSERT_EQ(told.size(), 3);
    EXPECT_TRUE(std::is_sorted(told.begin(), told.end()));
    EXPECT_DOUBLE_EQ(told.back(), 1.0);
}

// A recipe whose steps together compute more pixels than a render may is refused before any step
// runs, with the reason; so is a picture made in bands whose bands would add up to it.
TEST(RenderControl, ARenderComputingMoreThanItsBudgetIsRefusedBeforeItStarts)
{
    std::atomic<qint64> pixels{0};
    // 2^30 pixels is 16,384 × 65,536: four passes over a 16,384 × 16,384 picture compute all of it.
    Image image = Image::withColor({0, 0, 0, 1}).cropped(QRectF(0, 0, 16384, 16384));
    for (int i = 0; i < 5; ++i)
        image = counted(image, pixels);
    const QRect rect(0, 0, 16384, 16384);
    EXPECT_GT(RenderGraph::cost(*image.node(), rect).computedPixels, RenderGraph::maxComputedPixels);
    platform::LogCapture log;
    EXPECT_FALSE(Context().render(image, rect));
    EXPECT_TRUE(Context().createImage(image, QRectF(rect)).isNull());
    EXPECT_EQ(pixels.load(), 0);
    EXPECT_EQ(log.lines().filter(QRegularExpression("^Error: Rendering 16384 × 16384 pixels would (need|compute) ")).size(), 2)
        << log.lines().join('\n').toStdString();
    EXPECT_TRUE(Context::budgetRefusal(image, rect).endsWith("million pixels on its way, more than the 1073 million a render may compute"))
        << Context::budgetRefusal(image, rect).toStdString();
}
