#include "RQS-Kit/Controls/QS3DLayer.h"
#include "RQS-Kit/Controls/QS3DView.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/layers/Layer.h"

#include "support/PixelProbe.h"
#include "support/PlacedPointer.h"
#include "support/Screenshot.h"

#include <gtest/gtest.h>

#include <QPainter>
#include <QPushButton>
#include <QStyleOption>
#include <QTest>

namespace {

struct Recorder : platform::View
{
    using platform::View::View;
    QStringList seen;
    void note(const char *what, const platform::MouseEvent &e) { seen << QStringLiteral("%1 %2,%3").arg(what).arg(e.location.x()).arg(e.location.y()); }
    void mouseDown(const platform::MouseEvent &e) override { note("down", e); }
    void mouseUp(const platform::MouseEvent &e) override { note("up", e); }
    void mouseMoved(const platform::MouseEvent &e) override { note("moved", e); }
    void mouseEntered(const platform::MouseEvent &e) override { note("entered", e); }
    void mouseExited(const platform::MouseEvent &e) override { note("exited", e); }
};

// Two halves whose layers are moved onto each other's place: what the pointer meets is what is shown.
struct Scene
{
    Recorder host;
    QS3DView *view = new QS3DView(&host);
    Recorder *left = new Recorder;
    Recorder *right = new Recorder;

    Scene()
    {
        host.resize(400, 300);
        placePointerAway();
        host.show();
        view->setFrame(QRectF(50, 30, 200, 200));
        left->setFrame(QRectF(0, 0, 100, 200));
        right->setFrame(QRectF(100, 0, 100, 200));
        view->addSubview(left);
        view->addSubview(right);
        QMatrix4x4 toRight, toLeft;
        toRight.translate(100, 0, 0);
        toLeft.translate(-100, 0, 0);
        left->layer()->setTransform(toRight);
        right->layer()->setTransform(toLeft);
    }
    // y-up in the view to Qt's y-down.
    QPoint at(double x, double y) const { return QPoint(int(x), int(200 - y)); }
};

} // namespace

TEST(ThreeDView, HitTestingFindsTheSubviewWhereItsTurnedLayerIsShown)
{
    Scene scene;
    EXPECT_EQ(scene.view->hitTest(QPointF(50 + 150, 30 + 100)), scene.view);
    EXPECT_EQ(scene.view->forwardView(), scene.left);
    EXPECT_EQ(scene.view->hitTest(QPointF(50 + 50, 30 + 100)), scene.view);
    EXPECT_EQ(scene.view->forwardView(), scene.right);
    EXPECT_EQ(scene.view->hitTest(QPointF(20, 100)), nullptr);
}

TEST(ThreeDView, PressesOfEveryButtonReachTheShownSubviewInItsOwnCoordinates)
{
    Scene scene;
    QTest::mousePress(scene.view, Qt::LeftButton, {}, scene.at(150, 100));
    QTest::mouseRelease(scene.view, Qt::LeftButton, {}, scene.at(150, 100));
    EXPECT_EQ(scene.left->seen, QStringList({"down 50,100", "up 50,100"}));
    QTest::mousePress(scene.view, Qt::RightButton, {}, scene.at(50, 100));
    QTest::mouseRelease(scene.view, Qt::RightButton, {}, scene.at(50, 100));
    EXPECT_EQ(scene.right->seen, QStringList({"down 50,100", "up 50,100"}));
}

TEST(ThreeDView, HoverAwayFromTheOriginEntersMovesAndExitsAsThePointerPassesBetweenSubviews)
{
    Scene scene;
    QTest::mouseMove(scene.view, scene.at(150, 100));
    QTest::mouseMove(scene.view, scene.at(160, 100));
    QTest::mouseMove(scene.view, scene.at(50, 100));
    EXPECT_EQ(scene.left->seen, QStringList({"entered 50,100", "moved 60,100", "exited -50,100"}));
    EXPECT_EQ(scene.right->seen, QStringList({"entered 50,100"}));
}

TEST(ThreeDView, AViewWithoutSubviewsLetsEventsPassToWhatLiesBeneath)
{
    Recorder host;
    host.resize(400, 300);
    host.show();
    auto *view = new QS3DView(&host);
    view->setFrame(QRectF(50, 30, 200, 200));
    EXPECT_EQ(view->hitTest(QPointF(100, 100)), nullptr);
    QTest::mousePress(view, Qt::LeftButton, {}, QPoint(100, 100));
    QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(100, 100));
    EXPECT_EQ(host.seen, QStringList({"down 150,130", "up 150,130"}));
}

namespace {

// A subview that fills itself with its colour.
struct Swatch : platform::View
{
    using platform::View::View;
    QColor colour = Qt::red;
    void drawRect(const QRectF &) override
    {
        platform::GraphicsContext *context = platform::GraphicsContext::current();
        context->setFill(colour);
        context->fillRect(bounds());
    }
};

// A 3-D view filling a 300 × 300 window, with one swatch whose layer is turned.
struct LiveScene
{
    QWidget host;
    QS3DView *view = new QS3DView(&host);
    Swatch *swatch = new Swatch;

