#include "platform/foundation/Log.h"
#include "platform/fx/Context.h"
#include "platform/fx/FxTestImages.h"
#include "platform/fx/Kernel.h"
#include "platform/fx/PictureRenderer.h"
#include "platform/fx/RenderGraph.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

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

// A square of one colour passed on through as many counting steps.
Image countedSteps(const Color &colour, int side, int steps, std::atomic<qint64> &pixels)
{
    Image image = Image::withColor(colour).cropped(QRectF(0, 0, side, side));
    for (int i = 0; i < steps; ++i)
        image = counted(image, pixels);
    return image;
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
    EXPECT_TRUE(log.lines().isEmpty()) << "a stop is no failure";

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
    const Image image = countedSteps({0, 0, 0, 1}, 16384, 5, pixels);
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

// Pictures made away from the calling thread: each request ends with one signal (the picture, the
// refusal or the cancel), and a request overtaken by a newer one ends with none.
TEST(PictureRenderer, EachRequestEndsOnceAndAnOvertakenOneNotAtAll)
{
    PictureRenderer renderer;
    QSignalSpy finished(&renderer, &PictureRenderer::finished);
    QSignalSpy refused(&renderer, &PictureRenderer::refused);
    QSignalSpy cancelled(&renderer, &PictureRenderer::cancelled);
    const auto settled = [&] { return QTest::qWaitFor([&] { return !renderer.isRendering(); }, 20000); };

    renderer.render(Image::withColor({1, 0, 0, 1}).cropped(QRectF(0, 0, 4000, 4000)), QRectF(0, 0, 4000, 4000));
    renderer.render(fxtest::filled({0, 0, 3, 2}, {0, 0, 1, 1}), QRectF(0, 0, 3, 2));
    ASSERT_TRUE(settled());
    QTest::qWait(50);
    ASSERT_EQ(finished.size(), 1);
    const QImage picture = finished.first().first().value<QImage>();
    EXPECT_EQ(picture.size(), QSize(3, 2));
    EXPECT_EQ(picture.pixelColor(2, 1), QColor(Qt::blue));

    std::atomic<qint64> pixels{0};
    const Image large = countedSteps({0, 0, 0, 1}, 16384, 5, pixels);
    platform::LogCapture log;
    renderer.render(large, QRectF(0, 0, 16384, 16384));
    EXPECT_FALSE(renderer.isRendering());
    ASSERT_TRUE(QTest::qWaitFor([&] { return refused.size() == 1; }, 5000));
    EXPECT_TRUE(refused.first().first().toString().startsWith("Rendering 16384 × 16384 pixels would compute "));
    EXPECT_TRUE(log.contains("Error: Rendering 16384 × 16384 pixels would compute "));
    EXPECT_EQ(pixels.load(), 0);

    const Image slow = countedSteps({0, 1, 0, 1}, 2000, 40, pixels);
    renderer.render(slow, QRectF(0, 0, 2000, 2000));
    renderer.cancel();
    ASSERT_TRUE(settled());
    QTest::qWait(50);
    EXPECT_EQ(cancelled.size(), 1);
    EXPECT_LT(pixels.load(), 40 * 2000 * 2000) << "stopped before its last step";
    EXPECT_EQ(finished.size(), 1);
}
