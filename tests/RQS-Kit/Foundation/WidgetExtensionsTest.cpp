#include "RQS-Kit/Foundation/ScrollViewExtension.h"
#include "RQS-Kit/Foundation/ViewExtension.h"
#include "RQS-Kit/Foundation/WindowExtension.h"
#include "platform/foundation/Log.h"
#include "platform/layers/Layer.h"
#include "platform/ui/View.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QGraphicsDropShadowEffect>
#include <QLabel>
#include <QMatrix4x4>
#include <QPalette>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

namespace {

// Keeps its width at twice its height, as an aspect constraint would.
class WideView : public QWidget
{
public:
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override { return width / 2; }
};

} // namespace

TEST(ViewExtension, ANamedShadowBecomesTheViewsDropShadowAndTextColourAndTheRatioFollowsTheProportionsKept)
{
    // The application's "Button" preset: one point down, white text.
    QLabel label;
    rqs::setShadowName(&label, "Button");
    auto *effect = qobject_cast<QGraphicsDropShadowEffect *>(label.graphicsEffect());
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(effect->offset(), QPointF(0, 1)) << "y-up -1 is one pixel down";
    EXPECT_EQ(label.palette().color(QPalette::WindowText), QColor(Qt::white));
    rqs::setShadowName(&label, "NoSuchShadow");
    EXPECT_EQ(label.graphicsEffect(), nullptr);

    QPushButton button; // no text of its own: only the shadow
    const QPalette before = button.palette();
    rqs::setShadowName(&button, "Glow");
    ASSERT_NE(qobject_cast<QGraphicsDropShadowEffect *>(button.graphicsEffect()), nullptr);
    EXPECT_EQ(button.palette(), before);

    // The ratio of a view: its frame, or the proportions it keeps.
    const struct { const char *name; bool keepsProportions; QSize size; double expected; } cases[] = {
        {"frame", false, QSize(300, 150), 2.0},
        {"frame without height", false, QSize(300, 0), 1.0},
        {"proportions against the frame", true, QSize(100, 100), 2.0},
    };
    for (const auto &c : cases) {
        QWidget plain;
        WideView wide;
        QWidget &view = c.keepsProportions ? wide : plain;
        view.resize(c.size);
        EXPECT_DOUBLE_EQ(rqs::ratio(&view), c.expected) << c.name;
    }
}

TEST(ViewExtension, TheViewAnimatorEasesAValueOrSetsItAtOnce)
{
    QWidget view;
    view.setGeometry(0, 0, 10, 10);
    EXPECT_TRUE(rqs::viewAnimator(&view, false).setValue("geometry", QRect(0, 0, 40, 10)));
    EXPECT_EQ(view.width(), 40) << "the view itself, at once";
    const QSViewAnimator animator = rqs::viewAnimator(&view, true);
    EXPECT_TRUE(animator.isAnimated());
    EXPECT_TRUE(animator.setValue("geometry", QRect(0, 0, 80, 10)));
    EXPECT_EQ(view.width(), 40) << "eased, not jumped";
    EXPECT_TRUE(QTest::qWaitFor([&] { return view.width() == 80; }, 2000));
    platform::LogCapture log;
    EXPECT_FALSE(animator.setValue("noSuchProperty", 1));
    EXPECT_TRUE(log.contains("Warning: Cannot animate \"noSuchProperty\""));
}

// The turn a view is shown at: its own layer's, else its nearest layered ancestor's, with the turn
// of every layer tree that draws the root's view in turn.
TEST(ViewExtension, AGlobalLayerRotationIsTheLayersTurnOrTheNearestLayeredAncestorsWithTheTreesAroundIt)
{
    const auto turned = [](double degrees) {
        QMatrix4x4 turn;
        turn.rotate(float(degrees), 0, 0, 1);
        return turn;
    };
    platform::View outer;
    outer.setWantsLayer(true);
    auto *hosted = new platform::View(&outer);
    hosted->setWantsLayer(true);
    outer.layer()->addSublayer(hosted->layer());
    auto *plain = new platform::View(hosted);
    auto *own = new platform::View(plain);
    own->setWantsLayer(true);
    auto *inner = new platform::View(own);

    EXPECT_EQ(rqs::globalLayerRotation(&outer), 0) << "unturned";
    hosted->layer()->setTransform(turned(-90));
    EXPECT_NEAR(rqs::globalLayerRotation(hosted), -90, 1e-4) << "a quarter turn clockwise in a y-up space";
    EXPECT_NEAR(rqs::globalLayerRotation(plain), -90, 1e-4) << "no layer: the nearest layered ancestor's";
    EXPECT_NEAR(rqs::globalLayerRotation(own), -90, 1e-4) << "a tree of its own drawn inside the turned one";
    EXPECT_NEAR(rqs::globalLayerRotation(inner), -90, 1e-4);
    hosted->layer()->setTransform(turned(30));
    EXPECT_NEAR(rqs::globalLayerRotation(inner), 30, 1e-4);
    EXPECT_EQ(rqs::globalLayerRotation(nullptr), 0);
}