    explicit LiveScene(const QMatrix4x4 &turn)
    {
        host.resize(300, 300);
        view->setFrame(QRectF(0, 0, 300, 300));
        swatch->setFrame(QRectF(50, 50, 100, 100));
        view->addSubview(swatch);
        swatch->layer()->setTransform(turn);
        placePointerAway();
        host.show();
    }
    // Where a point of the swatch (y-up) is shown, in the window's y-down pixels.
    QPoint shown(const QPointF &inSwatch) const
    {
        const QPointF inView = swatch->layer()->convertPointToLayer(inSwatch, view->layer());
        return QPoint(qRound(inView.x()), qRound(300 - inView.y()));
    }
    bool shows(const QPoint &at, const QColor &colour)
    {
        return QTest::qWaitFor([&] { return PixelProbe::isNear(PixelProbe::drawn(host), at, colour); }, 2000);
    }
};

QMatrix4x4 shifted(double x)
{
    QMatrix4x4 turn;
    turn.translate(float(x), 0, 0);
    return turn;
}

} // namespace

TEST(ThreeDView, ASubviewDrawnAgainOrMovedIsShownAsItIsNow)
{
    LiveScene scene(shifted(100));
    const QPoint centre = scene.shown({50, 50});
    ASSERT_EQ(centre, QPoint(200, 200));
    ASSERT_TRUE(scene.shows(centre, Qt::red));
    scene.swatch->colour = Qt::blue;
    scene.swatch->setNeedsDisplay(true);
    EXPECT_TRUE(scene.shows(centre, Qt::blue)) << PixelProbe::describe(PixelProbe::drawn(scene.host), centre).toStdString();

    scene.swatch->setFrame(QRectF(50, 170, 100, 100));
    const QPoint moved = scene.shown({50, 50});
    EXPECT_EQ(moved, QPoint(200, 80)) << "the turn is kept";
    EXPECT_TRUE(scene.shows(moved, Qt::blue));
    EXPECT_TRUE(scene.shows(centre, Qt::transparent)) << "nothing left where it was";
}

TEST(ThreeDView, AButtonInsideATurnedSubviewIsDrawnAndClickedWhereItIsShown)
{
    QMatrix4x4 turn;
    turn.rotate(35, 0, 1, 0);
    LiveScene scene(turn);
    auto *button = new QPushButton(scene.swatch);
    button->setStyleSheet("background: rgb(0, 200, 0); border: none;");
    button->setGeometry(20, 30, 60, 40);
    button->show();
    int clicks = 0;
    QObject::connect(button, &QPushButton::clicked, [&clicks] { ++clicks; });
    // The button's centre is (50, 50) of the swatch, y-up as y-down.
    const QPoint centre = scene.shown({50, 50});
    EXPECT_LT(centre.x(), 200) << "turned, the swatch looks narrower";
    EXPECT_TRUE(scene.shows(centre, QColor(0, 200, 0)));
    EXPECT_TRUE(scene.shows(scene.shown({10, 50}), Qt::red));
    saveScreenshot(&scene.host, "3d-view-live-subview");

    QTest::mouseClick(scene.host.windowHandle(), Qt::LeftButton, {}, centre);
    EXPECT_EQ(clicks, 1);
    QTest::mouseClick(scene.host.windowHandle(), Qt::LeftButton, {}, scene.shown({10, 50}));
    EXPECT_EQ(clicks, 1) << "beside the button";
}

namespace {

// A widget whose look is the hover state that styles read: blue under the pointer, green away.
struct HoverLook : QWidget
{
    using QWidget::QWidget;
    QStringList heard;
    bool event(QEvent *event) override
    {
        if (event->type() == QEvent::HoverEnter || event->type() == QEvent::HoverLeave)
            heard << (event->type() == QEvent::HoverEnter ? "hover enter" : "hover leave");
        return QWidget::event(event);
    }
    void paintEvent(QPaintEvent *) override
    {
        QStyleOption option;
        option.initFrom(this);
        QPainter(this).fillRect(rect(), option.state & QStyle::State_MouseOver ? QColor(0, 0, 220) : QColor(0, 200, 0));
    }
};

} // namespace

// A widget inside a turned subview shows its hover look while the pointer is where it is shown,
// and its plain look again once the pointer has moved on, beside it or off every subview.
TEST(ThreeDView, AWidgetInsideATurnedSubviewShowsItsHoverLookUnderThePointer)
{
    QMatrix4x4 turn;
    turn.rotate(35, 0, 1, 0);
    LiveScene scene(turn);
    auto *widget = new HoverLook(scene.swatch);
    widget->setAttribute(Qt::WA_Hover);
    widget->setGeometry(20, 30, 60, 40);
    widget->show();
    const QPoint centre = scene.shown({50, 50});
    ASSERT_TRUE(scene.shows(centre, QColor(0, 200, 0)));

    QTest::mouseMove(scene.host.windowHandle(), scene.shown({10, 50}));
    QTest::mouseMove(scene.host.windowHandle(), centre);
    EXPECT_TRUE(widget->underMouse());
    EXPECT_TRUE(scene.shows(centre, QColor(0, 0, 220))) << PixelProbe::describe(PixelProbe::drawn(scene.host), centre).toStdString();
    QTest::mouseMove(scene.host.windowHandle(), scene.shown({10, 50}));
    EXPECT_FALSE(widget->underMouse());
    EXPECT_TRUE(scene.shows(centre, QColor(0, 200, 0))) << "plain again beside it";
    QTest::mouseMove(scene.host.windowHandle(), centre);
    QTest::mouseMove(scene.host.windowHandle(), QPoint(295, 5));
    EXPECT_TRUE(scene.shows(centre, QColor(0, 200, 0))) << "plain again with the pointer off every subview";
    EXPECT_EQ(widget->heard, QStringList({"hover enter", "hover leave", "hover enter", "hover leave"}));
}
