#include "RQS-Kit/Controls/QSSymbolButton.h"
#include "RQS-Kit/Controls/QSSymbolRegistry.h"
#include "platform/foundation/Log.h"
#include "platform/graphics/GraphicsContext.h"

#include "support/PixelProbe.h"

#include <gtest/gtest.h>

namespace {

// Fills the lower half (y-up) of the size given, or a fixed 10 x 10 square.
QSSymbolRegistry::Drawing lowerHalf(const QColor &color)
{
    return [color](const QSizeF &size) {
        platform::GraphicsContext *context = platform::GraphicsContext::current();
        context->setFill(color);
        context->fillRect(QRectF(0, 0, size.width(), size.height() / 2));
    };
}

void registerTestKit()
{
    QSSymbolRegistry::registerOperation("TestKit", "drawDotWithSize", lowerHalf(Qt::red));
    QSSymbolRegistry::registerOperation("TestKit", "drawDotDownWithSize", lowerHalf(Qt::green));
    QSSymbolRegistry::registerOperation("TestKit", "drawDotDisabledWithSize", lowerHalf(Qt::blue));
    QSSymbolRegistry::registerOperation("TestKit", "drawDot", lowerHalf(Qt::yellow));
}

// What the button draws, without the window background that grab() would put beneath.
QImage picture(QWidget &button)
{
    QImage image(button.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    button.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

} // namespace

TEST(QSSymbolButton, DrawsTheStatesDrawingUprightWithTheStatesShadow)
{
    registerTestKit();
    const struct {
        bool flexible, enabled, down;
        QColor expected;
    } cases[] = {
        {true, true, false, Qt::red},    {true, true, true, Qt::green},  {true, false, false, Qt::blue},
        {true, false, true, Qt::blue},   {false, true, false, Qt::yellow}, {false, true, true, Qt::yellow},
    };
    for (const auto &c : cases) {
        QSSymbolButton button;
        button.resize(40, 20);
        button.setStyleKitName("TestKit");
        button.setSymbolName("Dot");
        button.setFlexibleSize(c.flexible);
        button.setEnabled(c.enabled);
        button.setDown(c.down);
        platform::LogCapture log;
        const QImage image = picture(button);
        EXPECT_TRUE(PixelProbe::isNear(image, {20, 15}, c.expected)) << c.expected.name().toStdString() << " got "
                                                                       << PixelProbe::describe(image, {20, 15}).toStdString();
        EXPECT_EQ(image.pixelColor(20, 4).alpha(), 0) << "the upper half stays clear";
        EXPECT_TRUE(log.lines().isEmpty()) << log.lines().join('\n').toStdString();
    }

    // A symbol of its own, so that no other case casts its shadow.
    QSSymbolRegistry::registerOperation("TestKit", "drawLiftedWithSize", lowerHalf(Qt::red));
    QSSymbolRegistry::registerShadow("TestKit", "shadowForLiftedDown", [] { return platform::Shadow{Qt::black, {0, 8}, 0}; });
    QSSymbolButton button;
    button.resize(40, 20);
    button.setStyleKitName("TestKit");
    button.setSymbolName("Lifted");
    button.setFlexibleSize(true);
    EXPECT_EQ(picture(button).pixelColor(20, 4).alpha(), 0) << "no shadow for the normal state";
    button.setDown(true);
    EXPECT_TRUE(PixelProbe::isNear(picture(button), {20, 4}, Qt::black)) << "the down state's shadow, 8 points up";
}

TEST(QSSymbolButton, UnknownSymbolDrawsNothingAndWarnsOnce)
{
    QSSymbolButton button;
    button.resize(20, 20);
    button.setSymbolName("Nowhere");
    platform::LogCapture log;
    const QImage first = picture(button);
    picture(button);
    EXPECT_EQ(log.lines(), QStringList{"Warning: Drawing kit QSSymbolStyleKit has no operation drawNowhere"});
    EXPECT_EQ(first.pixelColor(10, 10).alpha(), 0);
}
