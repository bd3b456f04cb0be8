#include "app/window/VXFeatureHeader.h"

#include "support/PixelProbe.h"

#include <QImage>

#include <gtest/gtest.h>

TEST(VXFeatureHeader, AnOverlayColourTintsTheBarKeepingItsLightness)
{
    VXFeatureHeader header;
    header.resize(200, 28);
    const auto middle = [&header] {
        QImage image(header.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        header.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        return image;
    };
    // Half way up the bar's grey 0.803 to 0.9 gradient: grey 0.85; red with that luminosity,
    // clipped into range, is (1.0, 0.785, 0.785).
    const struct { QColor overlay; QColor expected; } cases[] = {
        {QColor(), QColor(217, 217, 217)},
        {QColor::fromRgbF(1, 0, 0), QColor(255, 200, 200)},
        {QColor(), QColor(217, 217, 217)},
    };
    for (const auto &c : cases) {
        header.setOverlayColor(c.overlay);
        const QImage image = middle();
        EXPECT_TRUE(PixelProbe::isNear(image, {100, 14}, c.expected, 3))
            << c.overlay.name().toStdString() << ": " << PixelProbe::describe(image, {100, 14}).toStdString();
    }
}