TEST(WindowExtension, AScreenshotShowsTheWindowAloneAndASheetGoesOnTheViewsWindowElseTheActiveOrFirstVisibleOne)
{
    QWidget window;
    window.resize(120, 80);
    auto *view = new QWidget(&window);
    view->setGeometry(20, 10, 30, 40);
    view->setAutoFillBackground(true);
    view->setPalette(QPalette(Qt::red));
    window.show();
    const QImage image = rqs::newCGImageScreenshot(view);
    const double scale = image.devicePixelRatio();
    ASSERT_EQ(image.size(), QSize(qRound(120 * scale), qRound(80 * scale)));
    EXPECT_EQ(image.pixelColor(qRound(30 * scale), qRound(20 * scale)), QColor(Qt::red));

    platform::LogCapture log;
    EXPECT_TRUE(rqs::newCGImageScreenshot(nullptr).isNull());
    EXPECT_TRUE(log.contains("Warning: No window to take a screenshot of"));

    // A sheet goes on the view's window, else the active window, else the first visible one.
    window.hide();
    QWidget tip(nullptr, Qt::ToolTip);
    tip.show();
    QWidget visible;
    visible.show();
    QWidget active;
    active.show();
    EXPECT_EQ(rqs::windowForSheetWithView(view), &window) << "even when it is not shown";
    active.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&active));
    EXPECT_EQ(rqs::windowForSheetWithView(nullptr), &active);

    active.hide();
    ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::activeWindow() == nullptr; }));
    EXPECT_EQ(rqs::windowForSheetWithView(nullptr), &visible) << "the first visible window that can hold a sheet";
    visible.hide();
    EXPECT_EQ(rqs::windowForSheetWithView(nullptr), nullptr);
}

TEST(ScrollViewExtension, OriginShowingAFrameAndScrollingToItAtOnceOrAnimated)
{
    const QRectF visible(100, 100, 200, 100);
    const struct { const char *name; QRectF frame; bool topLeftVisible; QPointF expected; } cases[] = {
        {"visible already", QRectF(120, 120, 50, 50), false, QPointF(100, 100)},
        {"below: bottom edges meet", QRectF(120, 20, 50, 50), false, QPointF(100, 20)},
        {"taller, above, top wanted", QRectF(120, 150, 50, 150), true, QPointF(100, 200)},
        {"right, left wanted", QRectF(400, 120, 50, 50), true, QPointF(400, 100)},
        {"wider, left: right edges meet", QRectF(0, 120, 250, 50), false, QPointF(50, 100)},
    };
    for (const auto &c : cases)
        EXPECT_EQ(rqs::originShowingFrame(c.frame, visible, c.topLeftVisible), c.expected) << c.name;

    // The area scrolls to show a frame at once or animated: a 1000 x 1000 document in a 200 x 100 viewport,
    // scrolled to the document's bottom left corner; origins are y up in the document.
    QScrollArea area;
    area.setFrameShape(QFrame::NoFrame);
    area.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto *document = new QWidget;
    document->resize(1000, 1000);
    area.setWidget(document);
    area.resize(200, 100);
    area.show();
    area.verticalScrollBar()->setValue(900);
    const auto origin = [&] { return QPoint(area.horizontalScrollBar()->value(), 1000 - 100 - area.verticalScrollBar()->value()); };
    rqs::scrollShowingFrame(&area, QRectF(500, 600, 50, 50), false, false);
    EXPECT_EQ(origin(), QPoint(350, 550)) << "right and top edges meet";
    rqs::scrollShowingFrame(&area, QRectF(100, 50, 50, 50), true, false);
    EXPECT_EQ(origin(), QPoint(100, 50)) << "left and bottom edges meet";

    rqs::scrollShowingFrame(&area, QRectF(500, 600, 50, 50), false, true);
    EXPECT_TRUE(QTest::qWaitFor([&] { return origin() == QPoint(350, 550); }));
}
