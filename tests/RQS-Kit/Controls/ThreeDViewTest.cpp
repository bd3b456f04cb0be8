#include "RQS-Kit/Controls/QS3DView.h"
#include "platform/layers/Layer.h"

#include <gtest/gtest.h>

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

TEST(ThreeDView, PressAndReleaseReachTheShownSubviewInItsOwnCoordinatesButARightPressDoesNot)
{
    Scene scene;
    QTest::mousePress(scene.view, Qt::LeftButton, {}, scene.at(150, 100));
    QTest::mouseRelease(scene.view, Qt::LeftButton, {}, scene.at(150, 100));
    EXPECT_EQ(scene.left->seen, QStringList({"down 50,100", "up 50,100"}));
    QTest::mousePress(scene.view, Qt::RightButton, {}, scene.at(50, 100));
    QTest::mouseRelease(scene.view, Qt::RightButton, {}, scene.at(50, 100));
    EXPECT_TRUE(scene.right->seen.isEmpty());
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
