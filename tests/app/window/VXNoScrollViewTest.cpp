#include "app/window/VXNoScrollView.h"

#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

namespace {

class Clicked : public platform::View
{
public:
    using View::View;
    void mouseDown(const platform::MouseEvent &) override { ++downs; }
    int downs = 0;
};

} // namespace

TEST(VXNoScrollView, ClicksOnItsSurfaceReachTheViewBeneathAndTheWheelStopsThere)
{
    QWidget top;
    top.resize(200, 100);
    auto *beneath = new Clicked(&top);
    beneath->setGeometry(0, 0, 200, 100);
    auto *container = new VXNoScrollView(&top);
    container->setGeometry(0, 0, 200, 100);
    auto *inside = new Clicked;
    inside->setFrame(QRectF(0, 0, 50, 50));
    container->addSubview(inside);
    top.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&top));

    QTest::mouseClick(top.windowHandle(), Qt::LeftButton, {}, QPoint(150, 20));
    QTest::mouseClick(top.windowHandle(), Qt::LeftButton, {}, QPoint(20, 80));
    EXPECT_EQ(beneath->downs, 1);
    EXPECT_EQ(inside->downs, 1);

    // A wheel over the subview, passed on to the container as Qt passes an ignored one.
    const QPointF at(20, 80);
    QWheelEvent wheel(at, container->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(container, &wheel);
    EXPECT_TRUE(wheel.isAccepted());
}
