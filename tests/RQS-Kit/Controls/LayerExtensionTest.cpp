#include "RQS-Kit/Controls/LayerExtension.h"

#include "RQS-Kit/Controls/QSCIImageLayer.h"
#include "platform/layers/Layer.h"
#include "platform/layers/LayerRenderer.h"

#include <gtest/gtest.h>

#include <QPainter>

#include <memory>

using platform::Layer;

namespace {

// Left half opaque red, right half blue at half alpha.
QImage halves(QSize size)
{
    QImage picture(size, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.fillRect(QRect(0, 0, size.width() / 2, size.height()), Qt::red);
    painter.fillRect(QRect(size.width() / 2, 0, size.width() - size.width() / 2, size.height()), QColor(0, 0, 255, 128));
    return picture;
}

int differingPixels(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return -1;
    int count = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x)
            count += a.pixel(x, y) != b.pixel(x, y);
    }
    return count;
}

} // namespace

TEST(LayerExtension, ADuplicatedTreeRendersAsItsOriginal)
{
    Layer root;
    root.setBounds({0, 0, 60, 40});
    root.setContents(halves({60, 40}));
    root.setSublayerTransform(QMatrix4x4());
    auto *picture = new QSCIImageLayer;
    picture->setImage(halves({20, 10}));
    picture->setBounds({0, 0, 20, 10});
    picture->setPosition({20, 25});
    QMatrix4x4 turn;
    turn.rotate(30, 0, 0, 1);
    picture->setTransform(turn);
    picture->setOpacity(0.6);
    picture->setBorderColor(Qt::green);
    picture->setBorderWidth(2);
    root.addSublayer(picture);
    auto *cut = new Layer;
    cut->setContents(halves({16, 16}));
    cut->setContentsRect({0.25, 0, 0.5, 1});
    cut->setContentsGravity(Layer::Gravity::ResizeAspect);
    cut->setBounds({0, 0, 12, 8});
    cut->setAnchorPoint({0, 0});
    cut->setPosition({44, 4});
    cut->setZPosition(-1);
    cut->setCornerRadius(3);
    root.addSublayer(cut);

    root.setAnchorPointZ(7);
    std::unique_ptr<Layer> copy(rqs::duplicate(root));
    EXPECT_EQ(copy->anchorPointZ(), 7);
    for (Layer *sublayer : root.sublayers())
        copy->addSublayer(rqs::duplicate(*sublayer));
    EXPECT_EQ(differingPixels(platform::LayerRenderer::picture(*copy), platform::LayerRenderer::picture(root)), 0);

    auto *pictureCopy = qobject_cast<QSCIImageLayer *>(copy->sublayers().value(0));
    ASSERT_TRUE(pictureCopy) << "the copy is of the layer's own class";
    EXPECT_EQ(pictureCopy->image(), picture->image());
    EXPECT_TRUE(pictureCopy->contents().isNull()) << "a picture layer's copy gets its picture, not its contents";
    EXPECT_TRUE(std::unique_ptr<Layer>(rqs::duplicate(*picture))->sublayers().isEmpty());
}

TEST(LayerExtension, TransparencyAtReadsTheAlphaOfOnePoint)
{
    Layer layer;
    layer.setBounds({0, 0, 20, 10});
    layer.setContents(halves({20, 10}));
    const struct
    {
        QPointF point;
        double alpha;
    } cases[] = {{{2, 5}, 1.0}, {{15, 5}, 128 / 255.0}, {{25, 5}, 0.0}, {{5, -3}, 0.0}};
    for (const auto &c : cases)
        EXPECT_NEAR(rqs::transparencyAt(layer, c.point), c.alpha, 1.5 / 255) << c.point.x() << "," << c.point.y();
}

TEST(LayerExtension, FullDescriptionGivesFrameAndContentsRectangle)
{
    Layer layer;
    layer.setBounds({0, 0, 10, 20});
    layer.setPosition({15, 30});
    layer.setContentsRect({0, 0.5, 1, 0.5});
    const QString text = rqs::fullDescription(layer);
    EXPECT_TRUE(text.startsWith("platform::Layer(")) << text.toStdString();
    EXPECT_TRUE(text.endsWith("\n Frame: (10.000000, 20.000000, 10.000000, 20.000000)\n Contents Rect: (0.000000, 0.500000, 1.000000, 0.500000)"))
        << text.toStdString();
}
