#include "RQS-Kit/Controls/QS3DView.h"
#include "platform/layers/Layer.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMatrix4x4>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QWheelEvent>

#include <utility>

namespace {

// Counts the wheel events that reach it.
struct WheelCounter : platform::View
{
    using platform::View::View;
    int wheels = 0;
    QPointF lastLocation;
    void scrollWheel(const platform::MouseEvent &event) override
    {
        ++wheels;
        lastLocation = event.location;
    }
};

// In a 300 × 300 host that counts the wheels it gets, a 3-D view filling it shows three
// 100-point columns, their layers moved one column to the right (the last one to the left edge):
// a view that takes the wheel, one holding a slider, one holding a button that ignores it.
struct WheelScene
{
    WheelCounter host;
    QS3DView *view = new QS3DView(&host);
    WheelCounter *taker = new WheelCounter;
    platform::View *sliderColumn = new platform::View;
    QSlider *slider = new QSlider(Qt::Vertical, sliderColumn);
    platform::View *buttonColumn = new platform::View;
    QPushButton *button = new QPushButton(QStringLiteral("Ignores the wheel"), buttonColumn);

    WheelScene()
    {
        host.resize(300, 300);
        view->setFrame(QRectF(0, 0, 300, 300));
        slider->setGeometry(0, 0, 100, 300);
        slider->setRange(0, 100);
        slider->setValue(50);
        button->setGeometry(0, 0, 100, 300);
        const double shifts[] = {100, 100, -200};
        platform::View *columns[] = {taker, sliderColumn, buttonColumn};
        for (int i = 0; i < 3; ++i) {
            columns[i]->setFrame(QRectF(100 * i, 0, 100, 300));
            view->addSubview(columns[i]);
            QMatrix4x4 shift;
            shift.translate(float(shifts[i]), 0, 0);
            columns[i]->layer()->setTransform(shift);
        }
        host.show();
    }
    // A wheel step up at a point of the window, y-down, as Qt delivers it to the widget there.
    void wheelAt(const QPoint &at)
    {
        QWheelEvent wheel(at, view->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view, &wheel);
    }
};

} // namespace

// The wheel over a turned subview goes where the subview is shown: to a view that takes it, to a
// widget inside one, and when what is shown there does not take it, nowhere: what lies beneath the
// 3-D view never gets a wheel meant for what is shown over it.
TEST(ThreeDView, AWheelGoesToWhatIsShownUnderThePointerAndIsNeverPassedBeneath)
{
    WheelScene scene;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&scene.host));

    scene.wheelAt(QPoint(150, 100)); // the taker, shown in the middle column
    EXPECT_EQ(scene.taker->wheels, 1);
    EXPECT_EQ(scene.taker->lastLocation, QPointF(50, 200)) << "in its own coordinates, y-up";

    scene.wheelAt(QPoint(250, 100)); // the slider, shown in the right column
    EXPECT_NE(scene.slider->value(), 50);

    scene.wheelAt(QPoint(50, 100)); // the button, shown in the left column
    EXPECT_EQ(scene.host.wheels, 0) << "the button does not take it, and it goes no further";
    EXPECT_EQ(scene.taker->wheels, 1);
}

// Where no subview is shown, the wheel is for what lies beneath.
TEST(ThreeDView, AWheelWhereNoSubviewIsShownReachesWhatLiesBeneath)
{
    WheelScene scene;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&scene.host));
    // The two columns shown in the middle and on the right go.
    delete std::exchange(scene.taker, nullptr);
    delete std::exchange(scene.sliderColumn, nullptr);
    scene.wheelAt(QPoint(150, 100));
    EXPECT_EQ(scene.host.wheels, 1);
}
