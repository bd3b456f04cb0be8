#include "RQS-Kit/Controls/QSArrowView.h"
#include "RQS-Kit/Controls/QSLineView.h"
#include "RQS-Kit/Controls/QSPatternView.h"
#include "RQS-Kit/Controls/QSPointingView.h"
#include "RQS-Kit/Controls/QSShapedBox.h"
#include "RQS-Kit/Controls/QSTabView.h"
#include "platform/foundation/Log.h"
#include "platform/ui/View.h"

#include "support/PixelProbe.h"
#include "support/Screenshot.h"

#include <gtest/gtest.h>

namespace {

// A y-up probe of what the view draws.
QColor at(const QImage &image, int x, int y) { return image.pixelColor(x, image.height() - 1 - y); }

} // namespace

TEST(ColourAndPatternViews, ATabAtPositionOneRunsBeyondItsTopEdgeAndFifteenBeyondEvery)
{
    QSTabView tab;
    tab.resize(60, 40);
    QImage drawn = PixelProbe::drawn(tab);
    EXPECT_EQ(at(drawn, 30, 39), QColor(Qt::white)) << "the top edge runs out";
    EXPECT_EQ(at(drawn, 1, 20).alpha() < 255 && at(drawn, 30, 1).alpha() < 255, true) << "sides and bottom inset by 3";
    tab.setPosition(15);
    drawn = PixelProbe::drawn(tab);
    EXPECT_EQ(at(drawn, 0, 0), QColor(Qt::white));
}

TEST(ColourAndPatternViews, APatternOf64PointTilesStartsItsFirstRowAt36InAView100High)
{
    for (const int density : {1, 2}) {
        QImage image(64 * density, 64 * density, QImage::Format_ARGB32);
        image.fill(Qt::blue);
        for (int row = 0; row < density; ++row)
            for (int x = 0; x < image.width(); ++x)
                image.setPixelColor(x, row, Qt::red);
        image.setDevicePixelRatio(density);
        QSPatternView view;
        view.resize(100, 100);
        view.setImage(image);
        const QImage drawn = PixelProbe::drawn(view);
        EXPECT_EQ(at(drawn, 10, 99), QColor(Qt::red)) << density;
        EXPECT_EQ(at(drawn, 10, 36), QColor(Qt::blue)) << "the tile's lowest row, at density " << density;
        EXPECT_EQ(at(drawn, 10, 35), QColor(Qt::red)) << "the next tile's top row, at density " << density;
    }
}

TEST(LinesAndArrows, AHorizontalToVerticalArrowTurnsAtTheCornerAndEveryHeadPointsAtItsEnd)
{
    QSArrowView arrow;
    arrow.resize(200, 200);
    arrow.setFromPoint({20, 20});
    arrow.setFromDirection(1);
    arrow.setToPoint({150, 150});
    arrow.setToDirection(0);
    arrow.setHeadSize({10, 10});
    arrow.setWidth(4);
    arrow.setColor(Qt::red);
    const QImage drawn = PixelProbe::drawn(arrow);
    // F' = (30, 20), T' = (150, 160): the corner lies at (T'.x, F'.y).
    EXPECT_EQ(at(drawn, 150, 20), QColor(Qt::red));
    EXPECT_EQ(at(drawn, 90, 20), QColor(Qt::red));
    EXPECT_EQ(at(drawn, 150, 100), QColor(Qt::red));
    EXPECT_EQ(at(drawn, 30, 160).alpha(), 0) << "no bend at (F'.x, T'.y)";
    EXPECT_EQ(at(drawn, 153, 158), QColor(Qt::red)) << "the vertical head's base lies where the line attaches";
    EXPECT_EQ(at(drawn, 153, 151).alpha(), 0) << "and its tip on the end point";
    EXPECT_EQ(at(drawn, 28, 23), QColor(Qt::red));
    EXPECT_EQ(at(drawn, 21, 24).alpha(), 0);
}

TEST(LinesAndArrows, LinesFollowTheViewsSizeAndABadIndexIsIgnoredWithAWarning)
{
    QSLineView lines;
    lines.resize(200, 100);
    lines.setColor(Qt::red);
    EXPECT_EQ(lines.addLine(QSLine({0, 0.5}, {1, 0.5})), 0);
    EXPECT_EQ(lines.addLine(QSLine({0.5, 0}, {0.5, 0.2})), 1);
    platform::LogCapture log;
    lines.removeLineAtIndex(5);
    EXPECT_EQ(log.lines(), QStringList{"Warning: No guide line 5 to remove; there are 2"});
    const QImage drawn = PixelProbe::drawn(lines);
    EXPECT_EQ(at(drawn, 180, 50).red(), 255);
    EXPECT_EQ(at(drawn, 100, 10).red(), 255);
}

TEST(BoxesAndCallouts, TheArrowKeeps14FromTheEndsOrSitsInTheMiddleOfAShortSide)
{
    QSPointingView callout;
    callout.setPointingSide(QSPointingView::Right);
    callout.resize(60, 100);
    EXPECT_EQ(callout.arrowPosition(), 14);
    callout.setDistance(500);
    EXPECT_EQ(callout.arrowPosition(), 86);
    callout.resize(60, 20);
    EXPECT_EQ(callout.arrowPosition(), 10);
    auto *content = new QWidget;
    callout.addSubview(content);
    EXPECT_EQ(content->parentWidget(), callout.containerView());
}

TEST(BoxesAndCallouts, AShapedBoxBendsTheEdgeWithLessRoomBeyondTheTitle)
{
    QSShapedBox box;
    box.resize(100, 100);
    auto *title = new QWidget(&box);
    title->setGeometry(0, 70, 40, 20);
    box.setTitleView(title);
    box.show();
    EXPECT_EQ(box.edge(), 1) << "70 points above the title, 10 below";
    title->move(0, 10);
    EXPECT_EQ(box.edge(), 0);
}

// The title label lies beside the box in their common superview, across the box's lower part: the
// box reads where the label is in its own coordinates and bends its bottom edge around it.
TEST(BoxesAndCallouts, AShapedBoxFollowsATitleViewBesideIt)
{
    platform::View superview;
    superview.resize(300, 200);
    auto *box = new QSShapedBox;
    superview.addSubview(box);
    box->setFrame(QRectF(20, 20, 200, 100));
    box->setProperty("outlineIntensity", -1.0);
    auto *title = new platform::View;
    superview.addSubview(title);
    title->setFrame(QRectF(50, 25, 60, 20));
    box->setTitleView(title);
    superview.show();
    EXPECT_EQ(box->edge(), 1) << "75 points above the title, 5 below";
    saveScreenshot(&superview, QStringLiteral("shaped-box-title-beside"));

    // In the box the title lies at (30, 5, 60, 20): the bottom edge runs 0.5 inside y = 25 beside
    // it and dips to y = 5.5 beneath it.
    const QImage drawn = PixelProbe::drawn(*box);
    EXPECT_GT(at(drawn, 150, 25).alpha(), 100) << "the edge beside the title";
    EXPECT_EQ(at(drawn, 150, 5).alpha(), 0) << "nothing below the edge beside the title";
    EXPECT_GT(at(drawn, 60, 5).alpha(), 100) << "the edge beneath the title";
    EXPECT_EQ(at(drawn, 60, 25).alpha(), 0) << "the title's place is left open";

    title->setFrame(QRectF(50, 100, 60, 20));
    EXPECT_EQ(box->edge(), 0) << "the title moved up to the top";
    box->setFrame(QRectF(20, 90, 200, 100));
    EXPECT_EQ(box->edge(), 1) << "the box moved up past the title";
}
