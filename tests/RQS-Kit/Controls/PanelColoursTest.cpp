#include "RQS-Kit/Controls/QSColumnView.h"
#include "RQS-Kit/Controls/QSRoundedRect.h"
#include "RQS-Kit/Foundation/QSColor.h"

#include "support/PixelProbe.h"

#include <gtest/gtest.h>

namespace {

QString describe(const QImage &image, int x, int y) { return PixelProbe::describe(image, QPoint(x, y)); }

} // namespace

// The panel's four colours set in code are drawn: the fill from its top colour at the top to its
// bottom colour at the bottom, and the one-point outline fading the same way; each colour's
// description, as an interface file would give it, reads back as that colour.
TEST(RoundedRect, ItsFourColoursSetInCodeAreDrawnAndDescribed)
{
    QSRoundedRect panel;
    panel.resize(100, 60);
    const QColor topFill(220, 0, 0), bottomFill(0, 0, 220), topStroke(0, 200, 0), bottomStroke(230, 230, 0);
    panel.setTopFillColor(topFill);
    panel.setBottomFillColor(bottomFill);
    panel.setTopStrokeColor(topStroke);
    panel.setBottomStrokeColor(bottomStroke);
    EXPECT_EQ(panel.topFillColor(), topFill);
    EXPECT_EQ(panel.bottomFillColor(), bottomFill);
    EXPECT_EQ(panel.topStrokeColor(), topStroke);
    EXPECT_EQ(panel.bottomStrokeColor(), bottomStroke);
    EXPECT_EQ(QSColor::colorFromDescription(panel.topFillColorName()).color().rgb(), topFill.rgb());
    EXPECT_EQ(QSColor::colorFromDescription(panel.bottomStrokeColorName()).color().rgb(), bottomStroke.rgb());

    const QImage drawn = PixelProbe::drawn(panel);
    const QColor nearTop = drawn.pixelColor(50, 4), nearBottom = drawn.pixelColor(50, 55);
    EXPECT_GT(nearTop.red(), nearTop.blue() + 150) << "the top fill at the top, not " << describe(drawn, 50, 4).toStdString();
    EXPECT_GT(nearBottom.blue(), nearBottom.red() + 150) << "the bottom fill at the bottom, not " << describe(drawn, 50, 55).toStdString();
    EXPECT_TRUE(PixelProbe::isNear(drawn, QPoint(50, 0), topStroke, 30)) << "outline at the top: " << describe(drawn, 50, 0).toStdString();
    EXPECT_TRUE(PixelProbe::isNear(drawn, QPoint(50, 59), bottomStroke, 30)) << "outline at the bottom: " << describe(drawn, 50, 59).toStdString();
    EXPECT_LT(drawn.pixelColor(0, 0).alpha(), 60) << "the corner is rounded off";
}

// A column keeps the colours it is given, as its interface file's descriptions would set them,
// and goes on drawing the rows' light colour whatever they are.
TEST(ColumnView, KeepsTheColoursSetInCodeAndDrawsTheRowsLightColour)
{
    QSColumnView column;
    column.resize(30, 30);
    const QImage before = PixelProbe::drawn(column);
    column.setStartColor(QColor(200, 0, 0, 128));
    column.setEndColor(QColor(0, 0, 200));
    EXPECT_EQ(column.startColor(), QColor(200, 0, 0, 128));
    EXPECT_EQ(column.endColor(), QColor(0, 0, 200));
    const QColor described = QSColor::colorFromDescription(column.startColorName()).color();
    EXPECT_EQ(described.rgba(), QColor(200, 0, 0, 128).rgba()) << column.startColorName().toStdString();

    const QImage after = PixelProbe::drawn(column);
    EXPECT_TRUE(PixelProbe::isNear(after, QPoint(15, 15), QColor(242, 242, 242), 2)) << describe(after, 15, 15).toStdString();
    EXPECT_EQ(after, before);
}
