#include "RQS-Kit/Controls/QS3DLayer.h"
#include "RQS-Kit/Controls/QSFadeoutMaskLayer.h"
#include "RQS-Kit/Controls/QSSelectionRectLayer.h"
#include "platform/foundation/Log.h"
#include "platform/layers/LayerRenderer.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <numbers>

namespace {

// Opaque columns of one row, counted y-up.
int opaqueWidth(const QImage &image, int y)
{
    int count = 0;
    for (int x = 0; x < image.width(); ++x)
        count += image.pixelColor(x, image.height() - 1 - y).alpha() > 128;
    return count;
}

} // namespace

TEST(Layers3D, PerspectiveFollowsTheFixedWidthOrTheBoundsHeight)
{
    QS3DLayer fixed;
    fixed.setFixedWidth(300);
    fixed.setBounds(QRectF(0, 0, 50, 70));
    EXPECT_FLOAT_EQ(fixed.m34(), -1.0 / 300);

    QS3DLayer byHeight;
    byHeight.setUseHeight(true);
    byHeight.setBounds(QRectF(0, 0, 400, 200));
    EXPECT_FLOAT_EQ(byHeight.m34(), -1.0 / 200);
}

TEST(Layers3D, NinetyDegreesIsDepthOneAnd21_63MillimetresIsNinetyDegrees)
{
    QS3DLayer layer;
    ASSERT_TRUE(layer.setFov(90));
    EXPECT_NEAR(layer.depthFactor(), 1.0, 1e-12);
    ASSERT_TRUE(layer.setFocalLength(21.633307652783937));
    EXPECT_NEAR(layer.fov(), 90, 1e-5);
}

TEST(Layers3D, RefusesAnglesAndDepthsThatPutTheCameraAtInfinityOrOnThePlane)
{
    QS3DLayer layer;
    platform::LogCapture log;
    EXPECT_FALSE(layer.setFov(180));
    EXPECT_FALSE(layer.setFocalLength(0));
    EXPECT_FALSE(layer.setDepthFactor(0));
    EXPECT_EQ(log.lines().size(), 3);
    EXPECT_TRUE(log.lines().first().startsWith(QStringLiteral("Warning: ")));
    EXPECT_DOUBLE_EQ(layer.depthFactor(), 2.0);
    EXPECT_EQ(layer.m34(), 0) << "no bounds yet: flat";
}

TEST(Layers3D, ACardTurnedBackIsNarrowerAtItsFarEdge)
{
    QS3DLayer stage;
    stage.setBounds(QRectF(0, 0, 400, 300));
    stage.setPosition(QPointF(200, 150));
    auto *card = new platform::Layer;
    card->setFrame(QRectF(100, 100, 200, 100));
    card->setBackgroundColor(Qt::red);
    QMatrix4x4 turn;
    turn.rotate(-50, 1, 0, 0);
    card->setTransform(turn);
    stage.addSublayer(card);
    const QImage image = platform::LayerRenderer::picture(stage);
    int low = 0;
    while (low < image.height() && opaqueWidth(image, low) == 0)
        ++low;
    int high = image.height() - 1;
    while (high > 0 && opaqueWidth(image, high) == 0)
        --high;
    ASSERT_LT(low + 4, high);
    EXPECT_GT(opaqueWidth(image, low + 1), 200) << "the near (lower) edge comes forward";
    EXPECT_LT(opaqueWidth(image, high - 1), 200) << "the far (upper) edge recedes";
}

TEST(FadeoutMask, ThirtyPointsOnThreeHundredFadeInTheFirstTenthOnly)
{
    QSFadeoutMaskLayer mask;
    mask.setBounds(QRectF(0, 0, 10, 300));
    QImage image = platform::LayerRenderer::picture(mask);
    EXPECT_EQ(image.pixelColor(5, 299 - 150).alpha(), 255);
    EXPECT_EQ(image.pixelColor(5, 299).alpha(), 255) << "no fades: opaque everywhere";
    mask.setTopFadeout(30);
    image = platform::LayerRenderer::picture(mask);
    EXPECT_LT(image.pixelColor(5, 299 - 1).alpha(), 20);
    EXPECT_NEAR(image.pixelColor(5, 299 - 15).alpha(), 128, 16);
    EXPECT_EQ(image.pixelColor(5, 299 - 31).alpha(), 255);
    mask.setTopFadeout(500);
    mask.setBottomFadeout(500);
    image = platform::LayerRenderer::picture(mask);
    EXPECT_LT(image.pixelColor(5, 299 - 150).alpha(), 255) << "overlong fades meet, still ordered";
}

TEST(SelectionRect, ThePhaseRunsOneToTwentyAndTheTimerIsTheLayersOwn)
{
    QSSelectionRectLayer layer;
    layer.setAnimate(true);
    layer.setAnimate(true);
    EXPECT_EQ(layer.findChildren<QTimer *>().size(), 1);
    layer.setAnimate(false);
    EXPECT_TRUE(layer.findChildren<QTimer *>().isEmpty());
    layer.setSubTitle(QStringLiteral("One"));
    layer.setSubTitle(QStringLiteral("Two"));
    EXPECT_EQ(layer.sublayers().size(), 1);
    EXPECT_EQ(layer.subTitle(), QStringLiteral("Two"));
}

TEST(SelectionRect, TakenOffItsSuperlayerItStopsMarchingButNotWhenMovedToAnother)
{
    platform::Layer first, second;
    auto *selection = new QSSelectionRectLayer(&first);
    first.addSublayer(selection);
    selection->setAnimate(true);
    second.addSublayer(selection);
    EXPECT_TRUE(selection->animate()) << "moved, it keeps marching";
    selection->removeFromSuperlayer();
    EXPECT_FALSE(selection->animate());
    EXPECT_TRUE(selection->findChildren<QTimer *>().isEmpty());
}
