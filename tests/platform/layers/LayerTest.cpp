#include "platform/foundation/Log.h"
#include "platform/graphics/BitmapGraphicsContext.h"
#include "platform/layers/Layer.h"
#include "platform/layers/LayerRenderer.h"
#include "platform/layers/Transaction.h"

#include <QtTest/QTest>

#include <gtest/gtest.h>

using platform::Layer;
using platform::Transaction;

TEST(Layers, AnAnimatedChangeReadsBackAtOnceAndCompletesAfterItsAnimation)
{
    Layer layer;
    bool completed = false;
    Transaction::begin();
    Transaction::setAnimationDuration(0.2);
    Transaction::setCompletionBlock([&completed] { completed = true; });
    layer.setOpacity(0.25);
    Transaction::commit();
    EXPECT_DOUBLE_EQ(layer.opacity(), 0.25);
    EXPECT_GT(layer.presentedOpacity(), 0.25) << "the shown value glides";
    QTRY_VERIFY(completed);
    EXPECT_DOUBLE_EQ(layer.presentedOpacity(), 0.25);
}

TEST(Layers, DisabledActionsOrNoTransactionShowAChangeAtOnce)
{
    Layer layer;
    layer.setOpacity(0.5);
    Transaction::begin();
    Transaction::setDisableActions(true);
    layer.setPosition(QPointF(3, 4));
    Transaction::commit();
    EXPECT_DOUBLE_EQ(layer.presentedOpacity(), 0.5);
    EXPECT_EQ(layer.transformToSuperlayer(true), layer.transformToSuperlayer());
    platform::LogCapture log;
    EXPECT_FALSE(Transaction::commit());
    EXPECT_TRUE(log.contains(QStringLiteral("Warning: Transaction committed without begin")));
}

TEST(Layers, PointsConvertAndHitThroughATurnedSublayer)
{
    Layer root;
    root.setAnchorPoint(QPointF(0, 0));
    root.setBounds(QRectF(0, 0, 200, 200));
    auto *card = new Layer;
    card->setFrame(QRectF(50, 50, 100, 100));
    QMatrix4x4 quarter;
    quarter.rotate(90, 0, 0, 1);
    card->setTransform(quarter);
    root.addSublayer(card);
    // A quarter turn counter-clockwise about the centre (100, 100).
    const QPointF corner = card->convertPointToLayer(QPointF(0, 0), &root);
    EXPECT_NEAR(corner.x(), 150, 1e-4);
    EXPECT_NEAR(corner.y(), 50, 1e-4);
    EXPECT_EQ(root.hitTest(QPointF(140, 60)), card);
    EXPECT_EQ(root.hitTest(QPointF(20, 20)), &root);
    EXPECT_EQ(root.hitTest(QPointF(260, 20)), nullptr);
}

// A card whose anchor lies 100 points deep stands 100 points behind its superlayer's plane: seen
// through a perspective of distance 500 it is drawn smaller by 1.2 about the superlayer's centre.
TEST(Layers, TheAnchorsDepthPutsTheLayerBehindItsSuperlayersPlane)
{
    Layer root;
    root.setBounds(QRectF(0, 0, 200, 200));
    QMatrix4x4 perspective;
    perspective(3, 2) = float(-1.0 / 500);
    root.setSublayerTransform(perspective);
    auto *card = new Layer;
    card->setFrame(QRectF(50, 50, 100, 100));
    root.addSublayer(card);
    const struct
    {
        double depth, corner;
    } cases[] = {{0, 50}, {100, 100 - 50 / 1.2}, {-100, 100 - 50 / 0.8}};
    for (const auto &c : cases) {
        card->setAnchorPointZ(c.depth);
        const QPointF corner = card->convertPointToLayer(QPointF(0, 0), &root);
        EXPECT_NEAR(corner.x(), c.corner, 1e-3) << "depth " << c.depth;
        EXPECT_NEAR(corner.y(), c.corner, 1e-3) << "depth " << c.depth;
    }
}

// Radius 4 blurs with boxes 3, 3 and 5 wide (kernel 1 3 6 8 9 8 6 3 1 over 45).
TEST(Layers, AShadowIsBlurredByHalfItsRadiusAndTintedWithColourTimesOpacity)
{
    Layer layer;
    layer.setFrame(QRectF(10, 10, 20, 20));
    layer.setBackgroundColor(Qt::white);
    layer.setShadowOpacity(0.5);
    layer.setShadowRadius(4);
    layer.setShadowOffset(QPointF(40, 0));
    const QImage image = platform::BitmapGraphicsContext::drawnImage(
        {80, 40}, 1, [&](platform::GraphicsContext &c) { platform::LayerRenderer::render(layer, c); });
    EXPECT_EQ(image.pixelColor(60, 20), QColor(0, 0, 0, 128)) << "black at half opacity";
    EXPECT_EQ(image.pixelColor(50, 20), QColor(0, 0, 0, 77)) << "27/45 of it on the edge's inner pixel";
}
